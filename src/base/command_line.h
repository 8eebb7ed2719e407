// Taking the program's command line apart: arguments beginning with "-" are switches, which
// count but have no effect; the first other argument names the file to open. An argument
// beginning with "/" is an absolute path here, never a switch.
#pragma once

#include <string>
#include <vector>

namespace norvane {

struct CommandLineInfo {
    std::string fileName;  // first argument after the program that is not a switch; may be empty
    int count = 0;         // every argument, the program itself included
};

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace norvane
