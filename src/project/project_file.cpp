#include "project/project_file.h"

#include <filesystem>
#include <limits>
#include <optional>
#include <utility>

#include <unistd.h>

#include "base/decimal_text.h"
#include "base/md5_digest.h"
#include "base/whole_file.h"
#include "xml/xml_parser.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

namespace norvane {

namespace {

constexpr std::string_view kDeclaration = R"(<?xml version="1.0" encoding="utf-8"?>)";
constexpr std::string_view kNamespace = "http://www.norvane.example/SafetyConfigurator/Project";
constexpr int32_t kGrowBy = 5;

std::string Bool(bool value) {
    return value ? "1" : "0";
}

// ---- Writing ----

// Adds `name` under `parent`; every failed add ends the write before anything is on disk.
XmlElement* Add(XmlElement* parent, std::string_view name) {
    XmlElement* element = XmlCreatePath(parent, name);
    if (element == nullptr) {
        throw ProjectFileFailure(ProjectFileProblem::NotWritten);
    }
    return element;
}

void Attribute(XmlElement* element, std::string_view name, std::string_view value) {
    const std::optional<std::string> ownName = XmlStrDup(name);
    if (XmlAddAttribute(element, ownName, XmlQuote(value), kGrowBy) == nullptr) {
        throw ProjectFileFailure(ProjectFileProblem::NotWritten);
    }
}

// The digest of the Settings element; `problem` is what a failure means to the caller.
std::string DigestOf(const XmlElement* settings, ProjectFileProblem problem) {
    const std::optional<std::string> text = XmlCreateString(settings);
    if (!text || text->size() > std::numeric_limits<uint32_t>::max()) {
        throw ProjectFileFailure(problem);
    }
    try {
        Md5Digest digest;
        digest.Update(text->data(), static_cast<uint32_t>(text->size()));
        return digest.HexDigest();
    } catch (const DigestError&) {
        throw ProjectFileFailure(problem);
    }
}

// A value is written between double quotes without escaping, and the parser stops at a NUL
// byte, so a text with either could never be read back as it was.
bool Writable(std::string_view text) {
    return text.find('"') == std::string_view::npos && text.find('\0') == std::string_view::npos;
}

void CheckReadableBack(const ProjectData& project) {
    for (const std::string* required :
         {&project.manufacturerName, &project.manufacturerId, &project.deviceName,
          &project.deviceId, &project.moduleName, &project.moduleId}) {
        // The reader requires these values; an empty one would make a file nobody can open.
        if (required->empty() || !Writable(*required)) {
            throw ProjectFileFailure(ProjectFileProblem::NotWritten);
        }
    }
    if (!Writable(project.description)) {
        throw ProjectFileFailure(ProjectFileProblem::NotWritten);
    }
    // Bit offsets and lengths are written unsigned but read back as signed numbers, which stop
    // at 2147483647: a larger one (a negative offset in a faulty catalog) would come back as
    // another number and its parameter could never be matched again.
    for (const ProjectParameter& parameter : project.parameters) {
        if (parameter.bitOffset > uint32_t{INT32_MAX} ||
            parameter.bitLength > uint32_t{INT32_MAX}) {
            throw ProjectFileFailure(ProjectFileProblem::NotWritten);
        }
    }
}

// ---- Reading ----

const XmlElement* Find(const XmlElement* element, std::string_view name) {
    const XmlElement* found = XmlFindElement(element, name);
    if (found == nullptr) {
        throw ProjectFileFailure(ProjectFileProblem::NotAProject);
    }
    return found;
}

// The value of a required attribute without its quotes; none when it is empty.
std::optional<std::string> Value(const XmlElement* element, std::string_view name) {
    const XmlAttribute* attribute = XmlFindAttribute(element, name);
    if (attribute == nullptr) {
        throw ProjectFileFailure(ProjectFileProblem::NotAProject);
    }
    return XmlStripQuotes(attribute->value);
}

std::string Required(const XmlElement* element, std::string_view name) {
    std::optional<std::string> value = Value(element, name);
    if (!value) {
        throw ProjectFileFailure(ProjectFileProblem::NotAProject);
    }
    return std::move(*value);
}

bool RequiredBool(const XmlElement* element, std::string_view name) {
    return (ReadProjectNumber(Required(element, name)) & 1) != 0;
}

// The CRC: white space, then digits up to the first other character; without a digit, or
// beyond 32 bits, the file is refused (no sign is allowed).
uint32_t RequiredCrc(const XmlElement* element, std::string_view name) {
    const std::string text = Required(element, name);
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    uint64_t value = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
        if (value > std::numeric_limits<uint32_t>::max()) {
            throw ProjectFileFailure(ProjectFileProblem::NotAProject);
        }
    }
    if (digits == 0) {
        throw ProjectFileFailure(ProjectFileProblem::NotAProject);
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

int32_t ReadProjectNumber(std::string_view text) {
    const LeadingDecimal number = SplitLeadingDecimal(text);
    const int64_t limit = number.negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
    int64_t magnitude = 0;
    for (const char digit : number.digits) {
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude > limit) {
            magnitude = limit;
            break;
        }
    }
    return static_cast<int32_t>(number.negative ? -magnitude : magnitude);
}

ProjectData CollectProject(const CatalogManufacturer& manufacturer, const CatalogDevice& device,
                           const CatalogModule& module, const ProjectMarks& marks,
                           const std::vector<CatalogParameter>& parameterList, bool crcValid,
                           uint32_t crc) {
    ProjectData project;
    project.manufacturerName = manufacturer.name;
    project.manufacturerId = manufacturer.identNumber;
    project.deviceName = device.name;
    project.deviceId = device.identNumber;
    project.moduleName = module.name;
    project.moduleId = module.identNumber;
    project.description = device.description;
    project.busAddress = device.busAddress;
    project.manufacturerAccepted = marks.manufacturer;
    project.deviceAccepted = marks.device;
    project.moduleAccepted = marks.module;
    project.busAddressAccepted = marks.busAddress;
    project.crc = crc;
    project.crcValid = crcValid;
    for (const CatalogParameter& parameter : parameterList) {
        ProjectParameter entry;
        entry.bitOffset = static_cast<uint32_t>(parameter.bitOffset);
        entry.bitLength = static_cast<uint32_t>(parameter.bitLength);
        entry.selectedValue = AsSigned(parameter.value);
        entry.accepted = (parameter.verified & 1) != 0;
        project.parameters.push_back(entry);
    }
    return project;
}

std::string ProjectFileText(const ProjectData& project) {
    CheckReadableBack(project);
    XmlRoot root = XmlCreateRoot();
    if (!root || XmlAddText(root.get(), kDeclaration, kGrowBy) == nullptr) {
        throw ProjectFileFailure(ProjectFileProblem::NotWritten);
    }
    XmlElement* top = Add(root.get(), "Project");
    Attribute(top, "xmlns", kNamespace);
    XmlElement* version = Add(top, "FileVersion");
    Attribute(version, "major", "1");
    Attribute(version, "minor", "0");
    XmlElement* hash = Add(top, "Hash");
    XmlElement* settings = Add(top, "Settings");

    const std::pair<const char*, std::pair<const std::string*, const std::string*>> named[] = {
        {"Manufacturer", {&project.manufacturerName, &project.manufacturerId}},
        {"Device", {&project.deviceName, &project.deviceId}},
        {"Module", {&project.moduleName, &project.moduleId}},
    };
    const bool accepted[] = {project.manufacturerAccepted, project.deviceAccepted,
                             project.moduleAccepted};
    for (size_t i = 0; i < std::size(named); ++i) {
        XmlElement* element = Add(settings, named[i].first);
        Attribute(element, "name", *named[i].second.first);
        Attribute(element, "id", *named[i].second.second);
        Attribute(element, "accepted", Bool(accepted[i]));
    }
    Attribute(Add(settings, "Description"), "text", project.description);
    XmlElement* bus = Add(settings, "BusAddress");
    Attribute(bus, "value", std::to_string(project.busAddress));
    Attribute(bus, "accepted", Bool(project.busAddressAccepted));
    XmlElement* crc = Add(settings, "CRC");
    Attribute(crc, "value", std::to_string(project.crc));
    Attribute(crc, "isValid", Bool(project.crcValid));
    XmlElement* parameters = Add(settings, "Parameters");
    for (const ProjectParameter& parameter : project.parameters) {
        XmlElement* element = Add(parameters, "Parameter");
        Attribute(element, "bitOffset", std::to_string(parameter.bitOffset));
        Attribute(element, "bitLength", std::to_string(parameter.bitLength));
        Attribute(element, "selectedValue", std::to_string(parameter.selectedValue));
        Attribute(element, "accepted", Bool(parameter.accepted));
    }

    Attribute(hash, "value", DigestOf(settings, ProjectFileProblem::NotWritten));
    std::optional<std::string> text = XmlCreateString(root.get());
    if (!text) {
        throw ProjectFileFailure(ProjectFileProblem::NotWritten);
    }
    return std::move(*text);
}

void WriteProjectFile(const ProjectData& project, const std::string& path) {
    const std::string text = ProjectFileText(project);
    try {
        WriteWholeFile(text, path);
    } catch (const FileError& error) {
        throw ProjectFileFailure(ProjectFileProblem::NotWritten, error.Error());
    }
}

ProjectData ReadProjectText(std::string_view text) {
    XmlResults results;
    const XmlRoot root = XmlParseText(text, &results);
    if (!root) {
        throw ProjectFileFailure(ProjectFileProblem::NotAProject, 0, results.line, results.column);
    }
    // The parser makes the declaration an element named xml that holds the rest of the
    // document, so a file without it has no Project to find.
    const XmlElement* top = Find(Find(root.get(), "xml"), "Project");
    const std::string storedDigest = Required(Find(top, "Hash"), "value");
    const XmlElement* settings = Find(top, "Settings");

    ProjectData project;
    const XmlElement* manufacturer = Find(settings, "Manufacturer");
    project.manufacturerName = Required(manufacturer, "name");
    project.manufacturerId = Required(manufacturer, "id");
    project.manufacturerAccepted = RequiredBool(manufacturer, "accepted");
    const XmlElement* device = Find(settings, "Device");
    project.deviceName = Required(device, "name");
    project.deviceId = Required(device, "id");
    project.deviceAccepted = RequiredBool(device, "accepted");
    const XmlElement* module = Find(settings, "Module");
    project.moduleName = Required(module, "name");
    project.moduleId = Required(module, "id");
    project.moduleAccepted = RequiredBool(module, "accepted");
    project.description = Value(Find(settings, "Description"), "text").value_or(std::string());
    const XmlElement* bus = Find(settings, "BusAddress");
    project.busAddress = ReadProjectNumber(Required(bus, "value"));
    project.busAddressAccepted = RequiredBool(bus, "accepted");
    const XmlElement* crc = Find(settings, "CRC");
    project.crc = RequiredCrc(crc, "value");
    project.crcValid = RequiredBool(crc, "isValid");

    // Every child element counts as a parameter, whatever its name.
    const XmlElement* parameters = Find(settings, "Parameters");
    int32_t cursor = 0;
    while (const XmlElement* element = XmlNextElement(parameters, cursor)) {
        ProjectParameter parameter;
        parameter.bitOffset =
            static_cast<uint32_t>(ReadProjectNumber(Required(element, "bitOffset")));
        parameter.bitLength =
            static_cast<uint32_t>(ReadProjectNumber(Required(element, "bitLength")));
        parameter.selectedValue = ReadProjectNumber(Required(element, "selectedValue"));
        parameter.accepted = RequiredBool(element, "accepted");
        project.parameters.push_back(parameter);
    }

    // The digest is taken over the Settings element as parsed, so white space between tags
    // does not count, while any changed name or value does.
    // A digest that cannot be computed leaves the file unread, not judged.
    if (!CouldBeDigest(storedDigest) ||
        DigestOf(settings, ProjectFileProblem::Unreadable) != storedDigest) {
        throw ProjectFileFailure(ProjectFileProblem::Changed);
    }
    return project;
}

ProjectData ReadProjectFile(const std::string& path) {
    std::string text;
    try {
        text = ReadWholeFile(path);
    } catch (const FileError& error) {
        throw ProjectFileFailure(ProjectFileProblem::Unreadable, error.Error());
    }
    return ReadProjectText(text);
}

std::string ProjectFolder(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

bool DeleteProjectFile(const std::string& path) {
    return !path.empty() && ::unlink(path.c_str()) == 0;
}

bool CouldBeDigest(std::string_view text) {
    return text.size() == 32 &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

}  // namespace norvane
