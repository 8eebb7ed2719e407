// The program's name and version, as the build names them (the project's version in CMake).
// The window's caption, the About box and the verification record all show these.
#pragma once

#include <string_view>

#include "base/version_number.h"  // kProgramVersion, made by the build

namespace norvane {

inline constexpr std::string_view kProgramName = "Norvane Safety Configurator";

}  // namespace norvane
