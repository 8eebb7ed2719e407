#include "verification/project_opening.h"

#include "safety/parameter_values.h"

namespace norvane {

void OpenProjectData(OpenedProject& opened, const ProjectData& project) {
    opened.project = project;
    const OpenResult result = opened.model.Open(project);
    if (result.failure != 0) {
        throw ProjectMatchFailure(result.failure);
    }
    opened.crcMessage = result.crcMessage;
    opened.recomputedCrc = opened.model.CurrentSafetyCrc();
}

OpenedProject OpenProject(CatalogData& catalog, const std::string& path) {
    OpenedProject opened(catalog);
    OpenProjectData(opened, ReadProjectFile(path));
    return opened;
}

std::string ProjectRecordRefusal(const OpenedProject& opened) {
    const ProjectData& project = opened.project;
    if (!project.crcValid) {
        return "the project holds no valid CRC";
    }
    if (!opened.model.AllVerified()) {
        return "not every item of the project is verified";
    }
    if (!opened.recomputedCrc) {
        return "no CRC can be computed from the project's values";
    }
    if (*opened.recomputedCrc != project.crc) {
        return "the stored CRC " + FormatCrc(true, project.crc, 0) +
               " is not the CRC of the project's values, " +
               FormatCrc(true, *opened.recomputedCrc, 0);
    }
    // Whatever else kept the stored CRC from being shown.
    return opened.model.Crc().valid ? std::string() : "the project's CRC cannot be shown";
}

}  // namespace norvane
