// `safetycrc lint`: the catalog checks for catalog authors, one finding a line or as JSON.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

inline constexpr std::string_view kLintUsage =
    "lint FILE [--json]\n"
    "                 check a catalog for mistakes that reach the safety CRC or keep a module\n"
    "                 from being verified; one finding a line\n";

inline constexpr std::string_view kLintHelp =
    "\nEach finding is one line, in catalog order:\n"
    "  LEVEL CODE MANUFACTURER DEVICE MODULE PARAMETER: TEXT\n"
    "with as many names as the finding concerns (two for a device, four for a parameter),\n"
    "escaped as in the other commands. --json prints the findings as one JSON array of objects\n"
    "(level, code, manufacturer, device, module, parameter, text; names that do not apply are\n"
    "left out; a byte that is not part of valid UTF-8 is written \\u00XX with its value).\n"
    "Exit status 1 when there is an error, 0 for warnings alone or none; a catalog that does\n"
    "not parse gives the parser's error line and 1.\n"
    "\ncodes:\n"
    "  error    no-manufacturers           the catalog holds no Hersteller element\n"
    "  error    number-out-of-range        an integer attribute does not fit the field it is\n"
    "                                      read into (it would be read as another number)\n"
    "  error    missing-name               a manufacturer, device, module or parameter has no "
    "name\n"
    "  error    missing-ident              a manufacturer, device or module has no identNumber\n"
    "  error    duplicate-ident            siblings share an identNumber\n"
    "  warning  duplicate-name             siblings (parameters of one module too) share a name\n"
    "  error    data-format                a device's dataFormat is neither Motorola nor Intel\n"
    "  error    bus-address-unverifiable   enableBusAddress with a negative busAddress\n"
    "  warning  bus-address-outside-limits busAddress outside minAddr to maxAddr\n"
    "  warning  tci-record-too-long        lenUserParam + 4 above 256: no CRC in TCI mode\n"
    "  warning  no-parameters              a module without parameters\n"
    "  error    bit-length                 bitLength 0 or above 32\n"
    "  error    unknown-type               a type other than Bool, Int and UInt\n"
    "  warning  bool-bit-length            a Bool parameter whose bitLength is not 1 (an error\n"
    "                                      for 16 and 32 bits: the byte exchange moves its bit)\n"
    "  error    field-outside-image        a field ends at or beyond 8 x (lenUserParam + 4)\n"
    "  error    field-not-covered          a field lies (partly) below bit 32, outside the CRC\n"
    "  error    field-overlap              two parameters of one module share a bit\n"
    "  error    limits-reversed            min greater than max\n"
    "  error    default-outside-limits     the default lies outside min to max\n"
    "  error    limit-exceeds-field        min or max cannot be held by bitLength bits\n"
    "  error    enum-default-not-item      an enumeration's default is no item's valueItem\n"
    "  warning  enum-item-outside-limits   an enumeration item outside min to max\n"
    "  warning  enum-duplicate-value       two items of one enumeration share a valueItem\n";

int Lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// `text` as a JSON string with its quotes: valid UTF-8 stays as it is; quote, backslash and
// control characters are escaped; every byte that is not part of valid UTF-8 becomes \u00XX
// with the byte's value, so that the output is always valid JSON and the byte stays known.
std::string JsonString(std::string_view text);

}  // namespace norvane::cli
