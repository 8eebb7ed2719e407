#include "base/command_line.h"

namespace norvane {

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineInfo info;
    info.count = static_cast<int>(arguments.size());
    for (size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i].empty() || arguments[i][0] != '-') {
            info.fileName = arguments[i];
            break;
        }
    }
    return info;
}

}  // namespace norvane
