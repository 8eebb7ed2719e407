// Checks of a device catalog for the mistakes that end up in a safety CRC or keep a module from
// ever being verified: fields the image cannot hold or the CRC does not cover, parameters that
// share bits, limits and defaults that do not fit, records that cannot be told apart, numbers
// that the reader wraps. The catalog is walked with the same loads as the window uses, so a
// finding describes what the window would make of the catalog.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "xml/xml_tree.h"

namespace norvane {

enum class LintLevel { Error, Warning };

struct LintFinding {
    LintLevel level = LintLevel::Error;
    std::string_view code;  // one of LintCodes()
    // The names of the records the finding concerns, from the manufacturer down: one for a
    // manufacturer, two for a device, three for a module, four for a parameter (or one of its
    // items); none for the catalog as a whole.
    std::vector<std::string> names;
    std::string text;  // a short explanation with the numbers involved
};

struct LintCode {
    std::string_view code;
    LintLevel level;
};

// Every code a finding can carry, in the order of the checks.
std::span<const LintCode> LintCodes();

// The findings for the parsed catalog `root` (null: a text that did not parse, which gives
// none), in catalog order: each record's own findings, then those of the records below it.
std::vector<LintFinding> LintCatalog(const XmlElement* root);

}  // namespace norvane
