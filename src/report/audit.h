// The audit of a plant's project files against one catalog: each file is opened exactly as the
// window's Open opens it (OpenProjectData over ReadProjectFile) and classified by what that
// gives, so that the audit never judges a project by rules of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"

namespace norvane {

enum class AuditStatus {
    Ok,          // opens, every item verified, the stored CRC valid and the CRC of its values
    Unverified,  // opens; not every item is verified, or the stored CRC is not marked valid
    Stale,       // the stored CRC is marked valid but the values give another or none, or a
                 // value marked verified no longer fits its limits, items or field
    Unmatched,   // does not fit the catalog (messages 125 to 129)
    Unreadable,  // no project file, changed outside the program, or no bytes to read
};

// "ok", "unverified", "stale", "unmatched", "unreadable".
std::string_view AuditStatusName(AuditStatus status);

// One piece of an audit's explanation: the program's own words, or a name taken from a file,
// which every output form writes the way it writes such names.
struct AuditWord {
    std::string text;
    bool fromFile = false;
};

struct AuditEntry {
    std::string path;
    AuditStatus status = AuditStatus::Unreadable;
    // The catalog's names of the records the project was matched to; none where matching did
    // not get that far.
    std::optional<std::string> manufacturer;
    std::optional<std::string> device;
    std::optional<std::string> module;
    bool fileRead = false;  // the file was read as a project: its CRC fields mean something
    bool storedCrcValid = false;
    uint32_t storedCrc = 0;
    bool opened = false;                 // it fitted the catalog: `recomputed` means something
    std::optional<uint32_t> recomputed;  // the CRC its values give; none when none may be given
    int message = 0;                     // the message the window shows for it, if any
    std::vector<AuditWord> detail;       // why the status is not ok; empty for ok
};

// A file the audit looks at.
struct AuditTarget {
    std::string path;
    // Set for a folder below a named one that could not be listed: it is reported as an
    // unreadable entry, so that no project escapes the audit unnoticed.
    bool unlistedFolder = false;
};

// The files an audit looks at, in order: each path named (a file, or anything that is not a
// folder), and for a folder every "*.kfx" below it, not following links to folders, in byte
// order of the path.
std::vector<AuditTarget> AuditTargets(const std::vector<std::string>& paths);

// Opens the project file at `path` against `catalog` and classifies it.
AuditEntry AuditProject(CatalogData& catalog, const std::string& path);
// The same for the text of a project file already read, reported under `path`.
AuditEntry AuditProjectText(CatalogData& catalog, const std::string& path, std::string_view text);

// Audits every target in order.
std::vector<AuditEntry> AuditAll(CatalogData& catalog, const std::vector<AuditTarget>& targets);

struct AuditSummary {
    size_t projects = 0;
    size_t ok = 0;
    size_t unverified = 0;
    size_t stale = 0;
    size_t unmatched = 0;
    size_t unreadable = 0;
};
AuditSummary Summarize(const std::vector<AuditEntry>& entries);

}  // namespace norvane
