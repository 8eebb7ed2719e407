// A saved project taken back into a catalog without a window: read, matched and its CRC
// computed again from the restored values, so that what was stored can be checked against
// what the values give.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "project/project_file.h"
#include "project/project_match.h"

namespace norvane {

struct OpenedProject {
    ProjectData project;
    ProjectMatch match;  // points into the catalog's lists
    // The CRC that Calc-CRC would show for the restored values; none when no CRC may be shown
    // for them (the image cannot be built, or the two CRC routines disagree).
    std::optional<uint32_t> recomputedCrc;
};

// Reads the project file at `path`, matches it against `catalog` (whose lists then hold the
// project's selection and restored values) and recomputes its CRC. Raises ProjectFileFailure
// and ProjectMatchFailure as the window's Open reports them.
OpenedProject OpenProject(CatalogData& catalog, const std::string& path);

// Whether every item the window asks to be accepted is accepted in the project: manufacturer,
// device, module, the bus address where `device` uses one, and every parameter of
// `parameterList` (restored from the project).
bool ProjectAllVerified(const ProjectData& project, const CatalogDevice& device,
                        const std::vector<CatalogParameter>& parameterList);

}  // namespace norvane
