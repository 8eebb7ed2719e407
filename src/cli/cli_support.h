// What every command of safetycrc shares: the usage message, and reading an input file.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace norvane::cli {

// Writes the problem and the usage to `err`; returns kExitUsage.
int Usage(std::ostream& err, std::string_view problem);
// Says that `path` cannot be read; returns kExitUsage.
int Unreadable(std::ostream& err, const std::string& path);
// The whole file, or nothing when it cannot be read (missing, unreadable, empty, too large).
std::optional<std::string> ReadInput(const std::string& path);

}  // namespace norvane::cli
