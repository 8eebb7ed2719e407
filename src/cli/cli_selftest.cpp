#include "cli/cli_selftest.h"

#include <ctime>
#include <optional>

#include "base/whole_file.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/field_escape.h"
#include "report/self_test.h"

namespace norvane::cli {

int SelfTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> report;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--report") {
            if (i + 1 >= args.size()) {
                return Usage(err, "--report needs a FILE");
            }
            report = args[++i];
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(err, "unknown option " + args[i]);
        } else {
            return Usage(err, "selftest takes no FILE but after --report");
        }
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
        try {
            WriteWholeFile(html, *report);
        } catch (const FileError&) {
            err << "safetycrc: cannot write " << *report << '\n';
            return kExitUsage;
        }
    }
    return failed == 0 ? kExitOk : kExitRefused;
}

}  // namespace norvane::cli
