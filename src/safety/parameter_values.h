// How the window reads, checks and shows parameter values and the CRC. Kept apart from the
// window so that every rule can be tested without one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/catalog.h"

namespace norvane {

// A decimal input: leading white space, an optional sign, then digits up to the first other
// character; no digits reads as 0. A number outside the signed 32-bit range gives none, so
// that it is refused rather than cut to some other value. The result is the 32-bit pattern.
std::optional<uint32_t> ReadDecimalInput(std::string_view text);

// A hexadecimal input: "0x" (lower-case x) and hexadecimal digits of either case up to the
// first other character. Without the prefix, or without digits, it reads as 0. More than
// eight digits give none (refused).
std::optional<uint32_t> ReadHexInput(std::string_view text);

// Whether a value lies within [min, max]: compared signed for Bool and Int, unsigned for UInt;
// a parameter of unknown type accepts any value.
bool WithinLimits(ParamType type, uint32_t value, uint32_t min, uint32_t max);

// A value as the parameter view shows it: "0x%08x" for ValueHex, "%d" otherwise.
std::string FormatParameterValue(ParamView view, uint32_t value);

// The CRC as shown beside "CRC module": "N/A" while invalid, "%u" for format 1, otherwise
// upper-case hexadecimal without leading zeros (format 0, and any unknown format).
std::string FormatCrc(bool valid, uint32_t value, int32_t format);

// The cells of one overview row, except the type and view names, which the window takes from
// its language. For an enumeration `items` are the parameter's items; `invalid` is the text
// for a value that matches none.
struct OverviewCells {
    std::string value;
    std::string min;
    std::string max;
};
OverviewCells MakeOverviewCells(const CatalogParameter& parameter,
                                const std::vector<CatalogEnumItem>& items,
                                std::string_view invalid);

}  // namespace norvane
