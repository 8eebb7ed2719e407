#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/byte_text.h"
#include "cli/cli_commands.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::CallCli;
using norvane::testing::SourcePath;
using norvane::testing::TempDir;
using norvane::testing::WriteFile;

std::string Example(const char* path) {
    return SourcePath(path).string();
}

const char* const kOld = "examples/diff/SafetyConfigurator-1.0.xml";
const char* const kNew = "examples/diff/SafetyConfigurator-1.1.xml";

TEST(CliDiff, ExactLinesForTheTwoCatalogVersions) {
    const auto r = CallCli({"diff", Example(kOld), Example(kNew)});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(
        r.out,
        "changed Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head F-DO\\x204x24VDC/2A\n"
        "  parameter Overload\\x20detection added\n"
        "  parameter Readback\\x20time\\x20(ms) defaultValue 50 60\n"
        "  parameter Readback\\x20time\\x20(ms) max 400 500\n"
        "  parameter Wire-break\\x20detection removed\n"
        "  default-crc 45DCDEF5 55BE7CB4\n"
        "added Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head "
        "F-AI\\x204x4..20mA\\x20HF\n"
        "changed Norvane\\x20Automation NV-PN\\x20300\\x20PROFINET\\x20head F-DI\\x2016x24VDC\n"
        "  parameter Input\\x20delay max 2 3\n"
        "  parameter Input\\x20delay item 2 valueText 15\\x20ms 12\\x20ms\n"
        "  parameter Input\\x20delay item 3 added\n"
        "  device dataFormat Motorola Intel\n"
        "  default-crc 4DD7B6BE 8C898B4A\n"
        "removed Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head F-AI\\x202x4..20mA\n"
        "modules 6 added 1 removed 1 changed 2 unchanged 2\n");
    // Backwards, what was added is removed; the new catalog's order leads.
    const auto back = CallCli({"diff", Example(kNew), Example(kOld)});
    EXPECT_NE(back.out.find("\nadded Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head "
                            "F-AI\\x202x4..20mA\n"),
              std::string::npos);
    EXPECT_NE(back.out.find("  parameter Input\\x20delay item 3 removed\n"), std::string::npos);
    EXPECT_EQ(back.out.substr(back.out.rfind("modules")),
              "modules 6 added 1 removed 1 changed 2 unchanged 2\n");
}

TEST(CliDiff, JsonOfTheCatalogVersions) {
    const auto r = CallCli({"diff", Example(kOld), Example(kNew), "--json"});
    EXPECT_EQ(r.status, kExitRefused);
    const std::string head =
        "{\"modules\": [\n"
        "  {\"change\": \"changed\", \"manufacturer\": \"Norvane Automation\", \"device\": "
        "\"NV-DP 200 PROFIBUS head\", \"module\": \"F-DO 4x24VDC/2A\", \"manufacturerIdent\": "
        "\"0x0317\", \"deviceIdent\": \"0x0B1A\", \"moduleIdent\": \"0x40B2\", "
        "\"differences\": [\n"
        "    {\"subject\": \"parameter\", \"parameter\": \"Overload detection\", \"item\": "
        "null, \"change\": \"added\", \"attr";
    EXPECT_EQ(r.out.substr(0, head.size()), head);
    for (const char* part :
         {"{\"subject\": \"parameter\", \"parameter\": \"Input delay\", \"item\": 2, \"change\": "
          "\"changed\", \"attribute\": \"valueText\", \"old\": \"15 ms\", \"new\": \"12 ms\"}",
          "{\"subject\": \"parameter\", \"parameter\": \"Input delay\", \"item\": 3, \"change\": "
          "\"added\", \"attribute\": null, \"old\": null, \"new\": \"30 ms\"}",
          "{\"subject\": \"default-crc\", \"parameter\": null, \"item\": null, \"change\": "
          "\"changed\", \"attribute\": null, \"old\": \"45DCDEF5\", \"new\": \"55BE7CB4\"}",
          "{\"change\": \"removed\", \"manufacturer\": \"Norvane Automation\"",
          "\"summary\": {\"modules\": 6, \"added\": 1, \"removed\": 1, \"changed\": 2, "
          "\"unchanged\": 2}}\n"}) {
        EXPECT_NE(r.out.find(part), std::string::npos) << part;
    }
}

TEST(CliDiff, ACatalogAgainstItselfDiffersInNothing) {
    const std::string catalog = Example("examples/SafetyConfiguratorEN.xml");
    const auto r = CallCli({"diff", catalog, catalog});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "modules 5 added 0 removed 0 changed 0 unchanged 5\n");
}

TEST(CliDiff, TwoProjectsAsTheWindowOpensThem) {
    const std::string catalog = Example("examples/SafetyConfiguratorEN.xml");
    const std::string sample = Example("examples/SampleProject.kfx");
    const auto r = CallCli({"diff", sample, Example("examples/audit/stale.kfx"), catalog});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out,
              "parameter F_WD_Time\\x20(ms) value 150 15000\n"
              "parameter F_WD_Time\\x20(ms) accepted 1 0\n"
              "crc B12D8D5F N/A\n"
              "differences 3\n");
    const auto json =
        CallCli({"diff", sample, Example("examples/audit/stale.kfx"), catalog, "--json"});
    EXPECT_EQ(json.out,
              "{\"differences\": [\n"
              "  {\"field\": \"parameter\", \"parameter\": \"F_WD_Time (ms)\", \"attribute\": "
              "\"value\", \"old\": \"150\", \"new\": \"15000\"},\n"
              "  {\"field\": \"parameter\", \"parameter\": \"F_WD_Time (ms)\", \"attribute\": "
              "\"accepted\", \"old\": \"1\", \"new\": \"0\"},\n"
              "  {\"field\": \"crc\", \"parameter\": null, \"attribute\": null, \"old\": "
              "\"B12D8D5F\", \"new\": \"N/A\"}\n"
              "],\n\"summary\": {\"differences\": 3}}\n");
    const auto same = CallCli({"diff", sample, sample, catalog});
    EXPECT_EQ(same.status, kExitOk);
    EXPECT_EQ(same.out, "differences 0\n");
    // Another module of another device: selection, description, bus address, parameters.
    const auto other = CallCli({"diff", sample, Example("examples/audit/ok.kfx"), catalog});
    const std::string head =
        "module name F-DI\\x208x24VDC F-AI\\x202x4..20mA\n"
        "module ident 0x40A1 0x40C3\n"
        "description Line\\x203,\\x20cabinet\\x202 Line\\x204,";
    EXPECT_EQ(other.out.substr(0, head.size()), head);
    EXPECT_NE(other.out.find("\nparameter Input\\x20delay value 1 \\0\n"), std::string::npos);
}

TEST(CliDiff, AProjectThatCannotBeOpenedIsNamed) {
    const std::string catalog = Example("examples/SafetyConfiguratorEN.xml");
    const std::string unreadable = Example("examples/audit/unreadable.kfx");
    const std::string unmatched = Example("examples/audit/unmatched.kfx");
    const auto r = CallCli({"diff", unreadable, unmatched, catalog});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.out, "error " + EscapeField(unreadable) +
                         " 123 The project file could not be opened.\n"
                         "error " +
                         EscapeField(unmatched) +
                         " 128 The project file specifies an unknown module.\n");
}

TEST(CliDiff, UsageAndCatalogsThatCannotBeUsed) {
    TempDir dir;
    const std::string broken = WriteFile(dir.path() / "broken.xml", "<C></D>");
    const std::string catalog = Example("examples/SafetyConfiguratorEN.xml");
    struct Case {
        std::vector<std::string> args;
        const char* err;
    };
    const Case cases[] = {
        {{"diff", catalog}, "diff takes two catalogs, or two project files and a catalog"},
        {{"diff", catalog, catalog, catalog, catalog}, "diff takes two catalogs"},
        {{"diff", catalog, catalog, "--csv"}, "unknown option --csv"},
        {{"diff", catalog, broken}, "is no device catalog (it does not parse)"},
        {{"diff", (dir.path() / "missing.xml").string(), catalog}, "cannot read"},
        {{"diff", Example("examples/SampleProject.kfx"), Example("examples/SampleProject.kfx"),
          broken},
         "is no device catalog"},
    };
    for (const Case& c : cases) {
        const auto r = CallCli(c.args);
        EXPECT_EQ(r.status, kExitUsage);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    const auto help = CallCli({"help", "diff"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(
        help.out.rfind("usage: safetycrc diff OLD NEW [--json] | diff A.kfx B.kfx CATALOG", 0), 0u);
}

}  // namespace
}  // namespace norvane::cli
