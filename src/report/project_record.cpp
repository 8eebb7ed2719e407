#include "report/project_record.h"

namespace norvane {

VerificationRecord MakeProjectRecord(const OpenedProject& opened, const std::string& catalogPath,
                                     const std::string& projectPath, std::time_t now) {
    VerificationRecord record;
    FillRecordEnvironment(record, now);
    record.projectPath = projectPath;
    const VerificationModel& model = opened.model;
    FillRecordCatalog(record, catalogPath, model.Catalog().catalogText);
    FillRecordModule(record, model, kOverviewInvalidText);
    record.crc = model.Crc().value;
    return record;
}

}  // namespace norvane
