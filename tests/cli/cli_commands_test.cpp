#include "cli/cli_commands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "base/program_version.h"
#include "cli/sample_catalog.h"
#include "support/bounded_run.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using Result = norvane::testing::CliResult;

Result Call(const std::vector<std::string>& args) {
    return norvane::testing::CallCli(args);
}

using CliTest = norvane::testing::CliFileTest;

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
