// `safetycrc tpf`: the reading part of a call by an engineering system, without the window.
#include <optional>
#include <string>
#include <string_view>

#include "base/byte_text.h"
#include "base/messages.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/cli_usage.h"
#include "safety/parameter_values.h"
#include "tci/module_record.h"
#include "tci/tpf_reader.h"
#include "verification/verification_model.h"

namespace norvane::cli {

namespace {

// What the usage lists for the command, and what "safetycrc help tpf" adds.
constexpr std::string_view kUsage =
    "tpf TPF CATALOG [--dec]\n"
    "                 read a TPF file as a call by an engineering system does, find its module\n"
    "                 in CATALOG and print the decoded record, values and safety CRC\n";
constexpr std::string_view kHelp =
    "\nThe TPF file is never deleted. A refused call prints one line \"error ID TEXT\" with the\n"
    "message the window would show. --dec prints the CRC in decimal.\n";

int Tpf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::optional<TwoFiles> files =
        ReadTwoFilesAndFormat(args, "tpf takes a TPF file and a catalog FILE", err);
    if (!files) {
        return kExitUsage;
    }
    const std::string& path = files->first;

    TpfDocument tpf;
    TciData tci;
    switch (ReadTpfCall(path, tpf, tci)) {
        case TpfReadStatus::CannotOpen:
            return Unreadable(err, path);
        case TpfReadStatus::CannotRead:
            return RefuseWithMessage(out, kMsgFileNotFound, {path});
        case TpfReadStatus::NotTpf:
        case TpfReadStatus::NotParsed:
            return RefuseWithMessage(out, kMsgNoTpfFormat, {path});
        case TpfReadStatus::Ok:
            break;
    }

    CatalogData catalog;
    if (const int status = LoadCatalogFile(files->second, catalog, err); status != kExitOk) {
        return status;
    }
    if (catalog.manufacturerList.empty()) {
        // The window would not get as far as the TPF file with such a catalog.
        return RefuseWithMessage(out, kMsgNoManufacturer);
    }

    const std::optional<TpfModuleMatch> match =
        FindTpfModule(catalog.manufacturerList, tci.moduleIdentText);
    tci.moduleFound = match.has_value();
    switch (const int refusal = TciStartRefusal(tci)) {
        case 0:
            break;
        case kMsgModuleNotSupported:
            return RefuseWithMessage(out, refusal, {tci.tpfModuleName, tci.moduleIdentText});
        default:
            return RefuseWithMessage(out, refusal);
    }

    // The module as the window shows it for the call, decoded by the same model.
    VerificationModel model(catalog);
    model.SetMode(VerificationMode::Tci);
    model.SelectManufacturer(match->manufacturer);
    model.SetDescription(tci.tpfDeviceName);
    model.SelectDevice(match->device);
    model.SelectModule(match->module);
    const DecodeResult result = model.ApplyTciCall(tci);
    switch (result.refusal) {
        case 0:
            break;
        case kMsgParameterNotInStream:
            return RefuseWithMessage(out, kMsgParameterNotInStream, {tci.moduleIdentText});
        default:
            return RefuseWithMessage(out, result.refusal);
    }
    const TciData& received = model.Tci();

    std::string lines = "bus " + EscapeField(tci.busCategory) + '\n';
    lines += "stream length=" + std::to_string(tci.telegramLength) +
             " hexPrefix=" + (tci.prmHexPrefix ? "1" : "0") + '\n';
    lines += "device " + EscapeField(tci.tpfDeviceName) +
             " busAddress=" + std::to_string(tci.busAddress) +
             " ipAddress=" + EscapeField(tci.ipAddress) + '\n';
    lines += "module " + EscapeField(tci.tpfModuleName) +
             " ident=" + EscapeField(tci.moduleIdentText) +
             " moduleIdent=" + std::to_string(tci.moduleIdent) +
             " slot=" + std::to_string(tci.slot) + '\n';
    lines += "selected " + EscapeField(model.SelectedManufacturer().name) + ' ' +
             EscapeField(model.SelectedDevice().name) + ' ' +
             EscapeField(model.SelectedModule().name) + '\n';
    lines += "record " + HexBytes(received.moduleRecord) + '\n';
    size_t nextError = 0;
    for (size_t i = 0; i < model.Parameters().size(); ++i) {
        const CatalogParameter& parameter = model.Parameters()[i];
        if (nextError < result.parameterErrors.size() && result.parameterErrors[nextError] == i) {
            lines += "warning 118 " + MessageText(kMsgParameterError) + ' ' +
                     EscapeField(parameter.name) + '\n';
            ++nextError;
        }
        lines += "parameter " + EscapeField(parameter.name) + ' ' +
                 ParameterNumber(parameter.type, parameter.value) + '\n';
    }
    // The CRC of the received record, given only when the values shown are the record's.
    const std::optional<uint32_t> crc = model.CurrentSafetyCrc();
    lines += "crc " + FormatCrcOrError(crc, files->crcFormat) + '\n';
    out << lines;
    return crc ? kExitOk : kExitRefused;
}

}  // namespace

constinit const Command kTpfCommand = {"tpf", kUsage, kHelp, Tpf};

}  // namespace norvane::cli
