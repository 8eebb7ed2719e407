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

constexpr Option kSelfTestOptions[] = {{"--report", "FILE"}};

}  // namespace

int RunSelfTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace norvane::cli
