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
    if (!match || catalog.LoadDevices(match->manufacturer) == nullptr) {
        return 0;
    }
    const norvane::CatalogDevice* device = catalog.LoadModules(match->device);
    const norvane::CatalogModule* module = catalog.LoadParameters(match->module);
    if (device == nullptr || module == nullptr) {
        __builtin_trap();  // the match named records that the selection cannot find
    }
    norvane::CatalogDevice selectedDevice = *device;
    const norvane::CatalogModule selectedModule = *module;
    // Decoded even without a stream, so that every record cut is tried on every input.
    (void)norvane::DecodeModuleRecord(tci, selectedDevice, selectedModule, catalog.parameterList);
    try {
        (void)norvane::RecordSafetyCrc(tci.moduleRecord, selectedModule.lenUserParam);
    } catch (const norvane::ParamStreamError&) {
    }
    return 0;
}
