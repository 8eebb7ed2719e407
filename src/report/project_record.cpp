#include "report/project_record.h"

#include "project/project_match.h"
#include "safety/parameter_values.h"

namespace norvane {

std::string ProjectRecordRefusal(const OpenedProject& opened, const CatalogData& catalog) {
    const ProjectData& project = opened.project;
    if (!project.crcValid) {
        return "the project holds no valid CRC";
    }
    if (!ProjectAllVerified(project, *opened.match.device, catalog.parameterList)) {
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
    return {};
}

VerificationRecord MakeProjectRecord(const OpenedProject& opened, const CatalogData& catalog,
                                     const std::string& catalogPath, const std::string& projectPath,
                                     std::time_t now) {
    VerificationRecord record;
    FillRecordEnvironment(record, now);
    record.projectPath = projectPath;
    FillRecordCatalog(record, catalogPath, catalog.catalogText);
    // The device as the window shows it after opening the project: its own description and
    // bus address come from the project.
    CatalogDevice device = *opened.match.device;
    device.description = ProjectDescription(opened.project.description);
    device.busAddress = opened.project.busAddress;
    FillRecordModule(record, *opened.match.manufacturer, device, *opened.match.module,
                     catalog.parameterList, kOverviewInvalidText);
    record.manufacturerVerified = opened.project.manufacturerAccepted;
    record.deviceVerified = opened.project.deviceAccepted;
    record.busAddressVerified = opened.project.busAddressAccepted;
    record.moduleVerified = opened.project.moduleAccepted;
    record.crc = opened.project.crc;
    return record;
}

}  // namespace norvane
