#include "safety/parameter_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace norvane {
namespace {

// Typed numbers are whole numbers: what is not one is refused, never read as 0 or as the
// number it begins with.
TEST(ReadDecimalInputTest, TakesWholeNumbersWithinThe32BitRangesAndNothingElse) {
    const std::pair<const char*, std::optional<int64_t>> readings[] = {
        {"42", 42},
        {"  42\t ", 42},
        {"+7", 7},
        {"-10", -10},
        {"0007", 7},
        {"-0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        {"4294967295", 4294967295LL},
        {"00000000000000000000000000001", 1},
        // Not a number: nothing typed, a sign alone, letters, a second number, hex notation.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"- 5", std::nullopt},
        {"--5", std::nullopt},
        {"12abc", std::nullopt},
        {"3 4", std::nullopt},
        {"0x1F", std::nullopt},
        {"ff", std::nullopt},
        {"\n42", std::nullopt},
        // Out of the range a 32-bit value can mean, signed or unsigned.
        {"4294967296", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999999", std::nullopt},
    };
    for (const auto& [text, expected] : readings) {
        EXPECT_EQ(ReadDecimalInput(text), expected) << '"' << text << '"';
    }
}

TEST(ReadHexInputTest, TakesOneToEightDigitsWithOrWithoutThePrefix) {
    const std::pair<const char*, std::optional<uint32_t>> readings[] = {
        {"0x1F", 31u},
        {"0X1f", 31u},
        {"1F", 31u},
        {"ff", 0xFFu},
        {" 0x0000001f ", 31u},
        {"FFFFFFFF", 0xFFFFFFFFu},
        {"0xDeadBeef", 0xDEADBEEFu},
        {"0", 0u},
        {"", std::nullopt},
        {"0x", std::nullopt},
        {"0xg", std::nullopt},
        {"0x1Fzz", std::nullopt},
        {"x1F", std::nullopt},
        {"0x 1F", std::nullopt},
        {"-1", std::nullopt},
        // More than eight digits would be cut to some other value; they are refused instead.
        {"0x123456789", std::nullopt},
        {"000000001", std::nullopt},
    };
    for (const auto& [text, expected] : readings) {
        EXPECT_EQ(ReadHexInput(text), expected) << '"' << text << '"';
    }
}

TEST(ReadTypedValueTest, ASignedTypeDoesNotTakeNumbersAboveItsRange) {
    struct Case {
        ParamView view;
        ParamType type;
        const char* text;
        bool isNumber;
        std::optional<uint32_t> value;
    };
    const Case cases[] = {
        {ParamView::Decimal, ParamType::UInt, "4294967295", true, 0xFFFFFFFFu},
        {ParamView::Decimal, ParamType::UInt, "-1", true, 0xFFFFFFFFu},  // the limits decide
        {ParamView::Decimal, ParamType::Int, "4294967295", true, std::nullopt},
        {ParamView::Decimal, ParamType::Bool, "2147483648", true, std::nullopt},
        {ParamView::Decimal, ParamType::Int, "-3", true, 0xFFFFFFFDu},
        {ParamView::Decimal, ParamType::None, "4294967295", true, 0xFFFFFFFFu},
        {ParamView::ValueHex, ParamType::Int, "FFFFFFFF", true, 0xFFFFFFFFu},
        {ParamView::ValueHex, ParamType::UInt, "ff", true, 0xFFu},
        {ParamView::Decimal, ParamType::UInt, "ff", false, std::nullopt},
        {ParamView::Enum, ParamType::Int, "1x", false, std::nullopt},
    };
    for (const Case& c : cases) {
        const TypedValue typed = ReadTypedValue(c.view, c.type, c.text);
        EXPECT_EQ(typed.isNumber, c.isNumber) << c.text;
        EXPECT_EQ(typed.value, c.value) << c.text;
    }
}

TEST(WithinLimitsTest, ComparesUnsignedForUIntAndSignedForIntAndBool) {
    // -1 entered for a UInt parameter reads as 0xFFFFFFFF, far above a maximum of 10.
    const auto minusOne = static_cast<uint32_t>(ReadDecimalInput("-1").value());
    EXPECT_FALSE(WithinLimits(ParamType::UInt, minusOne, 0, 10));
    EXPECT_TRUE(WithinLimits(ParamType::UInt, 0, 0, 10));
    EXPECT_TRUE(WithinLimits(ParamType::UInt, 10, 0, 10));
    EXPECT_FALSE(WithinLimits(ParamType::UInt, 11, 0, 10));
    EXPECT_TRUE(WithinLimits(ParamType::UInt, 0xFFFFFFF0u, 0x80000000u, 0xFFFFFFFFu));

    const auto bits = [](int32_t value) { return static_cast<uint32_t>(value); };
    EXPECT_TRUE(WithinLimits(ParamType::Int, bits(-10), bits(-10), 10));
    EXPECT_TRUE(WithinLimits(ParamType::Int, 10, bits(-10), 10));
    EXPECT_FALSE(WithinLimits(ParamType::Int, 11, bits(-10), 10));
    EXPECT_FALSE(WithinLimits(ParamType::Int, bits(-11), bits(-10), 10));
    // Read unsigned, 0x80000000 would lie between the limits.
    EXPECT_FALSE(WithinLimits(ParamType::Int, 0x80000000u, 0, 0xFFFFFFFFu));

    EXPECT_TRUE(WithinLimits(ParamType::Bool, 0, bits(-1), 1));
    EXPECT_FALSE(WithinLimits(ParamType::Bool, minusOne, 0, 1));
}

TEST(WithinLimitsTest, AParameterOfUnknownTypeAcceptsAnything) {
    EXPECT_TRUE(WithinLimits(ParamType::None, 0xFFFFFFFFu, 0, 10));
    EXPECT_TRUE(WithinLimits(ParamType::None, 0, 5, 1));
    EXPECT_TRUE(WithinLimits(static_cast<ParamType>(9), 100, 0, 10));
}

TEST(FormatParameterValueTest, HexWithEightDigitsUIntUnsignedEverythingElseSigned) {
    const std::tuple<ParamView, ParamType, uint32_t, const char*> cases[] = {
        {ParamView::ValueHex, ParamType::UInt, 31, "0x0000001f"},
        {ParamView::ValueHex, ParamType::Int, 0xFFFFFFFFu, "0xffffffff"},
        {ParamView::ValueHex, ParamType::UInt, 0, "0x00000000"},
        {ParamView::Decimal, ParamType::Int, 31, "31"},
        {ParamView::Decimal, ParamType::Int, 0xFFFFFFFFu, "-1"},
        {ParamView::Decimal, ParamType::Int, 0x80000000u, "-2147483648"},
        {ParamView::Decimal, ParamType::Bool, 1, "1"},
        {ParamView::Decimal, ParamType::None, 0xFFFFFFFEu, "-2"},
        // A UInt is never shown as a negative number.
        {ParamView::Decimal, ParamType::UInt, 0xFFFFFFFFu, "4294967295"},
        {ParamView::Decimal, ParamType::UInt, 3000000000u, "3000000000"},
        {ParamView::Enum, ParamType::Int, 0xFFFFFFFEu, "-2"},
    };
    for (const auto& [view, type, value, text] : cases) {
        EXPECT_EQ(FormatParameterValue(view, type, value), text);
        // What is shown reads back as the same value.
        const TypedValue again = ReadTypedValue(view, type, text);
        EXPECT_EQ(again.value, std::optional<uint32_t>(value)) << text;
    }
}

TEST(FormatCrcTest, ShowsNotAvailableHexOrUnsignedDecimal) {
    EXPECT_EQ(FormatCrc(false, 0x1C563F9Eu, 0), "N/A");
    EXPECT_EQ(FormatCrc(false, 0x1C563F9Eu, 1), "N/A");
    EXPECT_EQ(FormatCrc(true, 0x0000ABCDu, 0), "ABCD");
    EXPECT_EQ(FormatCrc(true, 0x0000ABCDu, 1), "43981");
    EXPECT_EQ(FormatCrc(true, 0x1C563F9Eu, 0), "1C563F9E");
    EXPECT_EQ(FormatCrc(true, 0x1C563F9Eu, 1), "475414430");
    EXPECT_EQ(FormatCrc(true, 0xFFFFFFFFu, 0), "FFFFFFFF");
    EXPECT_EQ(FormatCrc(true, 0xFFFFFFFFu, 1), "4294967295");
    EXPECT_EQ(FormatCrc(true, 0, 0), "0");
    EXPECT_EQ(FormatCrc(true, 0, 1), "0");
    // A format the settings file should not hold falls back to hexadecimal.
    EXPECT_EQ(FormatCrc(true, 0x0000ABCDu, 7), "ABCD");
    EXPECT_EQ(FormatCrc(true, 0x0000ABCDu, -1), "ABCD");
    // Where a report may have no CRC at all.
    EXPECT_EQ(FormatCrcOrError(std::nullopt, 0), "error");
    EXPECT_EQ(FormatCrcOrError(0x0000ABCDu, 0), "ABCD");
    EXPECT_EQ(FormatCrcOrError(0xFFFFFFFFu, 1), "4294967295");
}

constexpr std::string_view kInvalid = "Ung\xC3\xBCltig";

CatalogParameter Parameter(ParamView view, uint32_t value, uint32_t min, uint32_t max) {
    CatalogParameter parameter;
    parameter.name = "SIL";
    parameter.paramView = view;
    parameter.value = value;
    parameter.min = min;
    parameter.max = max;
    return parameter;
}

CatalogEnumItem Item(std::string text, int32_t number) {
    CatalogEnumItem item;
    item.valueText = std::move(text);
    item.valueItem = number;
    return item;
}

using Cells = std::tuple<std::string, std::string, std::string>;

Cells Overview(const CatalogParameter& parameter, const std::vector<CatalogEnumItem>& items) {
    const OverviewCells cells = MakeOverviewCells(parameter, items, kInvalid);
    return {cells.value, cells.min, cells.max};
}

TEST(MakeOverviewCellsTest, NumbersFollowTheView) {
    EXPECT_EQ(Overview(Parameter(ParamView::ValueHex, 31, 0, 0xFFFFFFFFu), {}),
              (Cells{"0x0000001f", "0x00000000", "0xffffffff"}));
    EXPECT_EQ(Overview(Parameter(ParamView::Decimal, 0xFFFFFFFBu, 0xFFFFFFF6u, 10),
                       {Item("ignored", -5)}),
              (Cells{"-5", "-10", "10"}));
}

TEST(MakeOverviewCellsTest, AnEnumerationShowsItemTexts) {
    const std::vector<CatalogEnumItem> items = {Item("off", 0), Item("SIL 2", 2), Item("SIL 3", 3),
                                                Item("also two", 2)};
    // Of several items with the value's number, the last one names it.
    EXPECT_EQ(Overview(Parameter(ParamView::Enum, 2, 0, 3), items),
              (Cells{"also two", "off", "also two"}));
    EXPECT_EQ(Overview(Parameter(ParamView::Enum, 3, 0, 3), items),
              (Cells{"SIL 3", "off", "also two"}));
    EXPECT_EQ(Overview(Parameter(ParamView::Enum, 1, 0, 3), items),
              (Cells{std::string(kInvalid), "off", "also two"}));
    // Item numbers are signed; a value holds their 32-bit pattern.
    EXPECT_EQ(Overview(Parameter(ParamView::Enum, 0xFFFFFFFFu, 0, 0), {Item("minus one", -1)}),
              (Cells{"minus one", "minus one", "minus one"}));
}

TEST(MakeOverviewCellsTest, AnEnumerationWithoutItemsShowsBlankLimits) {
    EXPECT_EQ(Overview(Parameter(ParamView::Enum, 0, 0, 3), {}),
              (Cells{std::string(kInvalid), " ", " "}));
}

}  // namespace
}  // namespace norvane

namespace norvane {
namespace {

// The one judgement of a value that Accept, Open and the catalog checks share.
TEST(CheckParameterValueTest, LimitsItemsAndFieldDecide) {
    const auto minus = [](int32_t value) { return static_cast<uint32_t>(value); };
    const auto parameter = [](ParamType type, ParamView view, uint32_t min, uint32_t max,
                              int32_t bitLength) {
        CatalogParameter p;
        p.type = type;
        p.paramView = view;
        p.min = min;
        p.max = max;
        p.bitLength = bitLength;
        return p;
    };
    const std::vector<CatalogEnumItem> items = {{nullptr, "one", 1}, {nullptr, "minus", -1}};
    struct Case {
        CatalogParameter parameter;
        uint32_t value;
        ValueFault fault;
    };
    const Case cases[] = {
        {parameter(ParamType::UInt, ParamView::Decimal, 0, 65535, 16), 65535, ValueFault::None},
        {parameter(ParamType::UInt, ParamView::Decimal, 0, 65535, 16), 65536,
         ValueFault::OutsideLimits},
        // Limits wider than the field: the field has the last word.
        {parameter(ParamType::UInt, ParamView::Decimal, 0, 100000, 16), 65537, ValueFault::NotHeld},
        {parameter(ParamType::Int, ParamView::Decimal, minus(-10), 10, 8), minus(-10),
         ValueFault::None},
        {parameter(ParamType::Int, ParamView::Decimal, minus(-200), 200, 8), 150,
         ValueFault::NotHeld},
        {parameter(ParamType::Bool, ParamView::Decimal, 0, 1, 16), 1, ValueFault::NotHeld},
        {parameter(ParamType::None, ParamView::Decimal, 0, 0, 8), 7, ValueFault::NotHeld},
        // An enumeration's choice must be an item, and is compared signed.
        {parameter(ParamType::UInt, ParamView::Enum, minus(-1), 1, 8), 1, ValueFault::None},
        {parameter(ParamType::UInt, ParamView::Enum, minus(-1), 1, 8), 0, ValueFault::NotAnItem},
        {parameter(ParamType::UInt, ParamView::Enum, 0, 1, 8), minus(-1),
         ValueFault::OutsideLimits},
        {parameter(ParamType::Int, ParamView::Enum, minus(-1), 1, 8), minus(-1), ValueFault::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckParameterValue(c.parameter, c.value, items), c.fault)
            << "value " << c.value << " type " << static_cast<int>(c.parameter.type);
    }
}

}  // namespace
}  // namespace norvane
