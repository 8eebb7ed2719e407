// `safetycrc project`: a project file read and matched against a catalog as the window opens
// it, with what the window would then show.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace norvane::cli {

// A project that could not be opened: one line "error ID TEXT" with the message the window
// shows for it; returns kExitRefused.
int RefusedByMessage(std::ostream& out, int id);

int Project(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
