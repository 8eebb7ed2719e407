// Finding the catalog module that a TPF file names, cutting that module's parameter record out
// of the received byte stream and decoding every parameter value from it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/catalog.h"
#include "tci/tci_data.h"

namespace norvane {

// The catalog selection that shows a TPF module: the names as the window's lists carry them,
// and each record's position among the named records of its list.
struct TpfModuleMatch {
    std::string manufacturer;
    std::string device;
    std::string module;
    size_t manufacturerIndex = 0;
    size_t deviceIndex = 0;
    size_t moduleIndex = 0;
};

// The first module, in manufacturer, device and module order, whose identNumber equals
// `identText` exactly. Only records with a name take part, and a name stands for the first
// record of that name in its list, as selecting it in the window does.
std::optional<TpfModuleMatch> FindTpfModule(const std::vector<CatalogManufacturer>& manufacturers,
                                            std::string_view identText);

// Why a TCI start stops once the catalog was searched: 0 when the record can be decoded,
// otherwise the number of the message to show (138 no module selected, 112 module not in the
// catalog, 154 no byte stream).
int TciStartRefusal(const TciData& tci);

// The value of a parameter's bit field in `record`, least significant bit first, with the byte
// exchange of 16- and 32-bit fields. Nothing (message 118) for a field that does not end
// before bit 8 x lenModulParam, or that lies outside the record, or has a negative offset or
// length or a length above 32.
std::optional<uint32_t> ExtractParamValue(std::span<const uint8_t> record, ParamType type,
                                          int32_t bitOffset, int32_t bitLength,
                                          uint16_t lenModulParam);

struct DecodeResult {
    bool recordFound = true;              // false: the PROFIBUS search failed (message 139)
    std::vector<size_t> parameterErrors;  // indexes into the parameter list (message 118)
};

// Cuts the module's record out of `tci.telegram` into `tci.moduleRecord` (a zero record when it
// cannot be found or the bus is neither PROFIBUS nor PROFINET), sets every parameter's value
// from it and the device's bus address from the TPF file.
DecodeResult DecodeModuleRecord(TciData& tci, CatalogDevice& device, const CatalogModule& module,
                                std::vector<CatalogParameter>& parameterList);

}  // namespace norvane
