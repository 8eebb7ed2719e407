// Any bytes as a TPF text and a device catalog, separated by the first NUL byte: read the call,
// find its module in the catalog, cut the record out of the stream and decode every value, as
// a TCI start and `safetycrc tpf` do.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/catalog.h"
#include "safety/param_stream.h"
#include "tci/module_record.h"
#include "tci/tpf_reader.h"
#include "verification/verification_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    norvane::TpfDocument tpf;
    norvane::TciData tci;
    if (!norvane::ReadTpfText(std::string(input.substr(0, split)), tpf, tci)) {
        return 0;
    }
    norvane::CatalogData catalog;
    catalog.Load(split == std::string_view::npos ? std::string()
                                                 : std::string(input.substr(split + 1)));
    const std::optional<norvane::TpfModuleMatch> match =
        norvane::FindTpfModule(catalog.manufacturerList, tci.moduleIdentText);
    tci.moduleFound = match.has_value();
    (void)norvane::TciStartRefusal(tci);
    if (!match) {
        return 0;
    }
    norvane::VerificationModel model(catalog);
    model.SetMode(norvane::VerificationMode::Tci);
    if (!model.SelectManufacturer(match->manufacturer) || !model.SelectDevice(match->device) ||
        !model.SelectModule(match->module)) {
        __builtin_trap();  // the match named records that the selection cannot find
    }
    // Decoded even without a stream, so that every record cut is tried on every input.
    (void)model.ApplyTciCall(tci);
    // Every received value is confirmed as it is; a CRC, when one is given, must be the
    // record's and go with the values decoded from it.
    for (const norvane::WalkItem& item : model.Items()) {
        (void)model.Accept(item, {});
    }
    if (model.CalcSafetyCrc() == 0 && model.Crc().valid &&
        model.Crc().value != norvane::RecordSafetyCrc(model.Tci().moduleRecord,
                                                      model.SelectedModule().lenUserParam)) {
        __builtin_trap();
    }
    return 0;
}
