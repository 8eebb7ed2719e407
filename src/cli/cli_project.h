// `safetycrc project`: a project file read and matched against a catalog as the window opens
// it, with what the window would then show.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <optional>
#include "catalog/catalog.h"

#include "verification/project_opening.h"

namespace norvane::cli {

// A project that could not be opened: one line "error ID TEXT" with the message the window
// shows for it; returns kExitRefused.
int RefusedByMessage(std::ostream& out, int id);

// Reads the catalog file and the project file and opens them as the window does, for every
// command that works on a saved project. kExitOk with `catalog` and `opened` filled; otherwise
// the exit status, the reason already written (usage error, unreadable catalog, error line).
int OpenProjectWithCatalog(const std::string& projectPath, const std::string& catalogPath,
                           CatalogData& catalog, std::optional<OpenedProject>& opened,
                           std::ostream& out, std::ostream& err);

int Project(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace norvane::cli
