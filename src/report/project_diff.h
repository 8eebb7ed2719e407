// What differs between two projects as the window shows them once opened against one catalog:
// the selection, description, bus address, every parameter's value and mark, and the CRC. It
// tells an engineer what must be verified again after a change.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "verification/project_opening.h"

namespace norvane {

struct ProjectDifference {
    // "manufacturer", "device", "module", "description", "busAddress", "parameter", "crc".
    std::string field;
    std::string parameter;  // for "parameter": its name
    // "name", "ident", "accepted", "value"; empty for description and crc.
    std::string attribute;
    // As the window shows them (numbers of an Int signed, a mark 1 or 0, the CRC in hexadecimal
    // or N/A); none on the side that lacks the parameter.
    std::optional<std::string> before;
    std::optional<std::string> after;
};

// Parameters are paired by name (the n-th of a name with the n-th), in the second project's
// order, then those only the first has.
std::vector<ProjectDifference> DiffProjects(const OpenedProject& before,
                                            const OpenedProject& after);

}  // namespace norvane
