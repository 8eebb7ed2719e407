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

// What the usage lists for the command, and what "safetycrc help lint" adds.
constexpr std::string_view kUsage =
    "lint FILE [--json]\n"
    "                 check a catalog for mistakes that reach the safety CRC or keep a module\n"
    "                 from being verified; one finding a line\n";
constexpr std::string_view kHelp =
    "\nEach finding is one line, in catalog order:\n"
    "  LEVEL CODE MANUFACTURER DEVICE MODULE PARAMETER: TEXT\n"
    "with as many names as the finding concerns (two for a device, four for a parameter),\n"
    "escaped as in the other commands. --json prints the findings as one JSON array of objects\n"
    "(level, code, manufacturer, device, module, parameter, text; names that do not apply are\n"
    "left out; a byte that is not part of valid UTF-8 is written \\u00XX with its value).\n"
    "Exit status 1 when there is an error, 0 for warnings alone or none; a catalog that does\n"
    "not parse gives the parser's error line and 1.\n"
    "\ncodes:\n"
    "  error    no-manufacturers           the catalog holds no Hersteller element\n"
    "  error    number-out-of-range        an integer attribute does not fit the field it is\n"
    "                                      read into (it would be read as another number)\n"
    "  error    missing-name               a manufacturer, device, module or parameter has no "
    "name\n"
    "  error    missing-ident              a manufacturer, device or module has no identNumber\n"
    "  error    duplicate-ident            siblings share an identNumber\n"
    "  warning  duplicate-name             siblings (parameters of one module too) share a name\n"
    "  error    data-format                a device's dataFormat is neither Motorola nor Intel\n"
    "  error    bus-address-unverifiable   enableBusAddress with a negative busAddress\n"
    "  warning  bus-address-outside-limits busAddress outside minAddr to maxAddr\n"
    "  warning  tci-record-too-long        lenUserParam + 4 above 256: no CRC in TCI mode\n"
    "  warning  no-parameters              a module without parameters\n"
    "  error    bit-length                 bitLength 0 or above 32\n"
    "  error    unknown-type               a type other than Bool, Int and UInt\n"
    "  warning  bool-bit-length            a Bool parameter whose bitLength is not 1 (an error\n"
    "                                      for 16 and 32 bits: the byte exchange moves its bit)\n"
    "  error    field-outside-image        a field ends at or beyond 8 x (lenUserParam + 4)\n"
    "  error    field-not-covered          a field lies (partly) below bit 32, outside the CRC\n"
    "  error    field-overlap              two parameters of one module share a bit\n"
    "  error    limits-reversed            min greater than max\n"
    "  error    default-outside-limits     the default lies outside min to max\n"
    "  error    limit-exceeds-field        min or max cannot be held by bitLength bits\n"
    "  error    enum-default-not-item      an enumeration's default is no item's valueItem\n"
    "  warning  enum-item-outside-limits   an enumeration item outside min to max\n"
    "  warning  enum-duplicate-value       two items of one enumeration share a valueItem\n";

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

int Lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace

constinit const Command kLintCommand = {"lint", kUsage, kHelp, Lint};

}  // namespace norvane::cli
