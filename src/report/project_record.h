// The verification record of a saved project. A record states a CRC as verified, so it is made
// only for a project that the window would show with every item verified and a valid CRC
// (ProjectRecordRefusal).
#pragma once

#include <ctime>
#include <string>

#include "catalog/catalog.h"
#include "report/verification_record.h"
#include "verification/project_opening.h"

namespace norvane {

// The record of an opened project: the environment at `now`, edit mode with `projectPath`,
// the catalog (its file name and the digest of the loaded text), the project's selection with
// its description and bus address, the restored values and the CRC they give.
VerificationRecord MakeProjectRecord(const OpenedProject& opened, const std::string& catalogPath,
                                     const std::string& projectPath, std::time_t now);

}  // namespace norvane
