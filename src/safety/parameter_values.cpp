#include "safety/parameter_values.h"

#include <cstdio>

#include "base/decimal_text.h"

namespace norvane {

std::optional<uint32_t> ReadDecimalInput(std::string_view text) {
    const LeadingDecimal number = SplitLeadingDecimal(text);
    int64_t magnitude = 0;
    for (const char digit : number.digits) {
        magnitude = magnitude * 10 + (digit - '0');
        if (magnitude > int64_t{INT32_MAX} + 1) {
            return std::nullopt;
        }
    }
    const int64_t value = number.negative ? -magnitude : magnitude;
    if (value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(static_cast<int32_t>(value));
}

std::optional<uint32_t> ReadHexInput(std::string_view text) {
    if (text.size() < 2 || text[0] != '0' || text[1] != 'x') {
        return 0u;
    }
    uint32_t value = 0;
    int digits = 0;
    for (size_t i = 2; i < text.size(); ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            break;
        }
        if (++digits > 8) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

bool WithinLimits(ParamType type, uint32_t value, uint32_t min, uint32_t max) {
    switch (type) {
        case ParamType::Bool:
        case ParamType::Int:
            return AsSigned(value) >= AsSigned(min) && AsSigned(value) <= AsSigned(max);
        case ParamType::UInt:
            return value >= min && value <= max;
        case ParamType::None:
            break;
    }
    return true;
}

std::string FormatParameterValue(ParamView view, uint32_t value) {
    char text[16];
    if (view == ParamView::ValueHex) {
        std::snprintf(text, sizeof text, "0x%08x", value);
    } else {
        std::snprintf(text, sizeof text, "%d", AsSigned(value));
    }
    return text;
}

std::string FormatCrc(bool valid, uint32_t value, int32_t format) {
    if (!valid) {
        return "N/A";
    }
    char text[16];
    std::snprintf(text, sizeof text, format == 1 ? "%u" : "%X", value);
    return text;
}

OverviewCells MakeOverviewCells(const CatalogParameter& parameter,
                                const std::vector<CatalogEnumItem>& items,
                                std::string_view invalid) {
    if (parameter.paramView != ParamView::Enum) {
        return {FormatParameterValue(parameter.paramView, parameter.value),
                FormatParameterValue(parameter.paramView, parameter.min),
                FormatParameterValue(parameter.paramView, parameter.max)};
    }
    if (items.empty()) {
        return {std::string(invalid), " ", " "};
    }
    OverviewCells cells{std::string(invalid), items.front().valueText, items.back().valueText};
    // The last item of that number names the value.
    for (const CatalogEnumItem& item : items) {
        if (static_cast<uint32_t>(item.valueItem) == parameter.value) {
            cells.value = item.valueText;
        }
    }
    return cells;
}

}  // namespace norvane
