#include "cli/cli_project.h"

#include <optional>
#include <string_view>

#include "base/messages.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/field_escape.h"
#include "project/project_file.h"
#include "project/project_match.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"

namespace norvane::cli {

namespace {

int Refused(std::ostream& out, int id) {
    out << "error " << id << ' ' << BuiltInMessage(id) << '\n';
    return kExitRefused;
}

std::string Flag(bool value) {
    return value ? "1" : "0";
}

}  // namespace

int Project(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    bool decimal = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--dec") {
            decimal = true;
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return Usage(err, "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) {
        return Usage(err, "project takes a project FILE and a CATALOG");
    }
    std::optional<std::string> catalogText = ReadInput(files[1]);
    if (!catalogText) {
        return Unreadable(err, files[1]);
    }

    ProjectData project;
    try {
        project = ReadProjectFile(files[0]);
    } catch (const ProjectFileFailure&) {
        return Refused(out, kMsgProjectOpenFailed);
    }
    CatalogData catalog;
    catalog.Load(std::move(*catalogText));
    ProjectMatch match;
    try {
        match = MatchProject(catalog, project);
    } catch (const ProjectMatchFailure& failure) {
        return Refused(out, failure.MessageId());
    }

    const int32_t format = decimal ? 1 : 0;
    std::string lines;
    const auto record = [&](std::string_view kind, const auto& found, bool accepted) {
        lines += std::string(kind) + ' ' + EscapeField(found.name) + ' ' +
                 EscapeField(found.identNumber) + " accepted=" + Flag(accepted) + '\n';
    };
    record("manufacturer", *match.manufacturer, project.manufacturerAccepted);
    record("device", *match.device, project.deviceAccepted);
    record("module", *match.module, project.moduleAccepted);
    lines += "description " + EscapeField(ProjectDescription(project.description)) + '\n';
    lines += "busAddress " + std::to_string(project.busAddress) +
             " accepted=" + Flag(project.busAddressAccepted) + '\n';
    lines += "crc " + FormatCrc(project.crcValid, project.crc, format) +
             " valid=" + Flag(project.crcValid) + '\n';
    for (const CatalogParameter& parameter : catalog.parameterList) {
        lines += "parameter " + EscapeField(parameter.name) + ' ' +
                 std::to_string(AsSigned(parameter.value)) +
                 " accepted=" + Flag(parameter.verified != 0) + '\n';
    }
    // What Calc-CRC would show now: the image of the restored values in edit mode.
    const uint16_t covered = match.module->lenUserParam;
    std::string recomputed;
    try {
        const ParamStream image = BuildParamStream(match.device->dataFormat, uint32_t{covered} + 4,
                                                   catalog.parameterList);
        recomputed = FormatCrc(true, RecordSafetyCrc(image.data, covered), format);
    } catch (const ParamStreamError&) {
        recomputed = "error";
    }
    out << lines << "recomputed " << recomputed << '\n';
    return kExitOk;
}

}  // namespace norvane::cli
