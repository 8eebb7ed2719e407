// The dispatch: help, version, and the command named first. The commands themselves live in
// a file each (cli_usage.h).
#include "cli/cli_commands.h"

#include "base/program_version.h"
#include "cli/cli_usage.h"

namespace norvane::cli {

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "no command given");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        if (command == "help" && args.size() > 1) {
            for (const Command* entry : Commands()) {
                if (entry->name == args[1]) {
                    out << "usage: safetycrc " << entry->usage << entry->help;
                    return kExitOk;
                }
            }
            return Usage(err, "unknown command \"" + args[1] + "\"");
        }
        WriteUsage(out);
        return kExitOk;
    }
    if (command == "--version" || command == "-V") {
        out << "safetycrc " << kProgramVersion << '\n';
        return kExitOk;
    }
    for (const Command* entry : Commands()) {
        if (entry->name == command) {
            return entry->run(args, out, err);
        }
    }
    return Usage(err, "unknown command \"" + command + "\"");
}

}  // namespace norvane::cli
