#include "cli/cli_audit.h"

#include <functional>
#include <optional>

#include "base/utf8_text.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_lint.h"
#include "cli/cli_support.h"
#include "cli/field_escape.h"
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
    return entry.recomputed ? FormatCrc(true, *entry.recomputed, format) : std::string("error");
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

}  // namespace

std::string CsvField(std::string_view text) {
    const std::string field = IsValidUtf8(text) ? std::string(text) : EscapeField(text);
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

int LoadReportCatalog(const std::string& path, CatalogData& catalog, std::ostream& err) {
    std::optional<std::string> text = ReadInput(path);
    if (!text) {
        return Unreadable(err, path);
    }
    catalog.Load(std::move(*text));
    if (catalog.manufacturerList.empty()) {
        err << "safetycrc: " << path << " is no device catalog ("
            << (catalog.catalogDoc ? "it holds no manufacturer" : "it does not parse") << ")\n";
        return kExitUsage;
    }
    return kExitOk;
}

int Audit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<Form> form;
    bool decimal = false;
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json" || arg == "--csv") {
            const Form chosen = arg == "--json" ? Form::Json : Form::Csv;
            if (form && *form != chosen) {
                return Usage(err, "audit takes --json or --csv, not both");
            }
            form = chosen;
        } else if (arg == "--dec") {
            decimal = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage(err, "unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() < 2) {
        return Usage(err, "audit takes a CATALOG and at least one project file or folder");
    }
    CatalogData catalog;
    if (const int status = LoadReportCatalog(files[0], catalog, err); status != kExitOk) {
        return status;
    }

    const std::vector<AuditEntry> entries =
        AuditAll(catalog, AuditTargets(std::vector<std::string>(files.begin() + 1, files.end())));
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
