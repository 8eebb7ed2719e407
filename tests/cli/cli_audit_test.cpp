#include <gtest/gtest.h>

#include <filesystem>
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

std::string Catalog() {
    return SourcePath("examples/SafetyConfiguratorEN.xml").string();
}

std::string Plant() {
    return SourcePath("examples/audit").string();
}

// The sample plant's paths as every form writes them.
std::string Escaped(const std::string& file) {
    return EscapeField(Plant() + "/" + file);
}

TEST(CliAudit, ExactLinesForTheSamplePlant) {
    const auto r = CallCli({"audit", Catalog(), Plant()});
    EXPECT_EQ(r.status, kExitRefused);
    EXPECT_EQ(r.err, "");
    const std::string head = " Norvane\\x20Automation NV-DP\\x20200\\x20PROFIBUS\\x20head ";
    EXPECT_EQ(r.out,
              "unverified " + Escaped("cabinet-2/unverified.kfx") + head +
                  "F-DO\\x204x24VDC/2A N/A E8FDD825 parameter F_SIL not verified, and 7 more\n"
                  "ok " +
                  Escaped("ok.kfx") + head +
                  "F-AI\\x202x4..20mA C42956EF C42956EF \\0\n"
                  "stale " +
                  Escaped("stale.kfx") + head +
                  "F-DI\\x208x24VDC E06D755A E06D755A parameter F_WD_Time\\x20(ms) value 15000 "
                  "outside its limits 10 to 10000\n"
                  "unmatched " +
                  Escaped("unmatched.kfx") + head +
                  "\\0 299C144A \\0 The project file specifies an unknown module.\n"
                  "unreadable " +
                  Escaped("unreadable.kfx") +
                  " \\0 \\0 \\0 \\0 \\0 changed outside the program: the digest does not match\n"
                  "projects 5 ok 1 unverified 1 stale 1 unmatched 1 unreadable 1\n");
}

TEST(CliAudit, DecimalCsvAndJson) {
    const std::string plant = Plant();
    const auto csv = CallCli({"audit", Catalog(), plant + "/ok.kfx", plant + "/stale.kfx",
                              plant + "/unreadable.kfx", "--csv", "--dec"});
    EXPECT_EQ(csv.status, kExitRefused);
    EXPECT_EQ(csv.out,
              "status,path,manufacturer,device,module,crc,recomputed,detail\r\n"
              "ok," +
                  plant +
                  "/ok.kfx,Norvane Automation,NV-DP 200 PROFIBUS head,F-AI 2x4..20mA,"
                  "3291043567,3291043567,\r\n"
                  "stale," +
                  plant +
                  "/stale.kfx,Norvane Automation,NV-DP 200 PROFIBUS head,"
                  "F-DI 8x24VDC,3765269850,3765269850,parameter F_WD_Time (ms) value 15000 outside "
                  "its limits 10 to 10000\r\n"
                  "unreadable," +
                  plant +
                  "/unreadable.kfx,,,,,,changed outside the program: the "
                  "digest does not match\r\n");

    const auto json =
        CallCli({"audit", "--json", Catalog(), plant + "/unmatched.kfx", plant + "/ok.kfx"});
    EXPECT_EQ(json.status, kExitRefused);
    EXPECT_EQ(
        json.out,
        "{\"projects\": [\n"
        "  {\"status\": \"unmatched\", \"path\": \"" +
            plant +
            "/unmatched.kfx\", "
            "\"manufacturer\": \"Norvane Automation\", \"device\": \"NV-DP 200 PROFIBUS head\", "
            "\"module\": null, \"crc\": \"299C144A\", \"recomputed\": null, \"message\": 128, "
            "\"detail\": \"The project file specifies an unknown module.\"},\n"
            "  {\"status\": \"ok\", \"path\": \"" +
            plant +
            "/ok.kfx\", "
            "\"manufacturer\": \"Norvane Automation\", \"device\": \"NV-DP 200 PROFIBUS head\", "
            "\"module\": \"F-AI 2x4..20mA\", \"crc\": \"C42956EF\", \"recomputed\": "
            "\"C42956EF\", \"message\": null, \"detail\": \"\"}\n"
            "],\n"
            "\"summary\": {\"projects\": 2, \"ok\": 1, \"unverified\": 0, \"stale\": 0, "
            "\"unmatched\": 1, \"unreadable\": 0}}\n");
}

TEST(CliAudit, ExitZeroOnlyWhenEveryProjectIsOk) {
    const auto ok = CallCli({"audit", Catalog(), Plant() + "/ok.kfx",
                             SourcePath("examples/SampleProject.kfx").string()});
    EXPECT_EQ(ok.status, kExitOk);
    EXPECT_EQ(ok.out.substr(ok.out.rfind("projects")),
              "projects 2 ok 2 unverified 0 stale 0 unmatched 0 unreadable 0\n");
    TempDir dir;
    const auto none = CallCli({"audit", Catalog(), dir.path().string()});
    EXPECT_EQ(none.status, kExitOk);
    EXPECT_EQ(none.out, "projects 0 ok 0 unverified 0 stale 0 unmatched 0 unreadable 0\n");
    const auto emptyJson = CallCli({"audit", Catalog(), dir.path().string(), "--json"});
    EXPECT_EQ(emptyJson.out,
              "{\"projects\": [],\n\"summary\": {\"projects\": 0, \"ok\": 0, \"unverified\": 0, "
              "\"stale\": 0, \"unmatched\": 0, \"unreadable\": 0}}\n");
}

TEST(CliAudit, UsageAndCatalogsThatCannotBeUsed) {
    TempDir dir;
    const std::string notXml = WriteFile(dir.path() / "broken.xml", "<C></D>");
    const std::string empty = WriteFile(dir.path() / "empty.xml", "<C/>");
    struct Case {
        std::vector<std::string> args;
        const char* err;
    };
    const Case cases[] = {
        {{"audit"}, "audit takes a CATALOG"},
        {{"audit", Catalog()}, "audit takes a CATALOG"},
        {{"audit", Catalog(), Plant(), "--json", "--csv"}, "--json or --csv, not both"},
        {{"audit", Catalog(), Plant(), "--xml"}, "unknown option --xml"},
        {{"audit", (dir.path() / "missing.xml").string(), Plant()}, "cannot read"},
        {{"audit", notXml, Plant()}, "is no device catalog (it does not parse)"},
        {{"audit", empty, Plant()}, "is no device catalog (it holds no manufacturer)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto r = CallCli(c.args);
        EXPECT_EQ(r.status, kExitUsage);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
}

TEST(CliAudit, HelpNamesTheStatuses) {
    const auto r = CallCli({"help", "audit"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out.rfind("usage: safetycrc audit CATALOG PATH... [--dec] [--json|--csv]\n", 0),
              0u);
    for (const char* status : {"ok", "unverified", "stale", "unmatched", "unreadable"}) {
        EXPECT_NE(r.out.find(std::string("\n  ") + status + " "), std::string::npos) << status;
    }
}

}  // namespace
}  // namespace norvane::cli
