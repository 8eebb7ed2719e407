// The forgiving single-pass parser of the tool's XML dialect: no entities, no encodings, no
// validation, and unclosed elements closed in the manner of HTML.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "xml/xml_tree.h"

namespace norvane {

enum class XmlError : int32_t {
    None = 0,
    NoXmlData = 1,
    FirstTokenNotStartTag = 2,
    MissingStartTagName = 3,
    MissingEndTagName = 4,
    UnmatchedQuote = 5,
    UnmatchedEndTag = 6,
    UnexpectedToken = 7,
    InvalidTag = 8,
    NoElements = 9,
    // A document nested deeper than kXmlMaxDepth elements; refused so that hostile input
    // cannot exhaust the stack of the recursive parser.
    NestingTooDeep = 10,
};

// Deepest chain of open elements a document may have (an element below the root is depth 1).
inline constexpr int kXmlMaxDepth = 1000;

std::string_view XmlErrorText(XmlError error);

struct XmlResults {
    XmlError error = XmlError::None;
    int32_t line = 0;    // 1-based; set only when error is not None
    int32_t column = 0;  // 1-based; set only when error is not None
};

// Parses `text` up to its end or its first NUL byte. Returns the root of the tree, or null when
// the text does not parse (then `results`, when given, says why and where). The tree keeps one
// copy of the text, and its names and values are views into that copy: the caller's text may
// be released after the call.
XmlRoot XmlParseText(std::string_view text, XmlResults* results = nullptr);
// The same, without the copy: the tree takes the string over when it parses (its names and
// values are views into it, and XmlDocumentText gives it back). A text that does not parse is
// left to the caller as it was.
XmlRoot XmlParseText(std::string&& text, XmlResults* results = nullptr);
// A null text gives null and leaves `results` untouched.
XmlRoot XmlParseText(const char* text, XmlResults* results = nullptr);

}  // namespace norvane
