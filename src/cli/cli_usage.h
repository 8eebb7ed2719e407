// The usage page of safetycrc: every command with its arguments and its help, in the order
// the usage lists them, and the usage error. The commands themselves live in a file each
// (cli_NAME.cpp; crc in cli_crc*.cpp).
#pragma once

#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

// A command: takes the arguments from its own name on and returns the exit status.
using CommandFunction = int(const std::vector<std::string>& args, std::ostream& out,
                            std::ostream& err);
CommandFunction RunTree, RunXml, RunMd5, RunCatalog, RunCrc, RunTpf, RunLint, RunProject, RunRecord,
    RunAudit, RunDiff, RunSelfTest;

struct Command {
    std::string_view name;
    std::string_view usage;  // the arguments and what the command does, as the usage lists it
    std::string_view help;   // more about it, for "safetycrc help COMMAND"; may be empty
    CommandFunction* run;
};

// Every command, in the order the usage lists them.
std::span<const Command> Commands();
// The usage: every command with its arguments, and the exit statuses.
void WriteUsage(std::ostream& out);
// Writes the problem and the usage to `err`; returns kExitUsage.
int Usage(std::ostream& err, std::string_view problem);

}  // namespace norvane::cli
