#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "report/self_test.h"
#include "support/cli_call.h"
#include "support/temp_dir.h"

namespace norvane::cli {
namespace {

using norvane::testing::CallCli;
using norvane::testing::ReadFile;
using norvane::testing::TempDir;

// The whole self-test, with its 10000 random images: what a user runs.
TEST(CliSelfTest, EveryCheckPassesOnThisMachine) {
    const auto r = CallCli({"selftest"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "pass crc-parameters-table\n"
              "pass crc-parameters-bitwise\n"
              "pass crc-check-value-table\n"
              "pass crc-check-value-bitwise\n"
              "pass crc-record\n"
              "pass crc-routines-agree\n"
              "pass image-read-back\n"
              "pass image-read-back-refuses\n"
              "pass xml-round-trip-SafetyConfiguratorEN.xml\n"
              "pass xml-round-trip-SafetyConfiguratorDE.xml\n"
              "pass project-file-round-trip\n"
              "pass md5-known-texts\n"
              "pass lint-SafetyConfiguratorEN.xml\n"
              "pass lint-SafetyConfiguratorDE.xml\n"
              "pass sample-project-SafetyConfiguratorEN.xml\n"
              "pass sample-project-SafetyConfiguratorDE.xml\n"
              "selftest 16 passed, 0 failed\n");
}

TEST(CliSelfTest, ReportPageNamesTheExecutableAndEveryCheck) {
    TempDir dir;
    const std::string page = (dir.path() / "selftest.html").string();
    const auto r = CallCli({"selftest", "--report", page});
    EXPECT_EQ(r.status, kExitOk);
    const std::string html = ReadFile(page);
    const SelfTestEnvironment here = CurrentSelfTestEnvironment(0, "");
    for (const std::string& part :
         {here.executableSha256, here.sourceRevision,
          std::string("none (safetycrc does not use Qt)"),
          std::string("<td>crc-routines-agree</td>"), std::string("16 passed, 0 failed")}) {
        EXPECT_NE(html.find(part), std::string::npos) << part;
    }
}

TEST(CliSelfTest, UsageAndAReportThatCannotBeWritten) {
    TempDir dir;
    struct Case {
        std::vector<std::string> args;
        const char* err;
        int status;
    };
    const Case cases[] = {
        {{"selftest", "--report"}, "--report needs a FILE", kExitUsage},
        {{"selftest", "--quick"}, "unknown option --quick", kExitUsage},
        {{"selftest", "extra"}, "selftest takes no FILE", kExitUsage},
        {{"selftest", "--report", (dir.path() / "no" / "such" / "folder.html").string()},
         "cannot write",
         kExitUsage},
    };
    for (const Case& c : cases) {
        const auto r = CallCli(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    const auto help = CallCli({"help", "selftest"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_EQ(help.out.rfind("usage: safetycrc selftest [--report FILE]\n", 0), 0u);
}

}  // namespace
}  // namespace norvane::cli
