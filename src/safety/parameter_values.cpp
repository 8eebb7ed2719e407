#include "safety/parameter_values.h"

#include <cstdio>

#include "base/byte_text.h"
#include "safety/param_stream.h"

namespace norvane {

std::optional<int64_t> ReadDecimalInput(std::string_view text) {
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > int64_t{UINT32_MAX}) {
            return std::nullopt;  // beyond any 32-bit reading; also keeps the sum from overflowing
        }
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value < int64_t{INT32_MIN}) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint32_t> ReadHexInput(std::string_view text) {
    text = TrimBlanks(text);
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    uint32_t value = 0;
    for (const char c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

TypedValue ReadTypedValue(ParamView view, ParamType type, std::string_view text) {
    if (view == ParamView::ValueHex) {
        const std::optional<uint32_t> value = ReadHexInput(text);
        return {value.has_value(), value};
    }
    const std::optional<int64_t> number = ReadDecimalInput(text);
    if (!number) {
        return {};
    }
    // A signed type reads its 32 bits signed: 4294967295 typed for an Int is no -1.
    if ((type == ParamType::Int || type == ParamType::Bool) && *number > int64_t{INT32_MAX}) {
        return {true, std::nullopt};
    }
    return {true, static_cast<uint32_t>(*number)};
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

const CatalogEnumItem* FindEnumItem(const std::vector<CatalogEnumItem>& items, uint32_t value) {
    for (const CatalogEnumItem& item : items) {
        if (static_cast<uint32_t>(item.valueItem) == value) {
            return &item;
        }
    }
    return nullptr;
}

ValueFault CheckParameterValue(const CatalogParameter& parameter, uint32_t value,
                               const std::vector<CatalogEnumItem>& items) {
    const bool isEnum = parameter.paramView == ParamView::Enum;
    if (isEnum && FindEnumItem(items, value) == nullptr) {
        return ValueFault::NotAnItem;
    }
    // An enumeration's choice is compared signed, whatever the parameter's type.
    if (!WithinLimits(isEnum ? ParamType::Int : parameter.type, value, parameter.min,
                      parameter.max)) {
        return ValueFault::OutsideLimits;
    }
    if (!FieldHolds(parameter.type, parameter.bitLength, value)) {
        return ValueFault::NotHeld;
    }
    return ValueFault::None;
}

std::string FormatParameterValue(ParamView view, ParamType type, uint32_t value) {
    if (view == ParamView::ValueHex) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", value);
        return text;
    }
    return ParameterNumber(type == ParamType::UInt ? ParamType::UInt : ParamType::Int, value);
}

std::string ParameterNumber(ParamType type, uint32_t bits) {
    return type == ParamType::Int ? std::to_string(AsSigned(bits)) : std::to_string(bits);
}

std::string FormatCrc(bool valid, uint32_t value, int32_t format) {
    if (!valid) {
        return "N/A";
    }
    char text[16];
    std::snprintf(text, sizeof text, format == 1 ? "%u" : "%X", value);
    return text;
}

std::string FormatCrcOrError(const std::optional<uint32_t>& crc, int32_t format) {
    return crc ? FormatCrc(true, *crc, format) : std::string("error");
}

OverviewCells MakeOverviewCells(const CatalogParameter& parameter,
                                const std::vector<CatalogEnumItem>& items,
                                std::string_view invalid) {
    if (parameter.paramView != ParamView::Enum) {
        const auto format = [&](uint32_t value) {
            return FormatParameterValue(parameter.paramView, parameter.type, value);
        };
        return {format(parameter.value), format(parameter.min), format(parameter.max)};
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
