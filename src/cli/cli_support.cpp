#include "cli/cli_support.h"

#include "base/byte_text.h"
#include "base/messages.h"
#include "base/utf8_text.h"
#include "base/whole_file.h"
#include "cli/cli_commands.h"
#include "cli/cli_usage.h"
#include "project/project_file.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

std::optional<std::vector<std::string>> ReadArguments(const std::vector<std::string>& args,
                                                      std::span<const Option> options,
                                                      const TakeOption& take, std::ostream& err,
                                                      size_t maxFiles, std::string_view tooMany) {
    std::vector<std::string> files;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const Option* option = nullptr;
        for (const Option& known : options) {
            if (known.name == arg) {
                option = &known;
            }
        }
        std::string problem;
        if (option != nullptr && option->value.empty()) {
            problem = take(arg, std::string());
        } else if (option != nullptr) {
            if (i + 1 >= args.size()) {
                problem = arg + " needs a " + std::string(option->value);
            } else {
                problem = take(arg, args[++i]);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            problem = "unknown option " + arg;
        } else if (files.size() >= maxFiles) {
            problem = tooMany;
        } else {
            files.push_back(arg);
        }
        if (!problem.empty()) {
            Usage(err, problem);
            return std::nullopt;
        }
    }
    return files;
}

std::optional<std::vector<std::string>> ReadFilesAndFlag(const std::vector<std::string>& args,
                                                         std::string_view flag, bool& given,
                                                         std::ostream& err, size_t maxFiles,
                                                         std::string_view tooMany) {
    const Option options[] = {{flag, {}}};
    const auto take = [&](std::string_view, const std::string&) {
        given = true;
        return std::string();
    };
    return ReadArguments(args, options, take, err, maxFiles, tooMany);
}

std::optional<TwoFiles> ReadTwoFilesAndFormat(const std::vector<std::string>& args,
                                              std::string_view wrongCount, std::ostream& err) {
    bool decimal = false;
    const std::optional<std::vector<std::string>> files =
        ReadFilesAndFlag(args, "--dec", decimal, err);
    if (!files) {
        return std::nullopt;
    }
    if (files->size() != 2) {
        Usage(err, wrongCount);
        return std::nullopt;
    }
    return TwoFiles{(*files)[0], (*files)[1], decimal ? 1 : 0};
}

const std::string* OneFileArgument(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() != 2) {
        Usage(err, args[0] + " takes exactly one FILE");
        return nullptr;
    }
    return &args[1];
}

int Unreadable(std::ostream& err, const std::string& path) {
    err << "safetycrc: cannot read " << path << " (missing, unreadable, empty or too large)\n";
    return kExitUsage;
}

std::optional<std::string> ReadInput(const std::string& path) {
    try {
        return ReadWholeFile(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

int ReadXmlInput(const std::string& path, XmlRoot& root, std::ostream& out, std::ostream& err) {
    const std::optional<std::string> text = ReadInput(path);
    if (!text) {
        return Unreadable(err, path);
    }
    XmlResults results;
    root = XmlParseText(*text, &results);
    return root ? kExitOk : RefuseUnparsed(out, results);
}

int WithOneXmlFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::function<void(const XmlElement& root)>& print) {
    const std::string* file = OneFileArgument(args, err);
    if (file == nullptr) {
        return kExitUsage;
    }
    XmlRoot root;
    if (const int status = ReadXmlInput(*file, root, out, err); status != kExitOk) {
        return status;
    }
    print(*root);
    return kExitOk;
}

int LoadCatalogFile(const std::string& path, CatalogData& catalog, std::ostream& err) {
    std::optional<std::string> text = ReadInput(path);
    if (!text) {
        return Unreadable(err, path);
    }
    catalog.Load(std::move(*text));
    return kExitOk;
}

int ReadCatalogInput(const std::string& path, CatalogData& catalog, std::ostream& out,
                     std::ostream& err) {
    if (const int status = LoadCatalogFile(path, catalog, err); status != kExitOk) {
        return status;
    }
    return catalog.catalogDoc ? kExitOk : RefuseUnparsed(out, catalog.catalogText);
}

int LoadReportCatalog(const std::string& path, CatalogData& catalog, std::ostream& err) {
    if (const int status = LoadCatalogFile(path, catalog, err); status != kExitOk) {
        return status;
    }
    if (catalog.manufacturerList.empty()) {
        err << "safetycrc: " << path << " is no device catalog ("
            << (catalog.catalogDoc ? "it holds no manufacturer" : "it does not parse") << ")\n";
        return kExitUsage;
    }
    return kExitOk;
}

int OpenProjectFile(CatalogData& catalog, const std::string& path,
                    std::optional<OpenedProject>& opened) {
    try {
        opened.emplace(OpenProject(catalog, path));
    } catch (const ProjectFileFailure&) {
        return kMsgProjectOpenFailed;
    } catch (const ProjectMatchFailure& failure) {
        return failure.MessageId();
    }
    return 0;
}

int OpenProjectWithCatalog(const std::string& projectPath, const std::string& catalogPath,
                           CatalogData& catalog, std::optional<OpenedProject>& opened,
                           std::ostream& out, std::ostream& err) {
    if (const int status = LoadCatalogFile(catalogPath, catalog, err); status != kExitOk) {
        return status;
    }
    const int refusal = OpenProjectFile(catalog, projectPath, opened);
    return refusal == 0 ? kExitOk : RefuseWithMessage(out, refusal);
}

int WriteOutputFile(std::string_view text, const std::string& path, std::ostream& err) {
    try {
        WriteWholeFile(text, path);
    } catch (const FileError&) {
        err << "safetycrc: cannot write " << path << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

std::string RefusalLine(std::string_view reason) {
    return "error " + std::string(reason) + '\n';
}

int Refuse(std::ostream& out, std::string_view reason) {
    out << RefusalLine(reason);
    return kExitRefused;
}

std::string MessageReason(int id, std::initializer_list<std::string_view> args) {
    std::string reason = std::to_string(id) + ' ';
    for (const char c : FormatMessage(id, args)) {
        if (c == '\n') {
            reason += "\\n";
        } else {
            reason += c;
        }
    }
    return reason;
}

int RefuseWithMessage(std::ostream& out, int id, std::initializer_list<std::string_view> args) {
    return Refuse(out, MessageReason(id, args));
}

int RefuseUnparsed(std::ostream& out, const XmlResults& results) {
    return Refuse(out, std::to_string(static_cast<int>(results.error)) + ' ' +
                           std::string(XmlErrorText(results.error)) + " at " +
                           std::to_string(results.line) + ':' + std::to_string(results.column));
}

int RefuseUnparsed(std::ostream& out, std::string_view text) {
    XmlResults results;
    (void)XmlParseText(text, &results);
    return RefuseUnparsed(out, results);
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<uint8_t>(text[i]);
        const char* escape = byte == '"'    ? "\\\""
                             : byte == '\\' ? "\\\\"
                             : byte == '\n' ? "\\n"
                             : byte == '\r' ? "\\r"
                             : byte == '\t' ? "\\t"
                                            : nullptr;
        const size_t length = byte < 0x20 ? 0 : Utf8SequenceLength(text.substr(i));
        if (escape != nullptr) {
            out += escape;
            ++i;
        } else if (length == 0) {
            // A control character, or a byte that is not part of valid UTF-8: its value.
            out += "\\u00";
            AppendHexByte(out, byte);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out + "\"";
}

std::string CsvField(std::string_view text) {
    std::string field = IsValidUtf8(text) ? std::string(text) : EscapeField(text);
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

}  // namespace norvane::cli
