// The program's version, as the build names it (the project's version in CMake).
#pragma once

#include <string_view>

namespace norvane {

inline constexpr std::string_view kProgramVersion = NORVANE_VERSION;

}  // namespace norvane
