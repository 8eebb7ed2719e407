// `safetycrc audit`: every project file of a plant, opened against one catalog as the window's
// Open opens it, one line per project with its status.
#include <functional>
#include <optional>

#include "base/byte_text.h"
#include "base/utf8_text.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "report/audit.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help audit" adds.
constexpr std::string_view kUsage =
    "audit CATALOG PATH... [--dec] [--json|--csv]\n"
    "                 open every project file named, and every *.kfx below every folder\n"
    "                 named, as the window opens it; one line per project with its status\n";
constexpr std::string_view kHelp =
    "\nFolders are searched below (links to folders are not followed), their files taken in\n"
    "byte order of the path; the catalog is read once. One line per project:\n"
    "  STATUS PATH MANUFACTURER DEVICE MODULE CRC RECOMPUTED DETAIL\n"
    "STATUS is one of\n"
    "  ok          it opens, every item is verified, the stored CRC is valid and the CRC of its\n"
    "              values\n"
    "  unverified  it opens, but not every item is verified or the stored CRC is not marked\n"
    "              valid\n"
    "  stale       the stored CRC is marked valid but the values give another (or none), or a\n"
    "              value marked verified no longer fits its limits, items or field\n"
    "  unmatched   it does not fit the catalog (messages 125 to 129)\n"
    "  unreadable  not a project file, changed outside the program (digest), or unreadable\n"
    "The names are the catalog's records the project was matched to (\\0 where matching did\n"
    "not get that far), CRC the stored one (N/A when not marked valid), RECOMPUTED the CRC its\n"
    "values give (\"error\" when none can be given, \\0 when it was not opened), both in\n"
    "hexadecimal (--dec: decimal). DETAIL says why the status is not ok, in words; a name in it\n"
    "is escaped as every field. The last line counts them:\n"
    "  projects N ok A unverified B stale C unmatched D unreadable E\n"
    "--json prints one object with the list \"projects\" and the counts in \"summary\"; --csv one\n"
    "row per project with a header row (RFC 4180, CRLF line ends; a field that is not valid\n"
    "UTF-8 is written escaped as in the text form). Exit status 0 when every project is ok,\n"
    "1 when one is not, 2 for a usage error or a catalog that cannot be read or parsed.\n";

enum class Form { Text, Json, Csv };

// The detail's words, a name from a file written by `name` (each form has its own way).
std::string Detail(const AuditEntry& entry,
                   const std::function<std::string(std::string_view)>& name) {
    std::string text;
    for (const AuditWord& word : entry.detail) {
        if (!text.empty()) {
            text += ' ';
        }
        text += word.fromFile ? name(word.text) : word.text;
    }
    return text;
}

std::optional<std::string> StoredCrc(const AuditEntry& entry, int32_t format) {
    if (!entry.fileRead) {
        return std::nullopt;
    }
    return FormatCrc(entry.storedCrcValid, entry.storedCrc, format);
}

std::optional<std::string> Recomputed(const AuditEntry& entry, int32_t format) {
    if (!entry.opened) {
        return std::nullopt;
    }
    return FormatCrcOrError(entry.recomputed, format);
}

std::string TextLine(const AuditEntry& entry, int32_t format) {
    const auto field = [](const std::optional<std::string>& value) {
        return EscapeField(value.value_or(std::string()));
    };
    const std::string detail =
        Detail(entry, [](std::string_view name) { return EscapeField(name); });
    return std::string(AuditStatusName(entry.status)) + ' ' + EscapeField(entry.path) + ' ' +
           field(entry.manufacturer) + ' ' + field(entry.device) + ' ' + field(entry.module) + ' ' +
           field(StoredCrc(entry, format)) + ' ' + field(Recomputed(entry, format)) + ' ' +
           (detail.empty() ? EscapeField(detail) : detail) + '\n';
}

std::string JsonOrNull(const std::optional<std::string>& value) {
    return value ? JsonString(*value) : std::string("null");
}

std::string JsonObject(const AuditEntry& entry, int32_t format) {
    return "{\"status\": " + JsonString(AuditStatusName(entry.status)) +
           ", \"path\": " + JsonString(entry.path) +
           ", \"manufacturer\": " + JsonOrNull(entry.manufacturer) +
           ", \"device\": " + JsonOrNull(entry.device) +
           ", \"module\": " + JsonOrNull(entry.module) +
           ", \"crc\": " + JsonOrNull(StoredCrc(entry, format)) +
           ", \"recomputed\": " + JsonOrNull(Recomputed(entry, format)) + ", \"message\": " +
           (entry.message != 0 ? std::to_string(entry.message) : std::string("null")) +
           ", \"detail\": " +
           JsonString(Detail(entry, [](std::string_view name) { return std::string(name); })) + "}";
}

std::string CsvRow(const AuditEntry& entry, int32_t format) {
    const auto field = [](const std::optional<std::string>& value) {
        return value ? CsvField(*value) : std::string();
    };
    const std::string detail = Detail(entry, [](std::string_view name) {
        return IsValidUtf8(name) ? std::string(name) : EscapeField(name);
    });
    return std::string(AuditStatusName(entry.status)) + ',' + CsvField(entry.path) + ',' +
           field(entry.manufacturer) + ',' + field(entry.device) + ',' + field(entry.module) + ',' +
           field(StoredCrc(entry, format)) + ',' + field(Recomputed(entry, format)) + ',' +
           CsvField(detail) + "\r\n";
}

constexpr Option kAuditOptions[] = {{"--json", {}}, {"--csv", {}}, {"--dec", {}}};

int Audit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<Form> form;
    bool decimal = false;
    const auto take = [&](std::string_view option, const std::string&) -> std::string {
        if (option == "--dec") {
            decimal = true;
            return {};
        }
        const Form chosen = option == "--json" ? Form::Json : Form::Csv;
        if (form && *form != chosen) {
            return "audit takes --json or --csv, not both";
        }
        form = chosen;
        return {};
    };
    const std::optional<std::vector<std::string>> files =
        ReadArguments(args, kAuditOptions, take, err);
    if (!files) {
        return kExitUsage;
    }
    if (files->size() < 2) {
        return Usage(err, "audit takes a CATALOG and at least one project file or folder");
    }
    CatalogData catalog;
    if (const int status = LoadReportCatalog(files->front(), catalog, err); status != kExitOk) {
        return status;
    }

    const std::vector<AuditEntry> entries =
        AuditAll(catalog, AuditTargets(std::vector<std::string>(files->begin() + 1, files->end())));
    const AuditSummary summary = Summarize(entries);
    const int32_t format = decimal ? 1 : 0;
    std::string report;
    switch (form.value_or(Form::Text)) {
        case Form::Text:
            for (const AuditEntry& entry : entries) {
                report += TextLine(entry, format);
            }
            report += "projects " + std::to_string(summary.projects) + " ok " +
                      std::to_string(summary.ok) + " unverified " +
                      std::to_string(summary.unverified) + " stale " +
                      std::to_string(summary.stale) + " unmatched " +
                      std::to_string(summary.unmatched) + " unreadable " +
                      std::to_string(summary.unreadable) + '\n';
            break;
        case Form::Json:
            report = "{\"projects\": [";
            for (size_t i = 0; i < entries.size(); ++i) {
                report += (i == 0 ? "\n  " : ",\n  ") + JsonObject(entries[i], format);
            }
            report += entries.empty() ? "]" : "\n]";
            report += ",\n\"summary\": {\"projects\": " + std::to_string(summary.projects) +
                      ", \"ok\": " + std::to_string(summary.ok) +
                      ", \"unverified\": " + std::to_string(summary.unverified) +
                      ", \"stale\": " + std::to_string(summary.stale) +
                      ", \"unmatched\": " + std::to_string(summary.unmatched) +
                      ", \"unreadable\": " + std::to_string(summary.unreadable) + "}}\n";
            break;
        case Form::Csv:
            report = "status,path,manufacturer,device,module,crc,recomputed,detail\r\n";
            for (const AuditEntry& entry : entries) {
                report += CsvRow(entry, format);
            }
            break;
    }
    out << report;
    return summary.ok == summary.projects ? kExitOk : kExitRefused;
}

}  // namespace

constinit const Command kAuditCommand = {"audit", kUsage, kHelp, Audit};

}  // namespace norvane::cli
