#include "cli/cli_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace norvane::cli {
namespace {

TEST(JsonString, EscapesWhatJsonNeedsAndKeepsValidUtf8) {
    struct Case {
        std::string text;
        std::string json;
    };
    const Case cases[] = {
        {"", "\"\""},
        {"plain text", "\"plain text\""},
        {"q\"b\\s/", "\"q\\\"b\\\\s/\""},
        {"\n\r\t\b\x1f\x7f", "\"\\n\\r\\t\\u0008\\u001f\x7f\""},
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80", "\"\xc3\xa4\xe2\x82\xac\xf0\x9f\x98\x80\""},
        // Not UTF-8: a Latin-1 byte, a cut sequence, an overlong form, a surrogate, a code point
        // above U+10FFFF, a stray continuation byte.
        {"\xe4", "\"\\u00e4\""},
        {"\xe2\x82", "\"\\u00e2\\u0082\""},
        {"\xc0\xaf", "\"\\u00c0\\u00af\""},
        {"\xe0\x80\x80", "\"\\u00e0\\u0080\\u0080\""},
        {"\xed\xa0\x80", "\"\\u00ed\\u00a0\\u0080\""},
        {"\xf4\x90\x80\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},
        {"x\x80y", "\"x\\u0080y\""},
        {"\xef\xbf\xbf\xf4\x8f\xbf\xbf", "\"\xef\xbf\xbf\xf4\x8f\xbf\xbf\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonString(c.text), c.json) << c.text;
    }
}

TEST(CsvField, QuotesWhatRfc4180NeedsAndEscapesWhatIsNotUtf8) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"\xc3\xa4 \xe2\x82\xac", "\xc3\xa4 \xe2\x82\xac"},
        {"Gr\xe4t", "Gr\\xe4t"},  // as the text form writes it
        {"Gr\xe4t,e", "\"Gr\\xe4t,e\""},
        {"\xe4 \"", "\"\\xe4\\x20\"\"\""},
    };
    for (const auto& [text, field] : cases) {
        EXPECT_EQ(CsvField(text), field) << text;
    }
}

// The arguments of every command are read by one walk: known options in any place, a value
// taken whatever it looks like, files in order, and the first problem met is the one reported.
TEST(ReadArguments, TakesOptionsAndFilesAndReportsTheFirstProblem) {
    constexpr Option kOptions[] = {{"--flag", {}}, {"--name", "value"}, {"--report", "FILE"}};
    struct Case {
        std::vector<std::string> args;  // after the command name
        std::string taken;              // each option taken, as "OPTION=VALUE;"
        std::vector<std::string> files;
        std::string problem;  // empty: none
    };
    const Case cases[] = {
        {{}, "", {}, ""},
        {{"a", "--flag", "b"}, "--flag=;", {"a", "b"}, ""},
        {{"--name", "--flag", "-"}, "--name=--flag;", {"-"}, ""},
        {{"--name", "x", "--name", "y"}, "--name=x;--name=y;", {}, ""},
        {{"a", "--name"}, "", {}, "--name needs a value"},
        {{"--report"}, "", {}, "--report needs a FILE"},
        {{"a", "-x", "--other"}, "", {}, "unknown option -x"},
        {{"a", "b", "c", "--bad"}, "", {}, "three files"},
        {{"--name", "refuse", "--bad"}, "--name=refuse;", {}, "refused"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"cmd"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::string taken;
        const auto take = [&](std::string_view option, const std::string& value) {
            taken += std::string(option) + '=' + value + ';';
            return value == "refuse" ? std::string("refused") : std::string();
        };
        std::ostringstream err;
        const auto files = ReadArguments(args, kOptions, take, err, 2, "three files");
        SCOPED_TRACE(args.size() > 1 ? args[1] : "no arguments");
        EXPECT_EQ(taken, c.taken);
        if (c.problem.empty()) {
            ASSERT_TRUE(files.has_value()) << err.str();
            EXPECT_EQ(*files, c.files);
            EXPECT_EQ(err.str(), "");
        } else {
            EXPECT_FALSE(files.has_value());
            EXPECT_EQ(err.str().rfind("safetycrc: " + c.problem + "\n\nusage: safetycrc", 0), 0u)
                << err.str();
        }
    }
}

// Every refusal is one line "error REASON"; a message keeps its line breaks as "\n".
TEST(Refusals, AreOneLineEach) {
    std::ostringstream out;
    EXPECT_EQ(RefuseWithMessage(out, 112, {"F-DI", "0x40A1"}), kExitRefused);
    EXPECT_EQ(RefuseUnparsed(out, "<a></b>"), kExitRefused);
    EXPECT_EQ(Refuse(out, "image too long"), kExitRefused);
    EXPECT_EQ(out.str(),
              "error 112 The selected module is not supported.\\nF-DI (0x40A1)\n"
              "error 6 Unmatched end tag at 1:8\n"
              "error image too long\n");
}

}  // namespace
}  // namespace norvane::cli
