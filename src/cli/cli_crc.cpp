// `safetycrc crc`: a module's parameter image and safety CRC, from its default values and the
// values given on the command line. The steps are in cli_crc_*.cpp (see cli_crc.h).
#include "cli/cli_crc.h"

#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"

namespace norvane::cli {

int RunCrc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
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

}  // namespace norvane::cli
