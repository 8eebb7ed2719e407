#include "cli/cli_usage.h"

#include "cli/cli_commands.h"

namespace norvane::cli {

namespace {

// Each command's file defines its entry (constinit, so it is ready before any code runs).
constexpr const Command* kCommands[] = {
    &kTreeCommand,   &kXmlCommand,   &kMd5Command,  &kCatalogCommand,
    &kCrcCommand,    &kTpfCommand,   &kLintCommand, &kProjectCommand,
    &kRecordCommand, &kAuditCommand, &kDiffCommand, &kSelfTestCommand,
};

}  // namespace

std::span<const Command* const> Commands() {
    return kCommands;
}

void WriteUsage(std::ostream& out) {
    out << "usage: safetycrc COMMAND ARGS...\n\ncommands:\n";
    for (const Command* command : kCommands) {
        out << "  " << command->usage;
    }
    out << "\n"
           "exit status: 0 success, 1 input refused (reason on standard output),\n"
           "             2 usage error or unreadable file (reason on standard error)\n";
}

int Usage(std::ostream& err, std::string_view problem) {
    err << "safetycrc: " << problem << "\n\n";
    WriteUsage(err);
    return kExitUsage;
}

}  // namespace norvane::cli
