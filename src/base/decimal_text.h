// Reading the leading decimal number of a text, as the catalog and the settings file store
// their integers.
#pragma once

#include <cstdint>
#include <string_view>

namespace norvane {

// Optional leading white space, an optional sign, then decimal digits up to the first
// non-digit; 0 when there are none. No hexadecimal notation. The value is taken modulo 2^32
// (a "-1" gives all 32 bits set), so every input has a defined result.
uint32_t ParseLeadingDecimal(std::string_view text);

// The parts of a leading decimal number: leading white space skipped, the sign, and the run
// of digits that follows it (possibly empty).
struct LeadingDecimal {
    bool negative = false;
    std::string_view digits;
};
LeadingDecimal SplitLeadingDecimal(std::string_view text);

}  // namespace norvane
