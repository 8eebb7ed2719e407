// `safetycrc record`: the verification record of a saved project, as one HTML page.
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "report/project_record.h"
#include "report/verification_record.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help record" adds.
constexpr std::string_view kUsage =
    "record KFX CATALOG [-o FILE] [--lang en|de]\n"
    "                 write the verification record of a verified project file as HTML\n";
constexpr std::string_view kHelp =
    "\nThe project is read and matched against CATALOG as \"safetycrc project\" does, with the\n"
    "same error lines. A record is made only when the project holds a valid CRC, every item is\n"
    "verified and the stored CRC is the one its values give; otherwise one line\n"
    "\"error record TEXT\" and exit status 1. The page goes to standard output, or replaces FILE\n"
    "with -o. --lang de writes it in German (default: English).\n";

// The project file as the record names it: a full path, as the window keeps it.
std::string FullPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

constexpr Option kRecordOptions[] = {{"-o", "value"}, {"--lang", "value"}};

int Record(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> output;
    RecordLanguage language = RecordLanguage::English;
    const auto take = [&](std::string_view option, const std::string& value) -> std::string {
        if (option == "-o") {
            output = value;
        } else if (value == "en" || value == "de") {
            language = value == "de" ? RecordLanguage::German : RecordLanguage::English;
        } else {
            return "--lang takes en or de, not \"" + value + "\"";
        }
        return {};
    };
    const std::optional<std::vector<std::string>> files =
        ReadArguments(args, kRecordOptions, take, err);
    if (!files) {
        return kExitUsage;
    }
    if (files->size() != 2) {
        return Usage(err, "record takes a project FILE and a CATALOG");
    }
    CatalogData catalog;
    std::optional<OpenedProject> opened;
    if (const int status =
            OpenProjectWithCatalog((*files)[0], (*files)[1], catalog, opened, out, err);
        status != kExitOk) {
        return status;
    }
    const std::string refusal = ProjectRecordRefusal(*opened);
    if (!refusal.empty()) {
        return Refuse(out, "record " + refusal);
    }

    const VerificationRecord record =
        MakeProjectRecord(*opened, (*files)[1], FullPath((*files)[0]), std::time(nullptr));
    const std::string html = MakeVerificationRecordHtml(record, language);
    if (!output) {
        out << html;
        return kExitOk;
    }
    return WriteOutputFile(html, *output, err);
}

}  // namespace

constinit const Command kRecordCommand = {"record", kUsage, kHelp, Record};

}  // namespace norvane::cli
