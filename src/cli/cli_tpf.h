// `safetycrc tpf`: the reading part of a call by an engineering system, without the window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace norvane::cli {

// safetycrc tpf TPF CATALOG [--dec]
int Tpf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
