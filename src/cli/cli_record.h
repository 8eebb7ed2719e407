// `safetycrc record`: the verification record of a saved project, as one HTML page.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

inline constexpr std::string_view kRecordUsage =
    "record KFX CATALOG [-o FILE] [--lang en|de]\n"
    "                 write the verification record of a verified project file as HTML\n";

inline constexpr std::string_view kRecordHelp =
    "\nThe project is read and matched against CATALOG as \"safetycrc project\" does, with the\n"
    "same error lines. A record is made only when the project holds a valid CRC, every item is\n"
    "verified and the stored CRC is the one its values give; otherwise one line\n"
    "\"error record TEXT\" and exit status 1. The page goes to standard output, or replaces FILE\n"
    "with -o. --lang de writes it in German (default: English).\n";

int Record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
