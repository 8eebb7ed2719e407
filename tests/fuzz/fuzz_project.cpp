// Any bytes as a project file and a catalog (separated by the first NUL byte): read the project
// with its digest check, match it against the catalog as opening it does, build the image of
// the restored values, and write the project again. What the writer accepts must read back as
// the same project, and a CRC the opened project shows must be the CRC of its values.
//
// A changed byte almost always breaks the digest, so an input may ask for its Settings element
// to be sealed by a fresh digest, which lets the changes reach the field checks and the
// matching: it does so with a Hash value that no digest can equal (the seeds say "seal"), which
// the reader would refuse unread. An input whose Hash value has a digest's form is read as it
// is. Each input is thus opened once and its catalog parsed once, no digest is computed that
// the input did not ask for, and nothing touches the disk.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "base/md5_digest.h"
#include "catalog/catalog.h"
#include "project/project_file.h"
#include "safety/param_stream.h"
#include "verification/project_opening.h"
#include "xml/xml_parser.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

namespace {

// When the text's Hash value is no digest: the text with its Settings element (as parsed) under
// a Hash of its own digest. Otherwise, or when there is no Settings element to seal, empty.
std::string SealedWhenAsked(const std::string& text) {
    const norvane::XmlRoot root = norvane::XmlParseText(text);
    const norvane::XmlElement* project = norvane::XmlFindElement(root.get(), "xml/Project");
    const norvane::XmlAttribute* hash =
        norvane::XmlFindAttribute(norvane::XmlFindElement(project, "Hash"), "value");
    if (hash == nullptr ||
        norvane::CouldBeDigest(norvane::XmlStripQuotes(hash->value).value_or(""))) {
        return {};
    }
    const std::optional<std::string> body =
        norvane::XmlCreateString(norvane::XmlFindElement(project, "Settings"));
    if (!body) {
        return {};
    }
    return "<?xml version=\"1.0\"?><Project><Hash value=\"" + norvane::Md5Digest::DigestOf(*body) +
           "\"/>" + *body + "</Project>";
}

// Opens the project text against the catalog.
void Check(const std::string& projectText, const std::string& catalogText) {
    norvane::ProjectData project;
    try {
        project = norvane::ReadProjectText(projectText);
    } catch (const norvane::ProjectFileFailure&) {
        return;
    }

    try {
        const std::string written = norvane::ProjectFileText(project);
        if (!(norvane::ReadProjectText(written) == project)) {
            std::abort();  // a file the program writes must give back what it was written from
        }
    } catch (const norvane::ProjectFileFailure&) {
        // refused: a text that could not be read back
    }

    norvane::CatalogData catalog;
    catalog.Load(catalogText);
    norvane::OpenedProject opened(catalog);
    try {
        norvane::OpenProjectData(opened, project);
    } catch (const norvane::ProjectMatchFailure&) {
        return;
    }
    // A CRC the opened project shows is the CRC of the values it shows, all of them verified.
    const norvane::CrcState& crc = opened.model.Crc();
    if (crc.valid && (!opened.model.AllVerified() || !opened.recomputedCrc ||
                      *opened.recomputedCrc != crc.value)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    // An exactly sized copy of each part, so that a read past either end is caught.
    const std::string projectText(input.substr(0, split));
    const std::string catalogText(split == std::string_view::npos ? std::string_view()
                                                                  : input.substr(split + 1));
    const std::string sealed = SealedWhenAsked(projectText);
    Check(sealed.empty() ? projectText : sealed, catalogText);
    return 0;
}
