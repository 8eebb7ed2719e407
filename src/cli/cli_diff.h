// `safetycrc diff`: what changed between two catalog versions, or between two project files.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace norvane::cli {

inline constexpr std::string_view kDiffUsage =
    "diff OLD NEW [--json] | diff A.kfx B.kfx CATALOG [--json]\n"
    "                 what changed between two catalogs (module by module), or between two\n"
    "                 project files opened against one catalog\n";

inline constexpr std::string_view kDiffHelp =
    "\nTwo catalogs: modules are matched by manufacturer, device and module identNumber. In\n"
    "NEW's order, then the removed ones in OLD's order:\n"
    "  added MANUFACTURER DEVICE MODULE\n"
    "  removed MANUFACTURER DEVICE MODULE\n"
    "  changed MANUFACTURER DEVICE MODULE\n"
    "followed, for a changed module, by one line per difference:\n"
    "    parameter NAME ATTRIBUTE OLD NEW     type, paramView, defaultValue, min, max,\n"
    "                                         bitOffset, bitLength\n"
    "    parameter NAME added | removed\n"
    "    parameter NAME item VALUE valueText OLD NEW\n"
    "    parameter NAME item VALUE added | removed\n"
    "    module ATTRIBUTE OLD NEW             lenModulParam, lenUserParam\n"
    "    device ATTRIBUTE OLD NEW             dataFormat\n"
    "    default-crc OLD NEW                  the CRC of the default values (\"error\": none)\n"
    "Parameters are matched by name, items by valueItem; records without a name take no part.\n"
    "The last line: modules N added A removed R changed C unchanged U.\n"
    "\nTwo project files and a catalog: both are opened as the window opens them; one line per\n"
    "difference, FIELD OLD NEW, where FIELD is manufacturer, device or module with name, ident\n"
    "or accepted; description; busAddress value or accepted; parameter NAME value or accepted;\n"
    "crc (as the window shows it, N/A when not valid). Parameters are matched by name; a side\n"
    "without the parameter shows \\0. The last line: differences N. A project that cannot be\n"
    "opened prints \"error PATH ID TEXT\".\n"
    "\n--json prints the same as one JSON object. Exit status 0 when nothing differs, 1 when\n"
    "something does (or a project cannot be opened), 2 for a usage error or a catalog that\n"
    "cannot be read or parsed.\n";

int Diff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
