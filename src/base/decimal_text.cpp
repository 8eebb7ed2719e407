#include "base/decimal_text.h"

namespace norvane {

LeadingDecimal SplitLeadingDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    LeadingDecimal number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number.negative = text[i] == '-';
        ++i;
    }
    size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    number.digits = text.substr(i, end - i);
    return number;
}

uint32_t ParseLeadingDecimal(std::string_view text) {
    const LeadingDecimal number = SplitLeadingDecimal(text);
    uint32_t value = 0;
    for (const char digit : number.digits) {
        value = value * 10u + static_cast<uint32_t>(digit - '0');
    }
    return number.negative ? 0u - value : value;
}

}  // namespace norvane
