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

// What the usage lists for the command, and what "safetycrc help diff" adds.
constexpr std::string_view kUsage =
    "diff OLD NEW [--json] | diff A.kfx B.kfx CATALOG [--json]\n"
    "                 what changed between two catalogs (module by module), or between two\n"
    "                 project files opened against one catalog\n";
constexpr std::string_view kHelp =
    "\nTwo catalogs: modules are matched by manufacturer, device and module identNumber. In\n"
    "NEW's order, then the removed ones in OLD's order:\n"
    "  added MANUFACTURER DEVICE MODULE\n"
    "  removed MANUFACTURER DEVICE MODULE\n"
    "  changed MANUFACTURER DEVICE MODULE\n"
    "followed, for a changed module, by one line per difference:\n"
    "    parameter NAME ATTRIBUTE OLD NEW     type, paramView, defaultValue, min, max,\n"
    "                                         bitOffset, bitLength\n"
    "    parameter NAME added | removed\n"
    "    parameter NAME item VALUE valueText OLD NEW\n"
    "    parameter NAME item VALUE added | removed\n"
    "    module ATTRIBUTE OLD NEW             lenModulParam, lenUserParam\n"
    "    device ATTRIBUTE OLD NEW             dataFormat\n"
    "    default-crc OLD NEW                  the CRC of the default values (\"error\": none)\n"
    "Parameters are matched by name, items by valueItem; records without a name take no part.\n"
    "The last line: modules N added A removed R changed C unchanged U.\n"
    "\nTwo project files and a catalog: both are opened as the window opens them; one line per\n"
    "difference, FIELD OLD NEW, where FIELD is manufacturer, device or module with name, ident\n"
    "or accepted; description; busAddress value or accepted; parameter NAME value or accepted;\n"
    "crc (as the window shows it, N/A when not valid). Parameters are matched by name; a side\n"
    "without the parameter shows \\0. The last line: differences N. A project that cannot be\n"
    "opened prints \"error PATH ID TEXT\".\n"
    "\n--json prints the same as one JSON object. Exit status 0 when nothing differs, 1 when\n"
    "something does (or a project cannot be opened), 2 for a usage error or a catalog that\n"
    "cannot be read or parsed.\n";

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

int Diff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace

constinit const Command kDiffCommand = {"diff", kUsage, kHelp, Diff};

}  // namespace norvane::cli
