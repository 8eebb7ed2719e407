// A compact one-line picture of an element tree for table-driven tests:
//   element a  -> a{...}      (declaration: ?a{...})
//   attribute  -> @name=value
//   text       -> "value"
//   clear      -> [open|value]
// Nodes are separated by single spaces; an element without nodes is written name{}.
#pragma once

#include <string>

#include "xml/xml_tree.h"

namespace norvane::testing {

inline void DumpInto(const XmlElement& element, std::string& out) {
    bool first = true;
    for (const XmlNode& node : element.nodes) {
        if (!first) {
            out += ' ';
        }
        first = false;
        if (const XmlElement* child = node.AsElement()) {
            out += child->isDeclaration ? "?" : "";
            out += child->name;
            out += '{';
            DumpInto(*child, out);
            out += '}';
        } else if (const XmlAttribute* attribute = node.AsAttribute()) {
            out += '@';
            out += attribute->name;
            out += '=';
            out += attribute->value;
        } else if (const XmlText* text = node.AsText()) {
            out += '"';
            out += text->value;
            out += '"';
        } else if (const XmlClear* clear = node.AsClear()) {
            out += '[';
            out += clear->openTag;
            out += '|';
            out += clear->value;
            out += ']';
        } else {
            out += "<empty>";
        }
    }
}

inline std::string Dump(const XmlElement* root) {
    if (root == nullptr) {
        return "<null>";
    }
    std::string out;
    DumpInto(*root, out);
    return out;
}

}  // namespace norvane::testing
