#include "cli/cli_record.h"

#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/messages.h"
#include "base/whole_file.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_project.h"
#include "cli/cli_support.h"
#include "report/project_record.h"
#include "report/verification_record.h"

namespace norvane::cli {

namespace {

// The project file as the record names it: a full path, as the window keeps it.
std::string FullPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

}  // namespace

int Record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::optional<std::string> output;
    RecordLanguage language = RecordLanguage::English;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--lang") {
            if (i + 1 >= args.size()) {
                return Usage(err, arg + " needs a value");
            }
            const std::string& value = args[++i];
            if (arg == "-o") {
                output = value;
            } else if (value == "en" || value == "de") {
                language = value == "de" ? RecordLanguage::German : RecordLanguage::English;
            } else {
                return Usage(err, "--lang takes en or de, not \"" + value + "\"");
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage(err, "unknown option " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        return Usage(err, "record takes a project FILE and a CATALOG");
    }
    CatalogData catalog;
    std::optional<OpenedProject> opened;
    if (const int status = OpenProjectWithCatalog(files[0], files[1], catalog, opened, out, err);
        status != kExitOk) {
        return status;
    }
    const std::string refusal = ProjectRecordRefusal(*opened);
    if (!refusal.empty()) {
        out << "error record " << refusal << '\n';
        return kExitRefused;
    }

    const VerificationRecord record =
        MakeProjectRecord(*opened, files[1], FullPath(files[0]), std::time(nullptr));
    const std::string html = MakeVerificationRecordHtml(record, language);
    if (!output) {
        out << html;
        return kExitOk;
    }
    try {
        WriteWholeFile(html, *output);
    } catch (const FileError&) {
        err << "safetycrc: cannot write " << *output << '\n';
        return kExitUsage;
    }
    return kExitOk;
}

}  // namespace norvane::cli
