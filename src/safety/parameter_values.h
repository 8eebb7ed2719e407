// How values typed by the user or stored in a project are read, checked and shown. Kept apart
// from the window so that every rule can be tested without one, and so that the window, a
// project being opened and the catalog checks judge a value by the same rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"

namespace norvane {

// A whole decimal number as typed: optional blanks, an optional sign, digits, optional blanks,
// the number within -2147483648 ... 4294967295. Anything else (nothing typed, letters after
// the number, a number out of that range) gives none.
std::optional<int64_t> ReadDecimalInput(std::string_view text);

// A hexadecimal number as typed: optional blanks, an optional "0x" or "0X", one to eight
// hexadecimal digits of either case, optional blanks. Anything else gives none.
std::optional<uint32_t> ReadHexInput(std::string_view text);

// How a typed text fared as a value of a parameter's view and type.
struct TypedValue {
    bool isNumber = false;          // false: the text is not a number at all
    std::optional<uint32_t> value;  // the 32-bit pattern; none when the type cannot hold it
};
// Reads `text` in the view's notation (hexadecimal for ValueHex, decimal otherwise). A decimal
// number that the type cannot hold as a 32-bit pattern (above 2147483647 for Bool and Int)
// is a number without a value, which the limits then refuse.
TypedValue ReadTypedValue(ParamView view, ParamType type, std::string_view text);

// Whether a value lies within [min, max]: compared signed for Bool and Int, unsigned for UInt;
// a parameter of unknown type accepts any value.
bool WithinLimits(ParamType type, uint32_t value, uint32_t min, uint32_t max);

// Why a value cannot be verified for a parameter, if it cannot.
enum class ValueFault {
    None,
    OutsideLimits,  // outside min ... max (an enumeration's choice compared signed)
    NotAnItem,      // an enumeration parameter's value that no item has
    NotHeld,        // the parameter's field cannot hold it (FieldHolds)
};
// Judges `value` for `parameter`; `items` are the parameter's enumeration items (an Enum
// parameter without items has no value that is an item).
ValueFault CheckParameterValue(const CatalogParameter& parameter, uint32_t value,
                               const std::vector<CatalogEnumItem>& items);

// A value as the parameter view shows it: "0x%08x" for ValueHex, otherwise decimal, unsigned
// for UInt and signed for every other type.
std::string FormatParameterValue(ParamView view, ParamType type, uint32_t value);

// A parameter's number as the catalog means it: signed for Int, unsigned otherwise.
std::string ParameterNumber(ParamType type, uint32_t bits);

// The CRC as shown beside "CRC module": "N/A" while invalid, "%u" for format 1, otherwise
// upper-case hexadecimal without leading zeros (format 0, and any unknown format).
std::string FormatCrc(bool valid, uint32_t value, int32_t format);
// A CRC that reports and diffs print where one may be missing: FormatCrc's text, or "error"
// when none could be given (the values do not read back).
std::string FormatCrcOrError(const std::optional<uint32_t>& crc, int32_t format);

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

// The first item whose valueItem is `value`, or null.
const CatalogEnumItem* FindEnumItem(const std::vector<CatalogEnumItem>& items, uint32_t value);

}  // namespace norvane
