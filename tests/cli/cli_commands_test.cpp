#include "cli/cli_commands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "base/program_version.h"
#include "cli/field_escape.h"
#include "support/bounded_run.h"
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

TEST(FieldEscape, EscapesEverythingThatCouldSplitATokenLine) {
    EXPECT_EQ(EscapeField(""), "\\0");
    EXPECT_EQ(EscapeField("plain-Text_1.0"), "plain-Text_1.0");
    EXPECT_EQ(EscapeField("a b"), "a\\x20b");
    EXPECT_EQ(EscapeField("back\\slash"), "back\\\\slash");
    EXPECT_EQ(EscapeField(std::string("\0\x1f\x7f\x80\xff", 5)), "\\x00\\x1f\\x7f\\x80\\xff");
    EXPECT_EQ(EscapeField("\"q\"'<>=~!"), "\"q\"'<>=~!");
}

class CliTest : public ::testing::Test {
  protected:
    std::string File(const std::string& name, const std::string& bytes) {
        return WriteFile(dir_.path() / name, bytes);
    }
    TempDir dir_;
};

TEST_F(CliTest, TreeListsEveryNodeIndentedByDepth) {
    const std::string path = File(
        "t.xml", "<?xml version='1.0'?><R a=\"x y\" e=\"\"><!--c--><pre>p</PRE>t \\ u<E/></R>");
    const Result r = Call({"tree", path});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out,
              "declaration xml\n"
              "  attribute version '1.0'\n"
              "  element R\n"
              "    attribute a \"x\\x20y\"\n"
              "    attribute e \"\"\n"
              "    clear <!-- c\n"
              "    clear <PRE> p\n"
              "    text t\\x20\\\\\\x20u\n"
              "    element E\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(CliTest, ParseErrorsAndUnreadableFiles) {
    Result r = Call({"tree", File("bad.xml", "<a></b>")});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, "error 6 Unmatched end tag at 1:8\n");
    r = Call({"xml", File("q.xml", "<a\n\"open")});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, "error 5 Unmatched quote at 2:6\n");

    for (const char* command : {"tree", "xml", "catalog", "crc", "md5"}) {
        r = Call({command, (dir_.path() / "missing.xml").string()});
        EXPECT_EQ(r.status, kExitUsage) << command;
        EXPECT_EQ(r.out, "") << command;
        EXPECT_NE(r.err.find("missing.xml"), std::string::npos) << command;
    }
    r = Call({"tree", File("empty.xml", "")});
    EXPECT_EQ(r.status, kExitUsage);

    // A FIFO without a writer, and a folder, are files that cannot be read: no command waits.
    const std::string fifo = (dir_.path() / "fifo.xml").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, dir_.path().string()}) {
        for (const char* command : {"tree", "xml", "catalog", "crc", "md5"}) {
            EXPECT_TRUE(::norvane::testing::FinishesWithin(
                std::chrono::seconds(5),
                [&] {
                    const Result refused = Call({command, path});
                    return refused.status == kExitUsage && refused.out.empty() &&
                           refused.err.find("cannot read") != std::string::npos;
                }))
                << command << ' ' << path;
        }
    }
}

TEST_F(CliTest, XmlWritesTheSerialisationWithoutNewline) {
    const Result r =
        Call({"xml", File("x.xml", "<?xml version=\"1.0\"?>\n<R  a=\"1\" b>\n  t  \n</R>")});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "<xml version=\"1.0\"><R a=\"1\">t</R></xml>");
}

TEST_F(CliTest, Md5PrintsTheDigest) {
    Result r = Call({"md5", File("abc", "abc")});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "900150983cd24fb0d6963f7d28e17f72\n");
    r = Call({"md5", File("empty", "")});
    EXPECT_EQ(r.out, "d41d8cd98f00b204e9800998ecf8427e\n");
}

constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><Catalog>"
    "<Hersteller name=\"Vendor A\" identNumber=\"0x01\">"
    "<Device name=\"Head\" identNumber=\"0x0B\" enableBusAddress=\"yes\" busAddress=\"-3\""
    " minAddr=\"1\" maxAddr=\"125\" busSpeed=\"12000\" offsetModulParamStream=\"2\""
    " dataFormat=\"Motorola\">"
    "<Modul name=\"M1\" identNumber=\"0x40\" major=\"1\" minor=\"2\" type=\"F-DI\""
    " lenModulParam=\"7\" lenUserParam=\"3\"><ParameterList>"
    "<Parameter name=\"P1\" type=\"UInt\" paramView=\"ValueHex\" defaultValue=\"0x99\" min=\"0\""
    " max=\"4294967295\" bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"P=2\" type=\"Bool\" defaultValue=\"1\" max=\"1\" bitOffset=\"48\""
    " bitLength=\"1\"/>"
    "<Parameter name=\"P3\" type=\"Int\" paramView=\"Enum\" defaultValue=\"-1\" min=\"-4\""
    " max=\"3\" bitOffset=\"49\" bitLength=\"3\"><Item valueText=\"minus one\" valueItem=\"-1\"/>"
    "<Item valueItem=\"2\"/></Parameter>"
    "</ParameterList></Modul>"
    "<Modul name=\"Wide\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"W\" type=\"UInt\" bitOffset=\"32\" bitLength=\"16\"/>"
    "</ParameterList></Modul></Device>"
    "<Device name=\"Odd\" dataFormat=\"Big\"><Modul name=\"X\" lenUserParam=\"2\"><ParameterList>"
    "<Parameter name=\"Q\" type=\"UInt\" bitOffset=\"32\" bitLength=\"8\"/></ParameterList>"
    "</Modul></Device>"
    "</Hersteller><Hersteller/>"
    "<Hersteller name=\"Vendor A\"><Device name=\"Shadowed\"/></Hersteller></Catalog>";

TEST_F(CliTest, CatalogListsEveryLevelOfEveryManufacturer) {
    const Result r = Call({"catalog", File("c.xml", kCatalog)});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(
        r.out,
        "manufacturer Vendor\\x20A 0x01\n"
        "  device Head 0x0B enableBusAddress=1 busAddress=-3 minAddr=1 maxAddr=125"
        " busSpeed=12000 offsetModulParamStream=2 dataFormat=1\n"
        "    module M1 0x40 major=1 minor=2 type=F-DI modulPlcAddress=0 minAddr=0 maxAddr=0"
        " lenModulParam=7 lenUserParam=3\n"
        "      parameter P1 type=3 paramView=1 defaultValue=0 min=0 max=4294967295 bitOffset=32"
        " bitLength=16\n"
        "      parameter P=2 type=1 paramView=0 defaultValue=1 min=0 max=1 bitOffset=48"
        " bitLength=1\n"
        "      parameter P3 type=2 paramView=2 defaultValue=-1 min=-4 max=3 bitOffset=49"
        " bitLength=3\n"
        "        item minus\\x20one valueItem=-1\n"
        "        item \\0 valueItem=2\n"
        "    module Wide \\0 major=0 minor=0 type=\\0 modulPlcAddress=0 minAddr=0 maxAddr=0"
        " lenModulParam=0 lenUserParam=1\n"
        "      parameter W type=3 paramView=0 defaultValue=0 min=0 max=0 bitOffset=32"
        " bitLength=16\n"
        "  device Odd \\0 enableBusAddress=0 busAddress=0 minAddr=0 maxAddr=0 busSpeed=0"
        " offsetModulParamStream=0 dataFormat=0\n"
        "    module X \\0 major=0 minor=0 type=\\0 modulPlcAddress=0 minAddr=0 maxAddr=0"
        " lenModulParam=0 lenUserParam=2\n"
        "      parameter Q type=3 paramView=0 defaultValue=0 min=0 max=0 bitOffset=32"
        " bitLength=8\n"
        "manufacturer \\0 \\0\n"
        "manufacturer Vendor\\x20A \\0\n"
        "  device Shadowed \\0 enableBusAddress=0 busAddress=0 minAddr=0 maxAddr=0 busSpeed=0"
        " offsetModulParamStream=0 dataFormat=0\n");
}

TEST_F(CliTest, CatalogWithoutManufacturerPrintsNothing) {
    const Result r = Call({"catalog", File("none.xml", "<FileVersion major=\"1\"/>")});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err, "");
}

// A catalog that does not parse is refused with the parser's error line, as `tree` gives it.
TEST_F(CliTest, CatalogAndCrcRefuseATextThatDoesNotParse) {
    const struct {
        const char* text;
        const char* line;
    } kCases[] = {
        {"<Hersteller name=\"A\"></x>", "error 6 Unmatched end tag at 1:26\n"},
        {"<Catalog>\n<Hersteller name=\"A", "error 5 Unmatched quote at 2:20\n"},
        {"<Catalog> > ", "error 7 Unexpected token found at 1:12\n"},
    };
    for (const auto& c : kCases) {
        const std::string path = File("bad.xml", c.text);
        EXPECT_EQ(Call({"tree", path}).out, c.line);
        for (const char* command : {"catalog", "crc"}) {
            const Result r = Call({command, path});
            EXPECT_EQ(r.status, kExitRefused) << command << ' ' << c.text;
            EXPECT_EQ(r.out, c.line) << command;
            EXPECT_EQ(r.err, "") << command;
        }
    }
}

// A --set value beyond the parameter's limits or its field still builds the image as the core
// does, and says so on standard error; a value the image does not hold gets no CRC.
TEST_F(CliTest, CrcWarnsAboutValuesTheImageCannotHoldAsTyped) {
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

TEST_F(CliTest, CrcSelectsLikeTheWindowAndBuildsTheImage) {
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

TEST_F(CliTest, CrcRefusals) {
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

TEST_F(CliTest, UsageErrors) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, {"frobnicate"}, {"tree"}, {"md5", "a", "b"}, {"catalog"}}) {
        const Result r = Call(args);
        EXPECT_EQ(r.status, kExitUsage);
        EXPECT_NE(r.err.find("usage: safetycrc"), std::string::npos);
        EXPECT_EQ(r.out, "");
    }
    const Result help = Call({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("usage: safetycrc"), std::string::npos);
}

TEST_F(CliTest, VersionAndHelpPerCommand) {
    const Result version = Call({"--version"});
    EXPECT_EQ(version.status, kExitOk);
    EXPECT_EQ(version.out, "safetycrc " + std::string(kProgramVersion) + "\n");

    const Result help = Call({"help", "crc"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.out.rfind("usage: safetycrc crc FILE", 0), 0u) << help.out;
    EXPECT_NE(help.out.find("--dec prints the CRC in decimal"), std::string::npos);

    const Result unknown = Call({"help", "frobnicate"});
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_NE(unknown.err.find("unknown command \"frobnicate\""), std::string::npos);
}

}  // namespace
}  // namespace norvane::cli
