#include "report/audit.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/messages.h"
#include "project/project_file.h"
#include "safety/parameter_values.h"
#include "verification/project_opening.h"

namespace norvane {

namespace {

namespace fs = std::filesystem;

void Say(std::vector<AuditWord>& detail, std::string text) {
    detail.push_back({std::move(text), false});
}

void Name(std::vector<AuditWord>& detail, std::string name) {
    detail.push_back({std::move(name), true});
}

// The item as a reader of the audit knows it: its line in the parameter tree.
void Item(std::vector<AuditWord>& detail, const VerificationModel& model, WalkItem item) {
    switch (item.kind) {
        case ItemKind::Vendor:
            Say(detail, "manufacturer");
            return;
        case ItemKind::Device:
            Say(detail, "device");
            return;
        case ItemKind::BusAddress:
            Say(detail, "bus address");
            return;
        case ItemKind::Module:
            Say(detail, "module");
            return;
        case ItemKind::Parameter:
            Say(detail, "parameter");
            Name(detail, model.Parameters()[item.parameter].name);
            return;
        case ItemKind::None:
            break;
    }
    Say(detail, "item");
}

void AndMore(std::vector<AuditWord>& detail, size_t more) {
    if (more > 0) {
        detail.back().text += ',';
        Say(detail, "and " + std::to_string(more) + " more");
    }
}

// Why a value marked verified in the file lost its mark: the fault the model's own check finds.
std::vector<AuditWord> DroppedMark(const VerificationModel& model, WalkItem item) {
    std::vector<AuditWord> detail;
    Item(detail, model, item);
    if (item.kind == ItemKind::BusAddress) {
        const CatalogDevice& device = model.SelectedDevice();
        Say(detail, std::to_string(device.busAddress) + " outside its limits " +
                        std::to_string(device.minAddr) + " to " + std::to_string(device.maxAddr));
        return detail;
    }
    const CatalogParameter& parameter = model.Parameters()[item.parameter];
    const std::string value = "value " + ParameterNumber(parameter.type, parameter.value);
    switch (CheckParameterValue(parameter, parameter.value, model.EnumItems(item.parameter))) {
        case ValueFault::OutsideLimits:
            Say(detail, value + " outside its limits " +
                            ParameterNumber(parameter.type, parameter.min) + " to " +
                            ParameterNumber(parameter.type, parameter.max));
            break;
        case ValueFault::NotAnItem:
            Say(detail, value + " is no item of its enumeration");
            break;
        case ValueFault::NotHeld:
            Say(detail,
                value + " does not fit its " + std::to_string(parameter.bitLength) + "-bit field");
            break;
        case ValueFault::None:
            Say(detail, value + " can no longer be verified");
            break;
    }
    return detail;
}

std::string ProblemText(ProjectFileProblem problem) {
    switch (problem) {
        case ProjectFileProblem::Unreadable:
            return "the file could not be read";
        case ProjectFileProblem::NotAProject:
            return "not a project file";
        case ProjectFileProblem::Changed:
            return "changed outside the program: the digest does not match";
        case ProjectFileProblem::NotWritten:
            break;
    }
    return "the file could not be read";
}

// How far matching got before the project was refused: the records named by the failure's
// predecessors were found.
void MatchedNames(AuditEntry& entry, const VerificationModel& model, int failure) {
    const int found = failure == kMsgUnknownDevice      ? 1
                      : failure == kMsgUnknownModule    ? 2
                      : failure == kMsgUnknownParameter ? 3
                                                        : 0;
    if (found >= 1) {
        entry.manufacturer = model.SelectedManufacturer().name;
    }
    if (found >= 2) {
        entry.device = model.SelectedDevice().name;
    }
    if (found >= 3) {
        entry.module = model.SelectedModule().name;
    }
}

void Classify(AuditEntry& entry, const OpenedProject& opened) {
    const VerificationModel& model = opened.model;
    if (model.Crc().valid) {
        entry.status = AuditStatus::Ok;
        return;
    }
    entry.message = opened.crcMessage;
    if (!opened.droppedMarks.empty()) {
        entry.status = AuditStatus::Stale;
        entry.detail = DroppedMark(model, opened.droppedMarks.front());
        AndMore(entry.detail, opened.droppedMarks.size() - 1);
        return;
    }
    // A CRC marked valid that its values do not give, verified or not.
    if (opened.project.crcValid && opened.recomputedCrc != opened.project.crc) {
        entry.status = AuditStatus::Stale;
        int refusal = 0;
        if (!model.CurrentSafetyCrc(&refusal)) {
            Say(entry.detail, std::string(BuiltInMessage(refusal)));
        } else {
            Say(entry.detail, "the stored CRC is not the CRC of its values");
        }
        return;
    }
    entry.status = AuditStatus::Unverified;
    const std::vector<WalkItem> unverified = model.UnverifiedItems();
    if (unverified.empty()) {
        Say(entry.detail, "every item verified, but the stored CRC is not marked valid");
        return;
    }
    Item(entry.detail, model, unverified.front());
    Say(entry.detail, "not verified");
    AndMore(entry.detail, unverified.size() - 1);
}

void Walk(const fs::path& folder, std::vector<AuditTarget>& found) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::directory_entry& entry = *it;
        std::error_code ignored;
        if (entry.is_directory(ignored)) {
            // A link to a folder is not followed: it may lead back up, or out of the plant.
            if (!entry.is_symlink(ignored)) {
                Walk(entry.path(), found);
            }
            continue;
        }
        const std::string name = entry.path().filename().string();
        if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".kfx") == 0) {
            found.push_back({entry.path().string(), false});
        }
    }
    if (error) {
        found.push_back({folder.string(), true});
    }
}

}  // namespace

std::string_view AuditStatusName(AuditStatus status) {
    switch (status) {
        case AuditStatus::Ok:
            return "ok";
        case AuditStatus::Unverified:
            return "unverified";
        case AuditStatus::Stale:
            return "stale";
        case AuditStatus::Unmatched:
            return "unmatched";
        case AuditStatus::Unreadable:
            break;
    }
    return "unreadable";
}

namespace {

template <class Read>
AuditEntry Audit(CatalogData& catalog, const std::string& path, Read read) {
    AuditEntry entry;
    entry.path = path;
    ProjectData project;
    try {
        project = read();
    } catch (const ProjectFileFailure& failure) {
        entry.status = AuditStatus::Unreadable;
        entry.message = kMsgProjectOpenFailed;
        Say(entry.detail, ProblemText(failure.Problem()));
        return entry;
    }
    entry.fileRead = true;
    entry.storedCrcValid = project.crcValid;
    entry.storedCrc = project.crc;

    OpenedProject opened(catalog);
    try {
        OpenProjectData(opened, project);
    } catch (const ProjectMatchFailure& failure) {
        entry.status = AuditStatus::Unmatched;
        entry.message = failure.MessageId();
        MatchedNames(entry, opened.model, failure.MessageId());
        Say(entry.detail, std::string(BuiltInMessage(failure.MessageId())));
        return entry;
    }
    entry.opened = true;
    entry.manufacturer = opened.model.SelectedManufacturer().name;
    entry.device = opened.model.SelectedDevice().name;
    entry.module = opened.model.SelectedModule().name;
    entry.recomputed = opened.recomputedCrc;
    Classify(entry, opened);
    return entry;
}

}  // namespace

AuditEntry AuditProject(CatalogData& catalog, const std::string& path) {
    return Audit(catalog, path, [&] { return ReadProjectFile(path); });
}

AuditEntry AuditProjectText(CatalogData& catalog, const std::string& path, std::string_view text) {
    return Audit(catalog, path, [&] { return ReadProjectText(text); });
}

std::vector<AuditTarget> AuditTargets(const std::vector<std::string>& paths) {
    std::vector<AuditTarget> targets;
    for (const std::string& path : paths) {
        std::error_code error;
        // A folder named is walked even when the name is a link to it: the user chose it.
        if (!fs::is_directory(path, error)) {
            targets.push_back({path, false});
            continue;
        }
        std::vector<AuditTarget> found;
        Walk(path, found);
        std::sort(found.begin(), found.end(),
                  [](const AuditTarget& a, const AuditTarget& b) { return a.path < b.path; });
        targets.insert(targets.end(), found.begin(), found.end());
    }
    return targets;
}

std::vector<AuditEntry> AuditAll(CatalogData& catalog, const std::vector<AuditTarget>& targets) {
    std::vector<AuditEntry> entries;
    entries.reserve(targets.size());
    for (const AuditTarget& target : targets) {
        if (target.unlistedFolder) {
            AuditEntry entry;
            entry.path = target.path;
            entry.status = AuditStatus::Unreadable;
            Say(entry.detail, "the folder could not be listed");
            entries.push_back(std::move(entry));
        } else {
            entries.push_back(AuditProject(catalog, target.path));
        }
    }
    return entries;
}

AuditSummary Summarize(const std::vector<AuditEntry>& entries) {
    AuditSummary summary;
    summary.projects = entries.size();
    for (const AuditEntry& entry : entries) {
        switch (entry.status) {
            case AuditStatus::Ok:
                ++summary.ok;
                break;
            case AuditStatus::Unverified:
                ++summary.unverified;
                break;
            case AuditStatus::Stale:
                ++summary.stale;
                break;
            case AuditStatus::Unmatched:
                ++summary.unmatched;
                break;
            case AuditStatus::Unreadable:
                ++summary.unreadable;
                break;
        }
    }
    return summary;
}

}  // namespace norvane
