#include "project/project_open.h"

#include "safety/param_stream.h"

namespace norvane {

OpenedProject OpenProject(CatalogData& catalog, const std::string& path) {
    OpenedProject opened;
    opened.project = ReadProjectFile(path);
    opened.match = MatchProject(catalog, opened.project);
    try {
        opened.recomputedCrc =
            ParameterImageCrc(opened.match.device->dataFormat, opened.match.module->lenUserParam,
                              catalog.parameterList);
    } catch (const ParamStreamError&) {
        opened.recomputedCrc.reset();
    }
    return opened;
}

bool ProjectAllVerified(const ProjectData& project, const CatalogDevice& device,
                        const std::vector<CatalogParameter>& parameterList) {
    if (!project.manufacturerAccepted || !project.deviceAccepted || !project.moduleAccepted) {
        return false;
    }
    if (device.enableBusAddress != 0 && !project.busAddressAccepted) {
        return false;
    }
    for (const CatalogParameter& parameter : parameterList) {
        if (parameter.verified == 0) {
            return false;
        }
    }
    return true;
}

}  // namespace norvane
