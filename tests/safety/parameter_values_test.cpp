#include "safety/parameter_values.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace norvane {
namespace {

struct Reading {
    const char* text;
    std::optional<uint32_t> expected;
};

TEST(ReadDecimalInputTest, ReadsTheLeadingNumberLikeAScanOfPercentD) {
    const Reading readings[] = {
        {"42", 42u},
        {" \t\n\v\f\r42", 42u},
        {"+7", 7u},
        {"-10", static_cast<uint32_t>(-10)},
        {"12abc", 12u},
        {"0007", 7u},
        {"3 4", 3u},
        // No digit after the optional sign: the value stays 0.
        {"", 0u},
        {"-", 0u},
        {"+", 0u},
        {"- 5", 0u},
        {"--5", 0u},
        {"abc", 0u},
        {"0x1F", 0u},
        {"2147483647", 2147483647u},
        {"-2147483648", 0x80000000u},
        {"-0", 0u},
        {"00000000000000000000000000001", 1u},
    };
    for (const Reading& reading : readings) {
        EXPECT_EQ(ReadDecimalInput(reading.text), reading.expected) << '"' << reading.text << '"';
    }
}

TEST(ReadDecimalInputTest, RefusesNumbersOutsideTheSigned32BitRange) {
    for (const char* text : {"2147483648", "-2147483649", "4294967295", "4294967296",
                             "99999999999999999999999999", "-99999999999999999999999999"}) {
        EXPECT_EQ(ReadDecimalInput(text), std::nullopt) << text;
    }
}

TEST(ReadHexInputTest, NeedsTheLowerCasePrefixAndAtMostEightDigits) {
    const Reading readings[] = {
        {"0x1F", 31u},
        {"0x1f", 31u},
        {"0x0000001f", 31u},
        {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"0xDeadBeef", 0xDEADBEEFu},
        {"0x00000000", 0u},
        {"0x1Fzz", 31u},
        {"0x12345678g9", 0x12345678u},
        // Without the prefix, or without digits after it, the value is 0.
        {"1F", 0u},
        {"0X1F", 0u},
        {" 0x1F", 0u},
        {"0x", 0u},
        {"0xg", 0u},
        {"0", 0u},
        {"", 0u},
        {"x1F", 0u},
        // More than eight digits would be cut to some other value; they are refused instead.
        {"0x123456789", std::nullopt},
        {"0x000000001", std::nullopt},
        {"0xFFFFFFFFF", std::nullopt},
    };
    for (const Reading& reading : readings) {
        EXPECT_EQ(ReadHexInput(reading.text), reading.expected) << '"' << reading.text << '"';
    }
}

TEST(WithinLimitsTest, ComparesUnsignedForUIntAndSignedForIntAndBool) {
    // -1 entered for a UInt parameter reads as 0xFFFFFFFF, far above a maximum of 10.
    const uint32_t minusOne = ReadDecimalInput("-1").value();
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

TEST(FormatParameterValueTest, ShowsHexWithEightDigitsAndEverythingElseSigned) {
    EXPECT_EQ(FormatParameterValue(ParamView::ValueHex, 31), "0x0000001f");
    EXPECT_EQ(FormatParameterValue(ParamView::ValueHex, 0xFFFFFFFFu), "0xffffffff");
    EXPECT_EQ(FormatParameterValue(ParamView::ValueHex, 0), "0x00000000");
    EXPECT_EQ(FormatParameterValue(ParamView::Decimal, 31), "31");
    EXPECT_EQ(FormatParameterValue(ParamView::Decimal, 0xFFFFFFFFu), "-1");
    EXPECT_EQ(FormatParameterValue(ParamView::Decimal, 0x80000000u), "-2147483648");
    EXPECT_EQ(FormatParameterValue(ParamView::Decimal, 0x7FFFFFFFu), "2147483647");
    EXPECT_EQ(FormatParameterValue(ParamView::Enum, 0xFFFFFFFEu), "-2");
    // A value read back and shown again comes out as it was entered.
    EXPECT_EQ(FormatParameterValue(ParamView::ValueHex, ReadHexInput("0x1F").value()),
              "0x0000001f");
    EXPECT_EQ(FormatParameterValue(ParamView::Decimal, ReadDecimalInput("-2147483648").value()),
              "-2147483648");
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
