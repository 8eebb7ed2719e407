// The source revision the program was built from, for the reports that a user files as
// evidence of what ran: the commit, "-dirty" added when the tree held changes that were not
// committed, or "unknown" for a build outside a git checkout.
#pragma once

#include <string_view>

namespace norvane {

std::string_view SourceRevision();

}  // namespace norvane
