// `safetycrc diff`: what changed between two catalog versions, or between two project files.
#include <optional>

#include "base/byte_text.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "report/catalog_diff.h"
#include "report/project_diff.h"
#include "verification/project_opening.h"

namespace norvane::cli {

namespace {

std::string_view ChangeName(ModuleChange change) {
    switch (change) {
        case ModuleChange::Added:
            return "added";
        case ModuleChange::Removed:
            return "removed";
        case ModuleChange::Changed:
            return "changed";
        case ModuleChange::Unchanged:
            break;
    }
    return "unchanged";
}

std::string_view SubjectName(CatalogDifference::Subject subject) {
    switch (subject) {
        case CatalogDifference::Subject::Parameter:
            return "parameter";
        case CatalogDifference::Subject::Module:
            return "module";
        case CatalogDifference::Subject::Device:
            return "device";
        case CatalogDifference::Subject::DefaultCrc:
            break;
    }
    return "default-crc";
}

std::string DifferenceLine(const CatalogDifference& difference) {
    std::string line = "  " + std::string(SubjectName(difference.subject));
    if (difference.subject == CatalogDifference::Subject::Parameter) {
        line += ' ' + EscapeField(difference.parameter);
    }
    if (difference.item) {
        line += " item " + std::to_string(*difference.item);
    }
    switch (difference.presence) {
        case CatalogDifference::Presence::Added:
            return line + " added\n";
        case CatalogDifference::Presence::Removed:
            return line + " removed\n";
        case CatalogDifference::Presence::Both:
            break;
    }
    if (!difference.attribute.empty()) {
        line += ' ' + difference.attribute;
    }
    return line + ' ' + EscapeField(difference.before) + ' ' + EscapeField(difference.after) + '\n';
}

std::string CatalogText(const CatalogDiff& diff) {
    std::string text;
    for (const ModuleDiff& module : diff.modules) {
        if (module.change == ModuleChange::Unchanged) {
            continue;
        }
        text += std::string(ChangeName(module.change)) + ' ' + EscapeField(module.manufacturer) +
                ' ' + EscapeField(module.device) + ' ' + EscapeField(module.module) + '\n';
        for (const CatalogDifference& difference : module.differences) {
            text += DifferenceLine(difference);
        }
    }
    return text + "modules " + std::to_string(diff.modules.size()) + " added " +
           std::to_string(diff.added) + " removed " + std::to_string(diff.removed) + " changed " +
           std::to_string(diff.changed) + " unchanged " + std::to_string(diff.unchanged) + '\n';
}

std::string CatalogJson(const CatalogDiff& diff) {
    std::string text = "{\"modules\": [";
    bool first = true;
    for (const ModuleDiff& module : diff.modules) {
        if (module.change == ModuleChange::Unchanged) {
            continue;
        }
        text += first ? "\n  " : ",\n  ";
        first = false;
        text += "{\"change\": " + JsonString(ChangeName(module.change)) +
                ", \"manufacturer\": " + JsonString(module.manufacturer) +
                ", \"device\": " + JsonString(module.device) +
                ", \"module\": " + JsonString(module.module) +
                ", \"manufacturerIdent\": " + JsonString(module.manufacturerIdent) +
                ", \"deviceIdent\": " + JsonString(module.deviceIdent) +
                ", \"moduleIdent\": " + JsonString(module.moduleIdent);
        if (module.change == ModuleChange::Changed) {
            text += ", \"differences\": [";
            for (size_t i = 0; i < module.differences.size(); ++i) {
                const CatalogDifference& d = module.differences[i];
                const bool parameter = d.subject == CatalogDifference::Subject::Parameter;
                const bool both = d.presence == CatalogDifference::Presence::Both;
                text += (i == 0 ? "\n    " : ",\n    ");
                text += "{\"subject\": " + JsonString(SubjectName(d.subject)) +
                        ", \"parameter\": " +
                        (parameter ? JsonString(d.parameter) : std::string("null")) +
                        ", \"item\": " + (d.item ? std::to_string(*d.item) : std::string("null")) +
                        ", \"change\": " +
                        JsonString(both                                               ? "changed"
                                   : d.presence == CatalogDifference::Presence::Added ? "added"
                                                                                      : "removed") +
                        ", \"attribute\": " +
                        (d.attribute.empty() ? std::string("null") : JsonString(d.attribute)) +
                        ", \"old\": " +
                        (both || (d.item && d.presence == CatalogDifference::Presence::Removed)
                             ? JsonString(d.before)
                             : std::string("null")) +
                        ", \"new\": " +
                        (both || (d.item && d.presence == CatalogDifference::Presence::Added)
                             ? JsonString(d.after)
                             : std::string("null")) +
                        "}";
            }
            text += module.differences.empty() ? "]" : "\n  ]";
        }
        text += "}";
    }
    text += first ? "]" : "\n]";
    return text + ",\n\"summary\": {\"modules\": " + std::to_string(diff.modules.size()) +
           ", \"added\": " + std::to_string(diff.added) +
           ", \"removed\": " + std::to_string(diff.removed) +
           ", \"changed\": " + std::to_string(diff.changed) +
           ", \"unchanged\": " + std::to_string(diff.unchanged) + "}}\n";
}

int DiffCatalogFiles(const std::string& before, const std::string& after, bool json,
                     std::ostream& out, std::ostream& err) {
    CatalogData oldCatalog;
    CatalogData newCatalog;
    for (const auto& [path, catalog] : {std::pair{&before, &oldCatalog}, {&after, &newCatalog}}) {
        if (const int status = LoadReportCatalog(*path, *catalog, err); status != kExitOk) {
            return status;
        }
    }
    const CatalogDiff diff = DiffCatalogs(oldCatalog, newCatalog);
    out << (json ? CatalogJson(diff) : CatalogText(diff));
    return diff.modules.size() == diff.unchanged ? kExitOk : kExitRefused;
}

// FIELD as the text form writes it: the field, the parameter's name, the attribute.
std::string FieldOf(const ProjectDifference& difference) {
    std::string field = difference.field;
    if (difference.field == "parameter") {
        field += ' ' + EscapeField(difference.parameter);
    }
    if (!difference.attribute.empty()) {
        field += ' ' + difference.attribute;
    }
    return field;
}

int DiffProjectFiles(const std::vector<std::string>& files, bool json, std::ostream& out,
                     std::ostream& err) {
    CatalogData catalog;
    if (const int status = LoadReportCatalog(files[2], catalog, err); status != kExitOk) {
        return status;
    }
    std::optional<OpenedProject> opened[2];
    std::string refusals;
    for (size_t i = 0; i < 2; ++i) {
        if (const int refusal = OpenProjectFile(catalog, files[i], opened[i]); refusal != 0) {
            refusals += RefusalLine(EscapeField(files[i]) + ' ' + MessageReason(refusal));
        }
    }
    if (!refusals.empty()) {
        out << refusals;
        return kExitRefused;
    }
    const std::vector<ProjectDifference> differences = DiffProjects(*opened[0], *opened[1]);
    std::string text;
    if (json) {
        text = "{\"differences\": [";
        for (size_t i = 0; i < differences.size(); ++i) {
            const ProjectDifference& d = differences[i];
            const auto value = [](const std::optional<std::string>& v) {
                return v ? JsonString(*v) : std::string("null");
            };
            text += (i == 0 ? "\n  " : ",\n  ");
            text += "{\"field\": " + JsonString(d.field) + ", \"parameter\": " +
                    (d.field == "parameter" ? JsonString(d.parameter) : std::string("null")) +
                    ", \"attribute\": " +
                    (d.attribute.empty() ? std::string("null") : JsonString(d.attribute)) +
                    ", \"old\": " + value(d.before) + ", \"new\": " + value(d.after) + "}";
        }
        text += differences.empty() ? "]" : "\n]";
        text += ",\n\"summary\": {\"differences\": " + std::to_string(differences.size()) + "}}\n";
    } else {
        for (const ProjectDifference& d : differences) {
            text += FieldOf(d) + ' ' + EscapeField(d.before.value_or(std::string())) + ' ' +
                    EscapeField(d.after.value_or(std::string())) + '\n';
        }
        text += "differences " + std::to_string(differences.size()) + '\n';
    }
    out << text;
    return differences.empty() ? kExitOk : kExitRefused;
}

}  // namespace

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    const std::optional<std::vector<std::string>> given =
        ReadFilesAndFlag(args, "--json", json, err);
    if (!given) {
        return kExitUsage;
    }
    const std::vector<std::string>& files = *given;
    if (files.size() == 2) {
        return DiffCatalogFiles(files[0], files[1], json, out, err);
    }
    if (files.size() == 3) {
        return DiffProjectFiles(files, json, out, err);
    }
    return Usage(err, "diff takes two catalogs, or two project files and a catalog");
}

}  // namespace norvane::cli
