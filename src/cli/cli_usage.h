// The commands of safetycrc and its usage page. Each command lives in a file of its own
// (cli_NAME.cpp; crc's steps in cli_crc_*.cpp) with its arguments, its help and what it does,
// and defines its entry here; the usage lists them in the order of Commands().
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

struct Command {
    std::string_view name;
    std::string_view usage;  // the arguments and what the command does, as the usage lists it
    std::string_view help;   // more about it, for "safetycrc help COMMAND"; may be empty
    // Takes the arguments from the command's own name on; returns the exit status.
    int (*run)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
};

extern const Command kTreeCommand, kXmlCommand, kMd5Command, kCatalogCommand, kCrcCommand,
    kTpfCommand, kLintCommand, kProjectCommand, kRecordCommand, kAuditCommand, kDiffCommand,
    kSelfTestCommand;

// Every command, in the order the usage lists them.
std::span<const Command* const> Commands();
// The usage: every command with its arguments, and the exit statuses.
void WriteUsage(std::ostream& out);
// Writes the problem and the usage to `err`; returns kExitUsage.
int Usage(std::ostream& err, std::string_view problem);

}  // namespace norvane::cli
