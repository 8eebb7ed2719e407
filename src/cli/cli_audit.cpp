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
    return CrcText(entry.recomputed, format);
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

}  // namespace

int RunAudit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace norvane::cli
