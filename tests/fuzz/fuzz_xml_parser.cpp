// Any bytes must parse or be refused without a crash, and a tree that parses must serialise,
// and the serialisation must parse again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "xml/xml_parser.h"
#include "xml/xml_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    norvane::XmlResults results;
    const norvane::XmlRoot root = norvane::XmlParseText(text, &results);
    if (root) {
        const std::string out = *norvane::XmlCreateString(root.get());
        norvane::XmlResults again;
        (void)norvane::XmlParseText(out, &again);
        // Lookups on whatever came out must be safe too.
        (void)norvane::XmlFindElement(root.get(), "xml/a/b");
        (void)norvane::XmlFindAttribute(root.get(), "name");
    } else if (results.line < 1 || results.column < 1) {
        __builtin_trap();  // a refused text always says where
    }
    return 0;
}
