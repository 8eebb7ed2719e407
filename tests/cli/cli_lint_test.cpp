#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "lint/catalog_lint.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::ReadFile;
using norvane::testing::SourcePath;

using Result = norvane::testing::CliResult;

Result Call(const std::vector<std::string>& args) {
    return norvane::testing::CallCli(args);
}

using CliLintTest = norvane::testing::CliFileTest;

TEST_F(CliLintTest, TheDemoCatalogsAreClean) {
    for (const char* name :
         {"examples/SafetyConfiguratorEN.xml", "examples/SafetyConfiguratorDE.xml"}) {
        const std::string path = SourcePath(name).string();
        Result r = Call({"lint", path});
        EXPECT_EQ(r.status, kExitOk) << name << "\n" << r.out;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_EQ(r.err, "") << name;
        r = Call({"lint", "--json", path});
        EXPECT_EQ(r.status, kExitOk) << name;
        EXPECT_EQ(r.out, "[]\n") << name;
    }
}

TEST_F(CliLintTest, APlantedOverlapNamesTheModuleAndBothParameters) {
    std::string text = ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml"));
    const std::string from =
        "name=\"F_Dest_Add\" type=\"UInt\" paramView=\"Decimal\" "
        "defaultValue=\"100\" min=\"1\" max=\"65534\" bitOffset=\"48\"";
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at + from.size() - 3, 2, "40");
    const Result r = Call({"lint", File("overlap.xml", text)});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out,
              "error field-overlap Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head "
              "F-DI\\x208x24VDC F_Dest_Add: bits 40 to 47 are shared with the earlier parameter "
              "\"F_Source_Add\" (bits 32 to 47)\n");
}

constexpr const char* kFaulty =
    "<C><Hersteller name=\"V \xe4\" identNumber=\"1\"><Device name=\"D\" identNumber=\"2\" "
    "dataFormat=\"Intel\" busAddress=\"9\" maxAddr=\"5\"><Modul name=\"M\" identNumber=\"3\" "
    "lenUserParam=\"1\"><ParameterList><Parameter name=\"a\nb\" type=\"UInt\" max=\"1\" "
    "bitOffset=\"24\" bitLength=\"1\"/></ParameterList></Modul></Device></Hersteller></C>";

TEST_F(CliLintTest, LinesAndJsonCarryTheSameFindings) {
    const std::string path = File("faulty.xml", kFaulty);
    Result r = Call({"lint", path});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out,
              "warning bus-address-outside-limits V\\x20\\xe4 D: busAddress 9 lies outside "
              "minAddr 0 to maxAddr 5\n"
              "error field-not-covered V\\x20\\xe4 D M a\\x0ab: bits 24 to 24 lie below bit 32: "
              "the CRC covers the image from byte 4 on\n");
    r = Call({"lint", path, "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out,
              "[\n"
              "  {\"level\": \"warning\", \"code\": \"bus-address-outside-limits\", "
              "\"manufacturer\": \"V \\u00e4\", \"device\": \"D\", \"text\": \"busAddress 9 lies "
              "outside minAddr 0 to maxAddr 5\"},\n"
              "  {\"level\": \"error\", \"code\": \"field-not-covered\", \"manufacturer\": "
              "\"V \\u00e4\", \"device\": \"D\", \"module\": \"M\", \"parameter\": \"a\\nb\", "
              "\"text\": \"bits 24 to 24 lie below bit 32: the CRC covers the image from byte 4 "
              "on\"}\n"
              "]\n");
}

TEST_F(CliLintTest, ExitStatus) {
    // Warnings alone leave the status at 0.
    const std::string warned =
        File("warn.xml",
             "<Hersteller name=\"V\" identNumber=\"1\"><Device name=\"D\" identNumber=\"2\" "
             "dataFormat=\"Intel\"><Modul name=\"M\" identNumber=\"3\"/></Device></Hersteller>");
    Result r = Call({"lint", warned});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out.rfind("warning no-parameters V D M: ", 0), 0u) << r.out;

    // A text that does not parse: the parser's line, as `tree` gives it.
    const std::string broken = File("broken.xml", "<Hersteller name=\"V\"></x>");
    r = Call({"lint", broken});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, Call({"tree", broken}).out);
    EXPECT_EQ(r.out.rfind("error ", 0), 0u);
    EXPECT_EQ(Call({"lint", broken, "--json"}).out, r.out);

    const std::string none = File("none.xml", "<FileVersion major=\"1\"/>");
    r = Call({"lint", none});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out.rfind("error no-manufacturers: ", 0), 0u) << r.out;

    for (const std::vector<std::string>& args : {std::vector<std::string>{"lint"},
                                                 {"lint", warned, warned},
                                                 {"lint", warned, "--xml"},
                                                 {"lint", (dir_.path() / "missing.xml").string()},
                                                 {"lint", File("empty.xml", "")}}) {
        r = Call(args);
        EXPECT_EQ(r.status, kExitUsage) << args.back();
        EXPECT_EQ(r.out, "") << args.back();
        EXPECT_NE(r.err, "") << args.back();
    }
}

TEST_F(CliLintTest, HelpListsEveryCodeWithItsLevel) {
    const Result help = Call({"help", "lint"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.out.rfind("usage: safetycrc lint FILE [--json]", 0), 0u) << help.out;
    for (const LintCode& code : LintCodes()) {
        const std::string level = code.level == LintLevel::Error ? "error" : "warning";
        const std::string entry = "  " + level + std::string(level == "error" ? 4 : 2, ' ') +
                                  std::string(code.code) + " ";
        EXPECT_NE(help.out.find(entry), std::string::npos) << entry;
    }
    EXPECT_NE(Call({"--help"}).out.find("  lint FILE [--json]"), std::string::npos);
}

}  // namespace
}  // namespace norvane::cli
