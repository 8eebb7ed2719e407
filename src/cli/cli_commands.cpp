#include "cli/cli_commands.h"

#include "cli/cli_audit.h"
#include "cli/cli_diff.h"
#include "cli/cli_project.h"
#include "cli/cli_record.h"
#include "cli/cli_selftest.h"
#include "cli/cli_support.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "base/decimal_text.h"
#include "base/md5_digest.h"
#include "base/program_version.h"
#include "base/whole_file.h"
#include "catalog/catalog.h"
#include "cli/cli_lint.h"
#include "cli/cli_tpf.h"
#include "cli/field_escape.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"
#include "xml/xml_parser.h"
#include "xml/xml_tree.h"
#include "xml/xml_writer.h"

namespace norvane::cli {

namespace {

void Indent(std::string& out, int depth) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
}

void ListTree(const XmlElement& element, int depth, std::string& out) {
    for (const XmlNode& node : element.nodes) {
        switch (node.kind) {
            case XmlNodeKind::Element: {
                const XmlElement& child = *node.AsElement();
                Indent(out, depth);
                out += child.isDeclaration ? "declaration " : "element ";
                out += EscapeField(child.name);
                out += '\n';
                ListTree(child, depth + 1, out);
                break;
            }
            case XmlNodeKind::Attribute:
                Indent(out, depth);
                out += "attribute ";
                out += EscapeField(node.AsAttribute()->name);
                out += ' ';
                out += EscapeField(node.AsAttribute()->value);
                out += '\n';
                break;
            case XmlNodeKind::Text:
                Indent(out, depth);
                out += "text ";
                out += EscapeField(node.AsText()->value);
                out += '\n';
                break;
            case XmlNodeKind::Clear:
                Indent(out, depth);
                out += "clear ";
                out += EscapeField(node.AsClear()->openTag);
                out += ' ';
                out += EscapeField(node.AsClear()->value);
                out += '\n';
                break;
            case XmlNodeKind::Empty:
                break;
        }
    }
}

// `tree` and `xml`: read and parse, then hand the root on.
template <class Print>
int WithParsedFile(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   Print print) {
    if (args.size() != 2) {
        return Usage(err, args[0] + " takes exactly one FILE");
    }
    const std::optional<std::string> text = ReadInput(args[1]);
    if (!text) {
        return Unreadable(err, args[1]);
    }
    XmlResults results;
    const XmlRoot root = XmlParseText(*text, &results);
    if (!root) {
        out << "error " << static_cast<int>(results.error) << ' ' << XmlErrorText(results.error)
            << " at " << results.line << ':' << results.column << '\n';
        return kExitRefused;
    }
    print(*root);
    return kExitOk;
}

int Md5(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        return Usage(err, "md5 takes exactly one FILE");
    }
    const std::optional<std::string> digest = FileMd5(args[1]);
    if (!digest) {
        err << "safetycrc: cannot read " << args[1] << '\n';
        return kExitUsage;
    }
    out << *digest << '\n';
    return kExitOk;
}

// A catalog that does not parse: the parser's error line, as `tree` prints it.
int RefuseUnparsed(std::string_view text, std::ostream& out) {
    XmlResults results;
    (void)XmlParseText(text, &results);
    out << "error " << static_cast<int>(results.error) << ' ' << XmlErrorText(results.error)
        << " at " << results.line << ':' << results.column << '\n';
    return kExitRefused;
}

int Catalog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        return Usage(err, "catalog takes exactly one FILE");
    }
    std::optional<std::string> text = ReadInput(args[1]);
    if (!text) {
        return Unreadable(err, args[1]);
    }
    CatalogData catalog;
    catalog.Load(std::move(*text));
    if (!catalog.catalogDoc) {
        return RefuseUnparsed(catalog.catalogText, out);
    }
    if (catalog.manufacturerList.empty()) {
        err << "safetycrc: " << args[1] << " holds no manufacturer"
            << (catalog.catalogDoc ? "" : " (the file does not parse)") << '\n';
        return kExitRefused;
    }
    std::string lines;
    for (const CatalogManufacturer& manufacturer : catalog.manufacturerList) {
        lines += "manufacturer " + EscapeField(manufacturer.name) + ' ' +
                 EscapeField(manufacturer.identNumber) + '\n';
        for (const CatalogDevice& device : ReadDevices(manufacturer.node)) {
            lines += "  device " + EscapeField(device.name) + ' ' +
                     EscapeField(device.identNumber) +
                     " enableBusAddress=" + std::to_string(device.enableBusAddress) +
                     " busAddress=" + std::to_string(device.busAddress) +
                     " minAddr=" + std::to_string(device.minAddr) +
                     " maxAddr=" + std::to_string(device.maxAddr) +
                     " busSpeed=" + std::to_string(device.busSpeed) +
                     " offsetModulParamStream=" + std::to_string(device.offsetModulParamStream) +
                     " dataFormat=" + std::to_string(static_cast<int>(device.dataFormat)) + '\n';
            for (const CatalogModule& module : ReadModules(device.node)) {
                lines +=
                    "    module " + EscapeField(module.name) + ' ' +
                    EscapeField(module.identNumber) + " major=" + std::to_string(module.major) +
                    " minor=" + std::to_string(module.minor) + " type=" + EscapeField(module.type) +
                    " modulPlcAddress=" + std::to_string(module.modulPlcAddress) +
                    " minAddr=" + std::to_string(module.minAddr) +
                    " maxAddr=" + std::to_string(module.maxAddr) +
                    " lenModulParam=" + std::to_string(module.lenModulParam) +
                    " lenUserParam=" + std::to_string(module.lenUserParam) + '\n';
                for (const CatalogParameter& parameter :
                     ReadParameters(module.parameterListElement)) {
                    lines +=
                        "      parameter " + EscapeField(parameter.name) +
                        " type=" + std::to_string(static_cast<int>(parameter.type)) +
                        " paramView=" + std::to_string(static_cast<int>(parameter.paramView)) +
                        " defaultValue=" + ParameterNumber(parameter.type, parameter.defaultValue) +
                        " min=" + ParameterNumber(parameter.type, parameter.min) +
                        " max=" + ParameterNumber(parameter.type, parameter.max) +
                        " bitOffset=" + std::to_string(parameter.bitOffset) +
                        " bitLength=" + std::to_string(parameter.bitLength) + '\n';
                    for (const CatalogEnumItem& item : ReadEnumItems(parameter.node)) {
                        lines += "        item " + EscapeField(item.valueText) +
                                 " valueItem=" + std::to_string(item.valueItem) + '\n';
                    }
                }
            }
        }
    }
    out << lines;
    return kExitOk;
}

// A --set value: decimal with an optional sign, or 0x and up to eight hex digits; the result
// is the 32-bit pattern. Values that do not fit 32 bits are refused rather than cut.
std::optional<uint32_t> ParseSetValue(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        if (digits.size() > 8) {
            return std::nullopt;
        }
        uint32_t value = 0;
        for (const char c : digits) {
            const int digit = HexDigitValue(c);
            if (digit < 0) {
                return std::nullopt;
            }
            value = (value << 4) | static_cast<uint32_t>(digit);
        }
        return value;
    }
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    uint64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
    }
    if (negative ? magnitude > 0x80000000ull : magnitude > 0xFFFFFFFFull) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
}

struct CrcOptions {
    std::string file;
    std::optional<std::string> vendor;
    std::optional<std::string> device;
    std::optional<std::string> module;
    std::vector<std::pair<std::string, uint32_t>> sets;
    bool decimal = false;
};

// The name of the first record that has a list entry (a name), as the window's lists start.
template <class Record>
std::optional<std::string> FirstEntry(const std::vector<Record>& list) {
    for (const Record& record : list) {
        if (!record.name.empty()) {
            return record.name;
        }
    }
    return std::nullopt;
}

int Crc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CrcOptions options;
    bool haveFile = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](const char* option) -> const std::string* {
            if (i + 1 >= args.size()) {
                Usage(err, std::string(option) + " needs a value");
                return nullptr;
            }
            return &args[++i];
        };
        if (arg == "--vendor" || arg == "--device" || arg == "--module") {
            const std::string* name = value(arg.c_str());
            if (name == nullptr) {
                return kExitUsage;
            }
            (arg == "--vendor"   ? options.vendor
             : arg == "--device" ? options.device
                                 : options.module) = *name;
        } else if (arg == "--set") {
            const std::string* assignment = value("--set");
            if (assignment == nullptr) {
                return kExitUsage;
            }
            const size_t equals = assignment->rfind('=');
            if (equals == std::string::npos) {
                return Usage(err, "--set needs PARAM=VALUE, not \"" + *assignment + "\"");
            }
            const std::optional<uint32_t> number = ParseSetValue(assignment->substr(equals + 1));
            if (!number) {
                return Usage(err, "--set " + *assignment +
                                      ": VALUE must be a 32-bit decimal number or 0x followed "
                                      "by up to 8 hex digits");
            }
            options.sets.emplace_back(assignment->substr(0, equals), *number);
        } else if (arg == "--dec") {
            options.decimal = true;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return Usage(err, "unknown option " + arg);
        } else if (!haveFile) {
            options.file = arg;
            haveFile = true;
        } else {
            return Usage(err, "crc takes exactly one FILE");
        }
    }
    if (!haveFile) {
        return Usage(err, "crc needs a catalog FILE");
    }

    std::optional<std::string> text = ReadInput(options.file);
    if (!text) {
        return Unreadable(err, options.file);
    }
    CatalogData catalog;
    catalog.Load(std::move(*text));
    if (!catalog.catalogDoc) {
        return RefuseUnparsed(catalog.catalogText, out);
    }

    auto unknown = [&](std::string_view what, const std::optional<std::string>& name) {
        err << "safetycrc: " << options.file << ": "
            << (name ? "unknown " + std::string(what) + " \"" + *name + "\""
                     : "no " + std::string(what) + " to select")
            << '\n';
        return kExitUsage;
    };

    const std::optional<std::string> vendor =
        options.vendor ? options.vendor : FirstEntry(catalog.manufacturerList);
    if (!vendor || catalog.LoadDevices(*vendor) == nullptr) {
        return unknown("vendor", options.vendor);
    }
    const std::optional<std::string> deviceName =
        options.device ? options.device : FirstEntry(catalog.deviceList);
    const CatalogDevice* device = deviceName ? catalog.LoadModules(*deviceName) : nullptr;
    if (device == nullptr) {
        return unknown("device", options.device);
    }
    const std::optional<std::string> moduleName =
        options.module ? options.module : FirstEntry(catalog.moduleList);
    const CatalogModule* module = moduleName ? catalog.LoadParameters(*moduleName) : nullptr;
    if (module == nullptr) {
        return unknown("module", options.module);
    }

    for (CatalogParameter& parameter : catalog.parameterList) {
        parameter.value = parameter.defaultValue;
    }
    for (const auto& [name, number] : options.sets) {
        CatalogParameter* target = nullptr;
        for (CatalogParameter& parameter : catalog.parameterList) {
            if (!name.empty() && parameter.name == name) {
                target = &parameter;
                break;
            }
        }
        if (target == nullptr) {
            return unknown("parameter", name);
        }
        target->value = number;
    }
    // Say so when a --set value is not one the catalog allows or its field can hold (the image
    // then keeps other bits, and no CRC is given for it). Later --set of a parameter win, so
    // only the values that reach the image are judged.
    for (const CatalogParameter& parameter : catalog.parameterList) {
        const bool set =
            std::any_of(options.sets.begin(), options.sets.end(),
                        [&](const auto& entry) { return entry.first == parameter.name; });
        if (!set || parameter.bitLength < 1 || parameter.bitLength > 32) {
            continue;  // an impossible field is refused below
        }
        const uint32_t value = parameter.value;
        const int bits = parameter.bitLength;
        const uint32_t mask = bits == 32 ? UINT32_MAX : (uint32_t{1} << bits) - 1;
        const uint32_t field = value & mask;
        // An Int field holds its value in two's complement: -3 fits three bits.
        uint32_t held = field;
        if (parameter.type == ParamType::Int && bits < 32 && (field >> (bits - 1)) != 0) {
            held |= ~mask;
        }
        const bool wider = held != value;
        const bool outside = !WithinLimits(parameter.type, value, parameter.min, parameter.max);
        if (!wider && !outside) {
            continue;
        }
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", field);
        err << "warning: parameter " << EscapeField(parameter.name) << " value "
            << ParameterNumber(parameter.type, value) << " is "
            << (outside ? "outside its limits" : "within its limits") << ' '
            << ParameterNumber(parameter.type, parameter.min) << " to "
            << ParameterNumber(parameter.type, parameter.max)
            << (wider ? " and wider than its " : " and fits its ") << bits
            << "-bit field; the image holds " << ParameterNumber(parameter.type, held) << " ("
            << hex << ")\n";
    }

    ParamStream image;
    try {
        image = BuildParamStream(device->dataFormat, uint32_t{module->lenUserParam} + 4,
                                 catalog.parameterList);
    } catch (const ParamStreamError& error) {
        out << "error image " << error.what() << '\n';
        return kExitRefused;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string line = "image ";
    for (const uint8_t byte : image.data) {
        line += kHex[byte >> 4];
        line += kHex[byte & 0x0F];
    }
    uint32_t crc = 0;
    try {
        crc = ImageSafetyCrc(image, module->lenUserParam, catalog.parameterList);
    } catch (const ParamStreamError&) {
        // The image does not read back as the values, or the two CRC routines disagree: no
        // number at all rather than one nobody can trust.
        out << line << "\ncrc error\n";
        return kExitRefused;
    }
    char number[16];
    std::snprintf(number, sizeof number, options.decimal ? "%u" : "%X", crc);
    out << line << "\ncrc " << number << '\n';
    return kExitOk;
}

}  // namespace

namespace {

int Tree(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return WithParsedFile(args, out, err, [&](const XmlElement& root) {
        std::string lines;
        ListTree(root, 0, lines);
        out << lines;
    });
}

int Xml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return WithParsedFile(args, out, err,
                          [&](const XmlElement& root) { out << *XmlCreateString(&root); });
}

struct Command {
    std::string_view name;
    std::string_view usage;  // the arguments and what the command does, as the usage lists it
    std::string_view help;   // more about it, for "safetycrc help COMMAND"; may be empty
    int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
};

// Every command of safetycrc, in the order the usage lists them.
constexpr Command kCommands[] = {
    {"tree", "tree FILE      parse FILE and list its element tree\n",
     "\nOne node a line, indented two blanks a level: elements with their names, attributes\n"
     "with their values as written (quotes included), texts and clear sections.\n",
     Tree},
    {"xml", "xml FILE       parse FILE and write it back on one line\n",
     "\nThe one-line form in which the tool writes every XML file.\n", Xml},
    {"md5", "md5 FILE       print the MD5 digest of FILE\n",
     "\n32 lowercase hexadecimal digits, as the settings file holds the digests of the catalogs\n"
     "and language packs.\n",
     Md5},
    {"catalog",
     "catalog FILE   list every manufacturer, device, module, parameter and item of a catalog\n",
     "\nOne record a line, in catalog order, with the values as the window reads them.\n", Catalog},
    {"crc",
     "crc FILE [--vendor NAME] [--device NAME] [--module NAME] [--set PARAM=VALUE]... [--dec]\n"
     "                 build a module's parameter image from its default values (changed by\n"
     "                 --set; VALUE is decimal or 0x-hex) and print the image and its safety CRC\n",
     "\nVendor, device and module are chosen as the window does (by default the first of each);\n"
     "every parameter starts at its default value. --dec prints the CRC in decimal.\n"
     "A --set value outside the parameter's limits or wider than its field gets a warning on\n"
     "standard error; when the image does not read back as the values (a value its field\n"
     "cannot hold, overlapping fields) the CRC line is \"crc error\" and the exit status 1.\n",
     Crc},
    {"tpf",
     "tpf TPF CATALOG [--dec]\n"
     "                 read a TPF file as a call by an engineering system does, find its module\n"
     "                 in CATALOG and print the decoded record, values and safety CRC\n",
     "\nThe TPF file is never deleted. A refused call prints one line \"error ID TEXT\" with the\n"
     "message the window would show. --dec prints the CRC in decimal.\n",
     Tpf},
    {"lint", kLintUsage, kLintHelp, Lint},
    {"project",
     "project KFX CATALOG [--dec]\n"
     "                 read a project file (digest checked), match it against CATALOG as the\n"
     "                 window opens it and print what the window would show\n",
     "\nManufacturer, device and module are found by identifier, parameters by bitOffset.\n"
     "A project that cannot be read prints error 123; one that does not fit the catalog\n"
     "error 125 to 129. \"recomputed\" is the CRC over the restored values (--dec: decimal).\n",
     Project},
    {"record", kRecordUsage, kRecordHelp, Record},
    {"audit", kAuditUsage, kAuditHelp, Audit},
    {"diff", kDiffUsage, kDiffHelp, Diff},
    {"selftest", kSelfTestUsage, kSelfTestHelp, SelfTest},
};

void WriteUsage(std::ostream& out) {
    out << "usage: safetycrc COMMAND ARGS...\n\ncommands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.usage;
    }
    out << "\n"
           "exit status: 0 success, 1 input refused (reason on standard output),\n"
           "             2 usage error or unreadable file (reason on standard error)\n";
}

}  // namespace

int Usage(std::ostream& err, std::string_view problem) {
    err << "safetycrc: " << problem << "\n\n";
    WriteUsage(err);
    return kExitUsage;
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

std::optional<FilesAndFormat> ReadFilesAndFormat(const std::vector<std::string>& args,
                                                 std::string& problem) {
    FilesAndFormat result;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--dec") {
            result.decimal = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            problem = "unknown option " + args[i];
            return std::nullopt;
        } else {
            result.files.push_back(args[i]);
        }
    }
    return result;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        return Usage(err, "no command given");
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        if (command == "help" && args.size() > 1) {
            for (const Command& entry : kCommands) {
                if (entry.name == args[1]) {
                    out << "usage: safetycrc " << entry.usage << entry.help;
                    return kExitOk;
                }
            }
            return Usage(err, "unknown command \"" + args[1] + "\"");
        }
        WriteUsage(out);
        return kExitOk;
    }
    if (command == "--version" || command == "-V") {
        out << "safetycrc " << kProgramVersion << '\n';
        return kExitOk;
    }
    for (const Command& entry : kCommands) {
        if (entry.name == command) {
            return entry.run(args, out, err);
        }
    }
    return Usage(err, "unknown command \"" + command + "\"");
}

}  // namespace norvane::cli
