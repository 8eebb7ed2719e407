#include "base/text_table.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace norvane {
namespace {

using namespace std::string_literals;
using Table = std::map<std::string, std::string>;

TEST(TextTableTest, TakesKeyAndValueWithoutTheBlanksAroundThem) {
    const Table table = ParseTextTable(
        "string.109 = File %1 not found.\n"
        "\tcontrol.1012\t=\tAccept  \n"
        "menu.0=File\n"
        "string.150 = Failed to write application setting %1.\n"
        "equation = a = b\n"
        "empty =\n"
        "two words = kept inside\n");
    EXPECT_EQ(table, (Table{{"string.109", "File %1 not found."},
                            {"control.1012", "Accept"},
                            {"menu.0", "File"},
                            {"string.150", "Failed to write application setting %1."},
                            {"equation", "a = b"},
                            {"empty", ""},
                            {"two words", "kept inside"}}));
}

TEST(TextTableTest, SkipsCommentsEmptyLinesAndLinesThatAreNoEntries) {
    const Table table = ParseTextTable(
        "# German texts = not an entry\n"
        "   # an indented comment = neither\n"
        "\n"
        "   \t \n"
        "just some words\n"
        "= a value without a key\n"
        "  = another\n"
        "key#1 = hash inside a key is kept\n");
    EXPECT_EQ(table, (Table{{"key#1", "hash inside a key is kept"}}));
}

TEST(TextTableTest, TheFirstEntryOfAKeyWins) {
    const Table table = ParseTextTable("k = first\nk = second\n  k=third\nK = other case\n");
    EXPECT_EQ(table, (Table{{"k", "first"}, {"K", "other case"}}));
}

TEST(TextTableTest, UnescapesLineBreaksBlanksAndBackslashes) {
    const Table table = ParseTextTable(
        "break = first\\nsecond\n"
        "blanks = \\s padded \\s\n"
        "backslash = C:\\\\dir\n"
        "escaped_escape = \\\\n stays\n"
        "other = \\t and \\x stay\n"
        "trailing = ends with \\\n"
        "only = \\\\\\\\\n");
    EXPECT_EQ(table.at("break"), "first\nsecond");
    // The blanks written as escapes survive the trimming of the value.
    EXPECT_EQ(table.at("blanks"), "  padded  ");
    EXPECT_EQ(table.at("backslash"), "C:\\dir");
    EXPECT_EQ(table.at("escaped_escape"), "\\n stays");
    EXPECT_EQ(table.at("other"), "\\t and \\x stay");
    EXPECT_EQ(table.at("trailing"), "ends with \\");
    EXPECT_EQ(table.at("only"), "\\\\");
}

TEST(TextTableTest, ReadsWindowsLineEndsAndALastLineWithoutLineFeed) {
    EXPECT_EQ(ParseTextTable("a = 1\r\nb = two words\r\n\r\n# note\r\nc = 3"),
              (Table{{"a", "1"}, {"b", "two words"}, {"c", "3"}}));
    EXPECT_EQ(ParseTextTable("a = \\s\r\n"), (Table{{"a", " "}}));
}

TEST(TextTableTest, IgnoresAByteOrderMarkAtTheStartOnly) {
    EXPECT_EQ(ParseTextTable("\xEF\xBB\xBFstring.109 = Datei %1 nicht gefunden.\n"),
              (Table{{"string.109", "Datei %1 nicht gefunden."}}));
    EXPECT_EQ(ParseTextTable("a = 1\n\xEF\xBB\xBF"
                             "b = 2\n"),
              (Table{{"a", "1"},
                     {"\xEF\xBB\xBF"
                      "b",
                      "2"}}));
}

TEST(TextTableTest, PassesOtherBytesThroughUnchanged) {
    const std::string text = "k\0ey = v\xFF\xFE\0al\n\x01\x02 = \x80\n\r\r\r\n=\n\\\n"s;
    const Table table = ParseTextTable(text);
    EXPECT_EQ(table, (Table{{"k\0ey"s, "v\xFF\xFE\0al"s}, {"\x01\x02", "\x80"}}));
    EXPECT_TRUE(ParseTextTable("").empty());
    EXPECT_TRUE(ParseTextTable("\n\n\r\n=").empty());
}

}  // namespace
}  // namespace norvane
