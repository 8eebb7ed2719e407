#include "base/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

namespace norvane {
namespace {

TEST(Utf8TextTest, TellsWellFormedUtf8) {
    const struct {
        std::string text;
        bool valid;
    } cases[] = {
        {"", true},
        {"Mueller", true},
        {"M\xC3\xBCller", true},      // ü in UTF-8
        {"M\xFCller", false},         // ü in Latin-1
        {"Ger\xE4t", false},          // ä in Latin-1 before a letter
        {"gr\xFCn", false},           // ü in Latin-1 at the end
        {"\xE2\x82\xAC", true},       // €
        {"\xF0\x9F\x98\x80", true},   // U+1F600
        {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
        {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80", false},  // no such lead byte
        {"\xC0\xAF", false},          // overlong '/'
        {"\xC1\xBF", false},          // overlong
        {"\xE0\x80\xAF", false},      // overlong
        {"\xF0\x80\x80\xAF", false},  // overlong
        {"\xED\xA0\x80", false},      // surrogate U+D800
        {"\xED\x9F\xBF", true},       // U+D7FF, just below the surrogates
        {"\xBC", false},              // continuation byte alone
        {"\xC3", false},              // cut short at the end
        {"\xE2\x82", false},          // cut short at the end
        {"\xE2\x82x", false},         // cut short inside the text
        {"\xC3\xBC\xBC", false},      // one continuation byte too many
        {std::string("a\0b", 3), true},
        {"\xFF\xFE", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.text), c.valid) << testing::PrintToString(c.text);
    }
}

TEST(Utf8TextTest, CutsBeforeACharacterThatDoesNotFit) {
    const struct {
        std::string text;
        size_t width;
        std::string cut;
    } cases[] = {
        {"abc", 5, "abc"},
        {"abc", 3, "abc"},
        {"abcd", 3, "abc"},
        {"ab\xC3\xBC", 3, "ab"},  // ü would be split: cut before it
        {"ab\xC3\xBC", 4, "ab\xC3\xBC"},
        {"a\xE2\x82\xAC"
         "b",
         2, "a"},  // € split after its first byte
        {"a\xE2\x82\xAC"
         "b",
         3, "a"},  // € split after its second byte
        {"a\xE2\x82\xAC"
         "b",
         4, "a\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80\xF0\x9F\x98\x80", 7, "\xF0\x9F\x98\x80"},
        {"\xC3\xBC", 1, ""},
        {"ab\xFC"
         "cd",
         3, "ab\xFC"},                    // Latin-1: the byte width
        {"ab\xC3\xBC\xFF", 3, "ab\xC3"},  // not UTF-8 as a whole: the byte width
        {"", 0, ""},
        {"abc", 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CutToWidth(c.text, c.width), c.cut)
            << testing::PrintToString(c.text) << " at " << c.width;
    }
}

}  // namespace
}  // namespace norvane
