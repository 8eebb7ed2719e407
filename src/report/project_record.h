// The verification record of a saved project. A record states a CRC as verified, so it is made
// only for a project that the window would show with every item verified and a valid CRC, and
// only when that CRC is the one its values give.
#pragma once

#include <ctime>
#include <string>

#include "catalog/catalog.h"
#include "project/project_open.h"
#include "report/verification_record.h"

namespace norvane {

// Why no record may be made of a project opened with OpenProject into `catalog`, as one
// English sentence; empty when a record may be made.
std::string ProjectRecordRefusal(const OpenedProject& opened, const CatalogData& catalog);

// The record of an opened project: the environment at `now`, edit mode with `projectPath`,
// the catalog (its file name and the digest of the loaded text), the project's selection with
// its description and bus address, the restored values and the stored CRC.
VerificationRecord MakeProjectRecord(const OpenedProject& opened, const CatalogData& catalog,
                                     const std::string& catalogPath, const std::string& projectPath,
                                     std::time_t now);

}  // namespace norvane
