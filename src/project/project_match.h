// Taking a read project back into the catalog: manufacturer, device and module are found by
// their identifiers, parameters by their bit offsets. The window runs these steps through its
// selection lists; safetycrc runs them through MatchProject. Both end with the same failure
// texts (messages 125 to 129).
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "catalog/catalog.h"
#include "project/project_file.h"

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

// The first record with a list entry (a name) whose identifier equals `id` exactly. The lists
// select a record by its name, which finds the first record of that name; a record hidden
// behind an earlier one of the same name cannot be selected, so it gives null as well.
template <class Record>
const Record* FindSelectableById(const std::vector<Record>& list, std::string_view id) {
    for (const Record& record : list) {
        if (!record.name.empty() && record.identNumber == id) {
            return FindByName(list, record.name) == &record ? &record : nullptr;
        }
    }
    return nullptr;
}

// The description as the window keeps it: at most 79 bytes, cut before a character whose
// UTF-8 bytes would not fit whole.
std::string ProjectDescription(std::string_view description);

// Gives every catalog parameter, in list order, the value and verified mark of the first
// project parameter at the same bit offset. False when a catalog parameter has none (the
// parameters before it are already set) or when there is no parameter at all. Project
// parameters that match nothing are ignored, and bit lengths are not compared.
bool RestoreParameters(std::vector<CatalogParameter>& parameterList, const ProjectData& project);

// What MatchProject found: the selected records (pointing into the catalog's lists).
struct ProjectMatch {
    const CatalogManufacturer* manufacturer = nullptr;
    const CatalogDevice* device = nullptr;
    const CatalogModule* module = nullptr;
};

// Selects the project's manufacturer, device and module in `catalog` (loading each level as
// the window's lists do) and restores the parameters. Raises ProjectMatchFailure.
ProjectMatch MatchProject(CatalogData& catalog, const ProjectData& project);

}  // namespace norvane
