#include "cli/cli_project.h"

#include <optional>
#include <string_view>

#include "base/messages.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/field_escape.h"
#include "project/project_file.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

std::string Flag(bool value) {
    return value ? "1" : "0";
}

}  // namespace

int RefusedByMessage(std::ostream& out, int id) {
    out << "error " << id << ' ' << BuiltInMessage(id) << '\n';
    return kExitRefused;
}

int OpenProjectWithCatalog(const std::string& projectPath, const std::string& catalogPath,
                           CatalogData& catalog, std::optional<OpenedProject>& opened,
                           std::ostream& out, std::ostream& err) {
    std::optional<std::string> catalogText = ReadInput(catalogPath);
    if (!catalogText) {
        return Unreadable(err, catalogPath);
    }
    catalog.Load(std::move(*catalogText));
    try {
        opened.emplace(OpenProject(catalog, projectPath));
    } catch (const ProjectFileFailure&) {
        return RefusedByMessage(out, kMsgProjectOpenFailed);
    } catch (const ProjectMatchFailure& failure) {
        return RefusedByMessage(out, failure.MessageId());
    }
    return kExitOk;
}

int Project(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string problem;
    const std::optional<FilesAndFormat> parsed = ReadFilesAndFormat(args, problem);
    if (!parsed) {
        return Usage(err, problem);
    }
    if (parsed->files.size() != 2) {
        return Usage(err, "project takes a project FILE and a CATALOG");
    }
    const std::vector<std::string>& files = parsed->files;
    const bool decimal = parsed->decimal;
    CatalogData catalog;
    std::optional<OpenedProject> opened;
    if (const int status = OpenProjectWithCatalog(files[0], files[1], catalog, opened, out, err);
        status != kExitOk) {
        return status;
    }
    // What the window shows once it has opened the project: marks it could not restore are
    // gone, and so is a stored CRC that is not the CRC of the values.
    const VerificationModel& model = opened->model;
    const ProjectData collected = model.Collect();

    const int32_t format = decimal ? 1 : 0;
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
    const std::string recomputed =
        opened->recomputedCrc ? FormatCrc(true, *opened->recomputedCrc, format) : "error";
    out << lines << "recomputed " << recomputed << '\n';
    return kExitOk;
}

}  // namespace norvane::cli
