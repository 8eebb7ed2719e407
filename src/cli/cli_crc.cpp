// `safetycrc crc`: a module's parameter image and safety CRC, from its default values and the
// values given on the command line. The steps are in cli_crc_*.cpp (see cli_crc.h).
#include "cli/cli_crc.h"

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help crc" adds.
constexpr std::string_view kUsage =
    "crc FILE [--vendor NAME] [--device NAME] [--module NAME] [--set PARAM=VALUE]... [--dec]\n"
    "                 build a module's parameter image from its default values (changed by\n"
    "                 --set; VALUE is decimal or 0x-hex) and print the image and its safety CRC\n";
constexpr std::string_view kHelp =
    "\nVendor, device and module are chosen as the window does (by default the first of each);\n"
    "every parameter starts at its default value. --dec prints the CRC in decimal.\n"
    "A --set value outside the parameter's limits or wider than its field gets a warning on\n"
    "standard error; when the image does not read back as the values (a value its field\n"
    "cannot hold, overlapping fields) the CRC line is \"crc error\" and the exit status 1.\n";

int Crc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<CrcOptions> options = ReadCrcOptions(args, err);
    if (!options) {
        return kExitUsage;
    }
    CatalogData catalog;
    CrcSelection selection;
    if (const int status = ReadCatalogInput(options->file, catalog, out, err); status != kExitOk) {
        return status;
    }
    if (const int status = SelectCrcModule(catalog, *options, selection, err); status != kExitOk) {
        return status;
    }
    if (const int status = ApplySetValues(catalog.parameterList, *options, err);
        status != kExitOk) {
        return status;
    }
    WarnAboutSetValues(catalog.parameterList, *options, err);
    return PrintImageAndCrc(selection, catalog.parameterList, options->decimal, out);
}

}  // namespace

constinit const Command kCrcCommand = {"crc", kUsage, kHelp, Crc};

}  // namespace norvane::cli
