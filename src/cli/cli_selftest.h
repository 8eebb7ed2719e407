// `safetycrc selftest`: the checks a user keeps as evidence of the tool's validation, run on
// this machine.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

inline constexpr std::string_view kSelfTestUsage =
    "selftest [--report FILE]\n"
    "                 check the CRC routines, the parameter image, XML, MD5 and the bundled\n"
    "                 demo catalogs and sample project on this machine\n";

inline constexpr std::string_view kSelfTestHelp =
    "\nOne line per check, \"pass NAME\" or \"fail NAME DETAIL\", then\n"
    "  selftest N passed, M failed\n"
    "The checks: the CRC's parameters (width 32, polynomial 0xF4ACFB13, initial value 0, no\n"
    "reflection, no final XOR) and its check value over \"123456789\" (6C9F84A8), for the table\n"
    "and the bit-wise routine; the CRC of a parameter record; both routines against each other\n"
    "on 10000 seeded random images of 0 to 65535 bytes; image and read-back for seeded random\n"
    "modules of both data formats and every type, and no CRC for values their fields cannot\n"
    "hold; the XML writer and parser round trip on the demo catalogs and on random project\n"
    "files; MD5 of the texts of RFC 1321; the demo catalogs built into the program without a\n"
    "lint finding, and the sample project ok in each.\n"
    "--report FILE also writes the results as an HTML page with the program version, the source\n"
    "revision, the SHA-256 of this executable, the operating system, user, computer and time,\n"
    "to file with the verification records. Exit status 0 when every check passed, 1 when one\n"
    "failed, 2 for a usage error or a report that cannot be written.\n";

int SelfTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
