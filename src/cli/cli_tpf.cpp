#include "cli/cli_tpf.h"

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/messages.h"
#include "catalog/catalog.h"
#include "cli/cli_commands.h"
#include "cli/cli_support.h"
#include "cli/field_escape.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"
#include "tci/module_record.h"
#include "tci/tpf_reader.h"
#include "verification/verification_model.h"

namespace norvane::cli {

namespace {

// The one line of a refused start: the message as the window would show it, its line breaks
// written as "\n" so that it stays one line.
int Refuse(std::ostream& out, int id, std::initializer_list<std::string_view> args = {}) {
    std::string text;
    for (const char c : FormatMessage(id, args)) {
        if (c == '\n') {
            text += "\\n";
        } else {
            text += c;
        }
    }
    out << "error " << id << ' ' << text << '\n';
    return kExitRefused;
}

std::string HexBytes(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace

int Tpf(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string problem;
    const std::optional<FilesAndFormat> parsed = ReadFilesAndFormat(args, problem);
    if (!parsed) {
        return Usage(err, problem);
    }
    if (parsed->files.size() != 2) {
        return Usage(err, "tpf takes a TPF file and a catalog FILE");
    }
    const std::vector<std::string>& files = parsed->files;
    const bool decimal = parsed->decimal;
    const std::string& path = files[0];

    TpfDocument tpf;
    TciData tci;
    switch (ReadTpfCall(path, tpf, tci)) {
        case TpfReadStatus::CannotOpen:
            return Unreadable(err, path);
        case TpfReadStatus::CannotRead:
            return Refuse(out, kMsgFileNotFound, {path});
        case TpfReadStatus::NotTpf:
        case TpfReadStatus::NotParsed:
            return Refuse(out, kMsgNoTpfFormat, {path});
        case TpfReadStatus::Ok:
            break;
    }

    std::optional<std::string> catalogText = ReadInput(files[1]);
    if (!catalogText) {
        return Unreadable(err, files[1]);
    }
    CatalogData catalog;
    catalog.Load(std::move(*catalogText));
    if (catalog.manufacturerList.empty()) {
        // The window would not get as far as the TPF file with such a catalog.
        return Refuse(out, kMsgNoManufacturer);
    }

    const std::optional<TpfModuleMatch> match =
        FindTpfModule(catalog.manufacturerList, tci.moduleIdentText);
    tci.moduleFound = match.has_value();
    switch (const int refusal = TciStartRefusal(tci)) {
        case 0:
            break;
        case kMsgModuleNotSupported:
            return Refuse(out, refusal, {tci.tpfModuleName, tci.moduleIdentText});
        default:
            return Refuse(out, refusal);
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
            return Refuse(out, kMsgParameterNotInStream, {tci.moduleIdentText});
        default:
            return Refuse(out, result.refusal);
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
    lines += crc ? "crc " + FormatCrc(true, *crc, decimal ? 1 : 0) + '\n' : "crc error\n";
    out << lines;
    return crc ? kExitOk : kExitRefused;
}

}  // namespace norvane::cli
