#include "base/decimal_text.h"

#include <gtest/gtest.h>

#include <string>

namespace norvane {
namespace {

TEST(DecimalTextTest, ReadsTheLeadingDecimalNumber) {
    const struct {
        std::string text;
        uint32_t value;
    } cases[] = {
        {"", 0},
        {"42", 42},
        {"  \t\r\n 7", 7},
        {"+5", 5},
        {"-1", 0xFFFFFFFFu},
        {"-0", 0},
        {"12abc34", 12},
        {"3.9", 3},
        {"0x10", 0},
        {"abc", 0},
        {"- 1", 0},
        {"+-1", 0},
        {"4294967295", 4294967295u},
        {"4294967296", 0},
        {"4294967297", 1},
        {"00000000000000000000123", 123},
        {std::string("9\0"
                     "9",
                     3),
         9},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLeadingDecimal(c.text), c.value) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace norvane
