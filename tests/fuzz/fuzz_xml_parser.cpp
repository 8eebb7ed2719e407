// Any bytes must parse or be refused without a crash, and a refused text always says where.
// A tree that parses serialises, and the serialisation reads back to the same tree: parsing
// the output and serialising again gives the same bytes. The one-line writer escapes nothing,
// so that holds only where the writer can represent what the parser accepted; the exceptions
// are listed in Unrepresentable() below, and a tree free of them must round-trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "xml/xml_parser.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

namespace {

using norvane::XmlElement;
using norvane::XmlNode;
using norvane::XmlNodeKind;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Whether the start of a start tag as the writer writes it ("<", the name, then a blank before
// the attributes, ">" before content or "/>") reads as something else: "</" begins an end tag,
// "<?" a declaration, and the open markers of the clear sections ("<!--", "<![CDATA[",
// "<!DOCTYPE", "<PRE>", "<Script>", letter case ignored) win over any tag. The parser accepts
// such elements from "< /", "< ?x", "< !--x" (a blank after the "<") or "<pre x>" (an attribute
// without a value, which it drops).
bool StartTagMisread(std::string_view name, bool hasAttributes, bool hasContent) {
    if (name.front() == '/' || name.front() == '?') {
        return true;
    }
    const std::string start = "<" + std::string(name) +
                              (hasAttributes ? " "
                               : hasContent  ? ">"
                                             : "/>");
    for (const norvane::XmlClearTag& clear : norvane::XmlClearTags()) {
        if (norvane::XmlStartsWithNoCase(start, clear.openTag)) {
            return true;
        }
    }
    return false;
}

// The parts of a parsed tree that the writer cannot write so that they read back the same:
// - a start tag that reads as something else (StartTagMisread);
// - an element with content whose name ends in '/' ("<a/ >x" gives "<a/>x</a/>": both tags
//   then end in "/>"), or whose last attribute's unquoted value does ("<a b=c/ >x" gives
//   "<a b=c/>x</a>"), because the ">" the writer puts behind it makes "/>";
// - an attribute with an empty value, which only a declaration gives ("<?xml a=?>"): the
//   writer leaves out "=" for an empty value, and the parser drops a name without one.
bool Unrepresentable(const XmlElement& element) {
    bool hasContent = false;
    bool hasAttributes = false;
    std::string_view lastWritten = element.name;
    for (const XmlNode& node : element.nodes) {
        switch (node.kind) {
            case XmlNodeKind::Attribute:
                if (node.AsAttribute()->value.empty()) {
                    return true;
                }
                lastWritten = node.AsAttribute()->value;
                hasAttributes = true;
                break;
            case XmlNodeKind::Element:
                if (Unrepresentable(*node.AsElement())) {
                    return true;
                }
                hasContent = true;
                break;
            case XmlNodeKind::Text:
            case XmlNodeKind::Clear:
                hasContent = true;
                break;
            case XmlNodeKind::Empty:
                break;
        }
    }
    if (element.name.empty()) {
        return false;  // the document root writes no tags
    }
    return StartTagMisread(element.name, hasAttributes, hasContent) ||
           (hasContent && (element.name.back() == '/' || lastWritten.back() == '/'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    norvane::XmlResults results;
    const norvane::XmlRoot root = norvane::XmlParseText(text, &results);
    if (!root) {
        Check(results.line >= 1 && results.column >= 1);
        return 0;
    }
    // Lookups on whatever came out must be safe too.
    (void)norvane::XmlFindElement(root.get(), "xml/a/b");
    (void)norvane::XmlFindAttribute(root.get(), "name");

    const std::optional<std::string> once = norvane::XmlCreateString(root.get());
    Check(once.has_value() && norvane::XmlCreateString(root.get()) == once);  // same bytes
    if (Unrepresentable(*root)) {
        return 0;
    }
    norvane::XmlResults again;
    const norvane::XmlRoot reread = norvane::XmlParseText(*once, &again);
    Check(reread != nullptr);
    Check(norvane::XmlCreateString(reread.get()) == once);
    return 0;
}
