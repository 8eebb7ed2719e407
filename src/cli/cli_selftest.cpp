// `safetycrc selftest`: the checks a user keeps as evidence of the tool's validation, run on
// this machine.
#include <ctime>
#include <optional>

#include "base/byte_text.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "report/self_test.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help selftest" adds.
constexpr std::string_view kUsage =
    "selftest [--report FILE]\n"
    "                 check the CRC routines, the parameter image, XML, MD5 and the bundled\n"
    "                 demo catalogs and sample project on this machine\n";
constexpr std::string_view kHelp =
    "\nOne line per check, \"pass NAME\" or \"fail NAME DETAIL\", then\n"
    "  selftest N passed, M failed\n"
    "The checks: the CRC's parameters (width 32, polynomial 0xF4ACFB13, initial value 0, no\n"
    "reflection, no final XOR) and its check value over \"123456789\" (6C9F84A8), for the table\n"
    "and the bit-wise routine; the CRC of a parameter record; both routines against each other\n"
    "on 10000 seeded random images of 0 to 65535 bytes; image and read-back for seeded random\n"
    "modules of both data formats and every type, and no CRC for values their fields cannot\n"
    "hold; the XML writer and parser round trip on the demo catalogs and on random project\n"
    "files; MD5 of the texts of RFC 1321; the demo catalogs built into the program without a\n"
    "lint finding, and the sample project ok in each.\n"
    "--report FILE also writes the results as an HTML page with the program version, the source\n"
    "revision, the SHA-256 of this executable, the operating system, user, computer and time,\n"
    "to file with the verification records. Exit status 0 when every check passed, 1 when one\n"
    "failed, 2 for a usage error or a report that cannot be written.\n";

constexpr Option kSelfTestOptions[] = {{"--report", "FILE"}};

int SelfTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> report;
    const auto take = [&](std::string_view, const std::string& value) {
        report = value;
        return std::string();
    };
    if (!ReadArguments(args, kSelfTestOptions, take, err, 0,
                       "selftest takes no FILE but after --report")) {
        return kExitUsage;
    }
    const std::vector<SelfTestCheck> checks = RunSelfTest(DefaultSelfTestSetup());
    std::string lines;
    for (const SelfTestCheck& check : checks) {
        lines += check.passed ? "pass " + EscapeField(check.name)
                              : "fail " + EscapeField(check.name) + ' ' + check.detail;
        lines += '\n';
    }
    const size_t failed = FailedChecks(checks);
    lines += "selftest " + std::to_string(checks.size() - failed) + " passed, " +
             std::to_string(failed) + " failed\n";
    out << lines;
    if (report) {
        // safetycrc itself links no Qt; the window's own page names the Qt it runs on.
        const std::string html = MakeSelfTestHtml(
            CurrentSelfTestEnvironment(std::time(nullptr), "none (safetycrc does not use Qt)"),
            checks);
        if (const int status = WriteOutputFile(html, *report, err); status != kExitOk) {
            return status;
        }
    }
    return failed == 0 ? kExitOk : kExitRefused;
}

}  // namespace

constinit const Command kSelfTestCommand = {"selftest", kUsage, kHelp, SelfTest};

}  // namespace norvane::cli
