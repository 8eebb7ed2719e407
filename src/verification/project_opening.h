// A saved project taken back into a catalog without a window, as the window's Open takes it:
// read, matched, restored into a verification model, and its CRC computed again from the
// restored values, so that what was stored can be checked against what the values give.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "catalog/catalog.h"
#include "project/project_file.h"
#include "verification/verification_model.h"

namespace norvane {

// A project that was read but does not fit the catalog; `MessageId()` is the number of its
// failure text (125 to 129).
class ProjectMatchFailure : public std::exception {
  public:
    explicit ProjectMatchFailure(int id) : id_(id) {}
    int MessageId() const { return id_; }
    const char* what() const noexcept override { return "project does not match the catalog"; }

  private:
    int id_;
};

struct OpenedProject {
    explicit OpenedProject(CatalogData& catalog) : model(catalog) {}

    ProjectData project;      // as the file holds it
    VerificationModel model;  // the project as the window shows it once opened
    int crcMessage = 0;       // 158 when the file's valid CRC could not be kept
    // The CRC the restored values give, verified or not; none when no CRC may be given for
    // them (the image cannot be built, the routines disagree, the values do not read back).
    std::optional<uint32_t> recomputedCrc;
};

// Opens `project` into `opened.model` and fills in what it found. Raises ProjectMatchFailure.
void OpenProjectData(OpenedProject& opened, const ProjectData& project);

// Reads the project file at `path` and opens it into a model over `catalog`. Raises
// ProjectFileFailure and ProjectMatchFailure as the window's Open reports them.
OpenedProject OpenProject(CatalogData& catalog, const std::string& path);

// Why no verification record may be made of an opened project, as one English sentence; empty
// when one may: the CRC it shows is valid (so every item is verified and the values give it).
std::string ProjectRecordRefusal(const OpenedProject& opened);

}  // namespace norvane
