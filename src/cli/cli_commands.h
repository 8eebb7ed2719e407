// The commands of `safetycrc`, the command-line companion of the window. They call the same
// core code as the window does and print fixed formats that scripts rely on.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace norvane::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitRefused = 1,  // the input was read but refused; the reason is on standard output
    kExitUsage = 2,    // wrong arguments or an unreadable file; the reason is on standard error
};

// Runs one command; `args` are the arguments after the program name.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
