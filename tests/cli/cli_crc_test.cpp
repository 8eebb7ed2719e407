#include "cli/cli_crc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/sample_catalog.h"
#include "safety/param_stream.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::TempDir;
using norvane::testing::WriteFile;

using Result = norvane::testing::CliResult;

Result Call(const std::vector<std::string>& args) {
    return norvane::testing::CallCli(args);
}

// A --set VALUE is a whole 32-bit number as typed: decimal with an optional sign, or 0x and one
// to eight hex digits; no blanks, no more than ten decimal digits, nothing it would have to cut.
TEST(CrcSetValue, ReadsExactlyThe32BitNumbers) {
    const std::pair<std::string_view, std::optional<uint32_t>> cases[] = {
        {"0", 0u},
        {"+7", 7u},
        {"-1", 0xFFFFFFFFu},
        {"-0", 0u},
        {"4294967295", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"-2147483648", 0x80000000u},
        {"-2147483649", std::nullopt},
        {"0000000012", 12u},
        {"00000000012", std::nullopt},
        {"-0000000012", 0xFFFFFFF4u},
        {"0x1234", 0x1234u},
        {"0XaBcD", 0xABCDu},
        {"0x00000000F", std::nullopt},
        {"0xFFFFFFFF", 0xFFFFFFFFu},
        {"0x", std::nullopt},
        {"0x-1", std::nullopt},
        {"0xg", std::nullopt},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"+-1", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"0x1\t", std::nullopt},
        {"12abc", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ParseSetValue(text), value) << '"' << text << '"';
    }
}

using CliCrcTest = norvane::testing::CliFileTest;

// A --set value beyond the parameter's limits or its field still builds the image as the core
// does, and says so on standard error; a value the image does not hold gets no CRC.
TEST_F(CliCrcTest, CrcWarnsAboutValuesTheImageCannotHoldAsTyped) {
    const std::string path = File("c.xml", kCatalog);
    const struct {
        std::vector<std::string> sets;
        std::string warning;            // empty: none
        std::vector<std::string> same;  // sets that give the same image without a warning
    } kCases[] = {
        {{"P1=0x1234"}, "", {"P1=0x1234"}},
        {{"P1=0x12345"},
         "warning: parameter P1 value 74565 is within its limits 0 to 4294967295 and wider than "
         "its 16-bit field; the image holds 9029 (0x2345)\n",
         {"P1=0x2345"}},
        {{"P=2=2"},
         "warning: parameter P=2 value 2 is outside its limits 0 to 1 and wider than its 1-bit "
         "field; the image holds 0 (0x0)\n",
         {"P=2=0"}},
        {{"P3=-3"}, "", {"P3=-3"}},
        {{"P3=-4"}, "", {"P3=-4"}},
        {{"P3=-5"},
         "warning: parameter P3 value -5 is outside its limits -4 to 3 and wider than its 3-bit "
         "field; the image holds 3 (0x3)\n",
         {"P3=3"}},
        {{"P3=4"},
         "warning: parameter P3 value 4 is outside its limits -4 to 3 and wider than its 3-bit "
         "field; the image holds -4 (0x4)\n",
         {"P3=-4"}},
        // Only the value that reaches the image is judged.
        {{"P1=0x12345", "P1=1"}, "", {"P1=1"}},
    };
    for (const auto& c : kCases) {
        std::vector<std::string> args{"crc", path};
        std::vector<std::string> plain{"crc", path};
        for (const std::string& set : c.sets) {
            args.insert(args.end(), {"--set", set});
        }
        for (const std::string& set : c.same) {
            plain.insert(plain.end(), {"--set", set});
        }
        const Result r = Call(args);
        const Result expected = Call(plain);
        EXPECT_EQ(r.err, c.warning) << c.sets[0];
        EXPECT_EQ(expected.err, "") << c.same[0];
        EXPECT_EQ(expected.status, kExitOk) << c.same[0];
        if (c.warning.empty()) {
            EXPECT_EQ(r.status, kExitOk) << c.sets[0];
            EXPECT_EQ(r.out, expected.out) << c.sets[0];
        } else {
            // The image keeps other bits than the values say: it is shown, its CRC is not.
            const std::string image = expected.out.substr(0, expected.out.find('\n') + 1);
            EXPECT_EQ(r.status, kExitRefused) << c.sets[0];
            EXPECT_EQ(r.out, image + "crc error\n") << c.sets[0];
        }
    }
}

TEST_F(CliCrcTest, CrcSelectsLikeTheWindowAndBuildsTheImage) {
    const std::string path = File("c.xml", kCatalog);
    // Defaults: P1 0 (the catalog's "0x99" reads as 0), P=2 1, P3 -1 (low three bits).
    Result r = Call({"crc", path});
    EXPECT_EQ(r.status, kExitOk) << r.err;
    EXPECT_EQ(r.out, "image 0000000000000f\ncrc A567D898\n");

    // The worked example: P1 0x1234, P=2 1, P3 bits 101 give 12 34 0B and CRC 0xAB5F40D8. P3
    // is a 3-bit Int: its bits 101 are -3, and 5 would not read back from them.
    r = Call({"crc", path, "--set", "P1=0x1234", "--set", "P=2=1", "--set", "P3=-3"});
    EXPECT_EQ(r.out, "image 0000000012340b\ncrc AB5F40D8\n");
    r = Call({"crc", "--dec", path, "--vendor", "Vendor A", "--device", "Head", "--module", "M1",
              "--set", "P1=4660", "--set", "P3=-3"});
    EXPECT_EQ(r.out, "image 0000000012340b\ncrc 2875146456\n");
    r = Call({"crc", path, "--set", "P1=0x1234", "--set", "P3=+5"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, "image 0000000012340b\ncrc error\n");
    // The first parameter of a name takes the value; later --set of it win.
    r = Call({"crc", path, "--set", "P1=1", "--set", "P1=0x1234", "--set", "P3=-3"});
    EXPECT_EQ(r.out, "image 0000000012340b\ncrc AB5F40D8\n");
}

TEST_F(CliCrcTest, CrcRefusals) {
    const std::string path = File("c.xml", kCatalog);
    // Unknown selections are usage errors; the device of the shadowed vendor is not found.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"crc", path, "--vendor", "vendor a"},
          {"crc", path, "--device", "Shadowed"},
          {"crc", path, "--module", "m1"},
          {"crc", path, "--set", "P4=1"},
          {"crc", path, "--set", "P1"},
          {"crc", path, "--set", "P1=0x123456789"},
          {"crc", path, "--set", "P1=4294967296"},
          {"crc", path, "--set", "P1=-2147483649"},
          {"crc", path, "--set", "P1=12abc"},
          {"crc", path, "--set", "P1="},
          {"crc", path, "--vendor"},
          {"crc", path, "--hex"},
          {"crc", path, path},
          {"crc"}}) {
        const Result r = Call(args);
        EXPECT_EQ(r.status, kExitUsage) << args.back();
        EXPECT_EQ(r.out, "") << args.back();
        EXPECT_NE(r.err, "") << args.back();
    }
    // Taken as values (their 16-bit field cannot hold them, so no CRC follows).
    EXPECT_EQ(Call({"crc", path, "--set", "P1=4294967295"}).out,
              "image 00000000ffff0f\ncrc error\n");
    EXPECT_EQ(Call({"crc", path, "--set", "P1=-2147483648"}).status, kExitRefused);

    // Images that cannot be built are refused with a reason on standard output.
    Result r = Call({"crc", path, "--module", "Wide"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out.rfind("error image ", 0), 0u) << r.out;
    r = Call({"crc", path, "--device", "Odd"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out.rfind("error image ", 0), 0u) << r.out;
}

// When the two CRC routines disagree no number is printed.
uint32_t Flipped(uint32_t length, uint32_t initial, const uint8_t* data, CrcDirection direction) {
    return ~SafetyCrc32(length, initial, data, direction);
}

TEST(CrcRefusal, DisagreeingRoutinesPrintCrcErrorAndNoNumber) {
    const TempDir dir;
    const std::string path = WriteFile(
        dir.path() / "c.xml",
        "<Hersteller name=\"V\"><Device name=\"D\" dataFormat=\"Motorola\"><Modul name=\"M\" "
        "lenUserParam=\"2\"><ParameterList><Parameter name=\"P\" type=\"UInt\" "
        "defaultValue=\"4660\" bitOffset=\"32\" bitLength=\"16\"/></ParameterList></Modul>"
        "</Device></Hersteller>");
    const Result agreeing = Call({"crc", path});
    ASSERT_EQ(agreeing.status, kExitOk) << agreeing.err;
    ASSERT_EQ(agreeing.out.rfind("image 000000001234\ncrc ", 0), 0u) << agreeing.out;

    SetTableCrcRoutine(&Flipped);
    const Result refused = Call({"crc", path});
    SetTableCrcRoutine(nullptr);
    EXPECT_EQ(refused.status, kExitRefused);
    EXPECT_EQ(refused.out, "image 000000001234\ncrc error\n");
    EXPECT_EQ(refused.err, "");
}

}  // namespace
}  // namespace norvane::cli
