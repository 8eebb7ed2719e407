// `safetycrc lint`: the catalog checks for catalog authors, one finding a line or as JSON.
#include <iterator>
#include <optional>

#include "base/byte_text.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "lint/catalog_lint.h"
#include "xml/xml_parser.h"

namespace norvane::cli {

namespace {

std::string_view LevelName(LintLevel level) {
    return level == LintLevel::Error ? "error" : "warning";
}

std::string Line(const LintFinding& finding) {
    std::string line(LevelName(finding.level));
    line += ' ';
    line += finding.code;
    for (const std::string& name : finding.names) {
        line += ' ';
        line += EscapeField(name);
    }
    return line + ": " + EscapeBytes(finding.text, Blanks::Keep) + '\n';
}

std::string JsonObject(const LintFinding& finding) {
    static constexpr std::string_view kNameKeys[] = {"manufacturer", "device", "module",
                                                     "parameter"};
    std::string object = "{\"level\": " + JsonString(LevelName(finding.level)) +
                         ", \"code\": " + JsonString(finding.code);
    for (size_t i = 0; i < finding.names.size() && i < std::size(kNameKeys); ++i) {
        object += ", \"";
        object += kNameKeys[i];
        object += "\": " + JsonString(finding.names[i]);
    }
    return object + ", \"text\": " + JsonString(finding.text) + "}";
}

}  // namespace

int RunLint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    const std::optional<std::vector<std::string>> files =
        ReadFilesAndFlag(args, "--json", json, err, 1, "lint takes exactly one FILE");
    if (!files) {
        return kExitUsage;
    }
    if (files->empty()) {
        return Usage(err, "lint needs a catalog FILE");
    }
    XmlRoot root;
    if (const int status = ReadXmlInput(files->front(), root, out, err); status != kExitOk) {
        return status;
    }
    const std::vector<LintFinding> findings = LintCatalog(root.get());
    std::string report;
    if (json) {
        report = "[";
        for (size_t i = 0; i < findings.size(); ++i) {
            report += (i == 0 ? "\n  " : ",\n  ") + JsonObject(findings[i]);
        }
        report += findings.empty() ? "]\n" : "\n]\n";
    } else {
        for (const LintFinding& finding : findings) {
            report += Line(finding);
        }
    }
    out << report;
    for (const LintFinding& finding : findings) {
        if (finding.level == LintLevel::Error) {
            return kExitRefused;
        }
    }
    return kExitOk;
}

}  // namespace norvane::cli
