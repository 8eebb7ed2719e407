// What every command of safetycrc shares: the usage message, and reading an input file.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

// Writes the problem and the usage to `err`; returns kExitUsage.
int Usage(std::ostream& err, std::string_view problem);
// Says that `path` cannot be read; returns kExitUsage.
int Unreadable(std::ostream& err, const std::string& path);
// The whole file, or nothing when it cannot be read (missing, unreadable, empty, too large).
std::optional<std::string> ReadInput(const std::string& path);

// The arguments after the command name for commands that take files and --dec: the files in
// order, and whether --dec was given. Nothing when another option is given (`problem` says so).
struct FilesAndFormat {
    std::vector<std::string> files;
    bool decimal = false;
};
std::optional<FilesAndFormat> ReadFilesAndFormat(const std::vector<std::string>& args,
                                                 std::string& problem);

}  // namespace norvane::cli
