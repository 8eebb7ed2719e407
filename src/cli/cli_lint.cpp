#include "cli/cli_lint.h"

#include <cstdint>
#include <iterator>
#include <optional>

#include "base/utf8_text.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/field_escape.h"
#include "lint/catalog_lint.h"
#include "xml/xml_parser.h"

namespace norvane::cli {

namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendUnicodeEscape(std::string& out, unsigned char byte) {
    out += "\\u00";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

// The TEXT of a line: kept readable, but nothing in it may break the line or the terminal.
std::string EscapeText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte >= 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

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
    return line + ": " + EscapeText(finding.text) + '\n';
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

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        switch (byte) {
            case '"':
                out += "\\\"";
                ++i;
                continue;
            case '\\':
                out += "\\\\";
                ++i;
                continue;
            case '\n':
                out += "\\n";
                ++i;
                continue;
            case '\r':
                out += "\\r";
                ++i;
                continue;
            case '\t':
                out += "\\t";
                ++i;
                continue;
            default:
                break;
        }
        if (byte < 0x20) {
            AppendUnicodeEscape(out, byte);
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(text.substr(i));
        if (length == 0) {
            AppendUnicodeEscape(out, byte);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out + "\"";
}

int Lint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    std::optional<std::string> file;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage(err, "unknown option " + arg);
        } else if (!file) {
            file = arg;
        } else {
            return Usage(err, "lint takes exactly one FILE");
        }
    }
    if (!file) {
        return Usage(err, "lint needs a catalog FILE");
    }
    const std::optional<std::string> text = ReadInput(*file);
    if (!text) {
        return Unreadable(err, *file);
    }
    XmlResults results;
    const XmlRoot root = XmlParseText(*text, &results);
    if (!root) {
        out << "error " << static_cast<int>(results.error) << ' ' << XmlErrorText(results.error)
            << " at " << results.line << ':' << results.column << '\n';
        return kExitRefused;
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
