// Runs a safetycrc command in-process and keeps what it wrote, for the command-line tests.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

namespace norvane::testing {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

inline CliResult CallCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = norvane::cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace norvane::testing
