#include "base/byte_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace norvane {
namespace {

// Reads an escaped text back, independently of the writer: "\\" and "\xHH" only, anything
// else after a backslash, a cut escape or an upper-case digit is no escape the writer makes.
std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (i + 3 < text.size() && text[i + 1] == 'x' &&
                   std::string_view("0123456789abcdef").find(text[i + 2]) != std::string::npos &&
                   std::string_view("0123456789abcdef").find(text[i + 3]) != std::string::npos) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

TEST(ByteText, EveryByteGoesToTwoDigitsAndBack) {
    for (const HexCase letters : {HexCase::Lower, HexCase::Upper}) {
        for (uint32_t value = 0; value < 256; ++value) {
            const auto byte = static_cast<uint8_t>(value);
            const std::string text = HexBytes(std::vector<uint8_t>{byte, 0x5A}, letters);
            ASSERT_EQ(text.size(), 4u);
            EXPECT_EQ(text.substr(2), letters == HexCase::Upper ? "5A" : "5a");
            for (const char digit : text) {
                EXPECT_TRUE(std::isxdigit(static_cast<unsigned char>(digit))) << text;
                EXPECT_EQ(std::isupper(static_cast<unsigned char>(digit)) != 0,
                          letters == HexCase::Upper &&
                              std::isalpha(static_cast<unsigned char>(digit)) != 0);
            }
            EXPECT_EQ(HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]), static_cast<int>(value))
                << text;
            EXPECT_EQ(static_cast<uint32_t>(std::stoul(text.substr(0, 2), nullptr, 16)), value);
        }
    }
    // Every character that is not a digit of either case has no value.
    for (int c = -128; c < 128; ++c) {
        const char character = static_cast<char>(c);
        const bool digit = std::isxdigit(static_cast<unsigned char>(character)) != 0;
        EXPECT_EQ(HexDigitValue(character) >= 0, digit) << c;
    }
    EXPECT_EQ(HexBytes({}), "");
}

// Any bytes, escaped, give a text of visible ASCII (spaces only where they are kept) that
// reads back as the same bytes; a field is never empty and never holds a space.
TEST(ByteText, EscapedBytesStayOnOneLineAndReadBack) {
    std::vector<std::string> texts = {"", " ", "\\", "\\0", "\\x41", std::string(1, '\0')};
    for (int c = 0; c < 256; ++c) {
        texts.emplace_back(1, static_cast<char>(c));
    }
    std::mt19937 random(16);
    for (int n = 0; n < 2000; ++n) {
        std::string text(random() % 24, '\0');
        for (char& c : text) {
            // Mostly the bytes that need care: backslashes, blanks, 'x', controls and high ones.
            constexpr std::string_view kAlphabet = "\\ x0a\t\n\x7f\x80\xff";
            c = random() % 2 == 0 ? kAlphabet[random() % kAlphabet.size()]
                                  : static_cast<char>(random() % 256);
        }
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        const std::string field = EscapeField(text);
        const std::string kept = EscapeBytes(text, Blanks::Keep);
        EXPECT_FALSE(field.empty());
        for (const char c : field) {
            EXPECT_TRUE(c > ' ' && c < 0x7F) << field;
        }
        for (const char c : kept) {
            EXPECT_TRUE(c >= ' ' && c < 0x7F) << kept;
        }
        EXPECT_EQ(kept.find(' ') == std::string::npos, text.find(' ') == std::string::npos);
        EXPECT_EQ(text.empty() ? std::optional<std::string>("") : Unescape(field), text) << field;
        EXPECT_EQ(Unescape(kept), text) << kept;
    }
    EXPECT_EQ(EscapeBytes("", Blanks::Escape), "");
}

TEST(ByteText, FieldEscapeKeepsWhatCannotSplitATokenLine) {
    EXPECT_EQ(EscapeField(""), "\\0");
    EXPECT_EQ(EscapeField("plain-Text_1.0"), "plain-Text_1.0");
    EXPECT_EQ(EscapeField("a b"), "a\\x20b");
    EXPECT_EQ(EscapeField("back\\slash"), "back\\\\slash");
    EXPECT_EQ(EscapeField(std::string("\0\x1f\x7f\x80\xff", 5)), "\\x00\\x1f\\x7f\\x80\\xff");
    EXPECT_EQ(EscapeField("\"q\"'<>=~!"), "\"q\"'<>=~!");
    EXPECT_EQ(EscapeBytes("a b\tc", Blanks::Keep), "a b\\x09c");
}

TEST(ByteText, TrimBlanksDropsSpacesAndTabsAtTheEndsOnly) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", ""},           {" \t ", ""},
        {"a", "a"},         {"\t a b \t", "a b"},
        {"\na\r", "\na\r"}, {" \xa0x\xa0 ", "\xa0x\xa0"},
    };
    for (const auto& [text, trimmed] : cases) {
        EXPECT_EQ(TrimBlanks(text), trimmed) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace norvane
