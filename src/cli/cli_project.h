// `safetycrc project`: a project file read and matched against a catalog as the window opens
// it, with what the window would then show.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace norvane::cli {

int Project(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
