// `safetycrc project`: a project file read and matched against a catalog as the window opens
// it, with what the window would then show.
#include <optional>
#include <string_view>

#include "base/byte_text.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help project" adds.
constexpr std::string_view kUsage =
    "project KFX CATALOG [--dec]\n"
    "                 read a project file (digest checked), match it against CATALOG as the\n"
    "                 window opens it and print what the window would show\n";
constexpr std::string_view kHelp =
    "\nManufacturer, device and module are found by identifier, parameters by bitOffset.\n"
    "A project that cannot be read prints error 123; one that does not fit the catalog\n"
    "error 125 to 129. \"recomputed\" is the CRC over the restored values (--dec: decimal).\n";

std::string Flag(bool value) {
    return value ? "1" : "0";
}

int Project(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<TwoFiles> files =
        ReadTwoFilesAndFormat(args, "project takes a project FILE and a CATALOG", err);
    if (!files) {
        return kExitUsage;
    }
    CatalogData catalog;
    std::optional<OpenedProject> opened;
    if (const int status =
            OpenProjectWithCatalog(files->first, files->second, catalog, opened, out, err);
        status != kExitOk) {
        return status;
    }
    // What the window shows once it has opened the project: marks it could not restore are
    // gone, and so is a stored CRC that is not the CRC of the values.
    const VerificationModel& model = opened->model;
    const ProjectData collected = model.Collect();

    const int32_t format = files->crcFormat;
    std::string lines;
    const auto record = [&](std::string_view kind, const auto& found, bool accepted) {
        lines += std::string(kind) + ' ' + EscapeField(found.name) + ' ' +
                 EscapeField(found.identNumber) + " accepted=" + Flag(accepted) + '\n';
    };
    record("manufacturer", model.SelectedManufacturer(), collected.manufacturerAccepted);
    record("device", model.SelectedDevice(), collected.deviceAccepted);
    record("module", model.SelectedModule(), collected.moduleAccepted);
    lines += "description " + EscapeField(model.Description()) + '\n';
    lines += "busAddress " + std::to_string(collected.busAddress) +
             " accepted=" + Flag(collected.busAddressAccepted) + '\n';
    lines += "crc " + FormatCrc(model.Crc().valid, model.Crc().value, format) +
             " valid=" + Flag(model.Crc().valid) + '\n';
    for (const CatalogParameter& parameter : model.Parameters()) {
        lines += "parameter " + EscapeField(parameter.name) + ' ' +
                 std::to_string(AsSigned(parameter.value)) +
                 " accepted=" + Flag(parameter.verified != 0) + '\n';
    }
    // What Calc-CRC would show once every value is verified.
    out << lines << "recomputed " << FormatCrcOrError(opened->recomputedCrc, format) << '\n';
    return kExitOk;
}

}  // namespace

constinit const Command kProjectCommand = {"project", kUsage, kHelp, Project};

}  // namespace norvane::cli
