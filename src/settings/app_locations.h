// Where the program lives: its folder (ending with '/'), from which catalogs, language packs
// and help files are found, and its base name, which captions its message boxes and names its
// help files.
#pragma once

#include <string>

namespace norvane {

struct AppLocations {
    std::string programDir;   // ends with '/'
    std::string exeBaseName;  // file name without folder and extension
};

// Worked out from /proc/self/exe on first use.
const AppLocations& Locations();
// Replaces the locations, for tests that lay out a program folder of their own.
void SetLocations(AppLocations locations);

// Splits an executable path into its folder (with trailing '/') and base name.
AppLocations LocationsOf(const std::string& executablePath);

}  // namespace norvane
