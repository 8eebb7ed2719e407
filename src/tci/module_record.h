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

// The catalog selection that shows a TPF module: each record's position in its list.
struct TpfModuleMatch {
    size_t manufacturer = 0;
    size_t device = 0;
    size_t module = 0;
};

// The first module, in manufacturer, device and module order, whose identNumber equals
// `identText` exactly. Only records with a name take part (the others have no list entry).
std::optional<TpfModuleMatch> FindTpfModule(const std::vector<CatalogManufacturer>& manufacturers,
                                            std::string_view identText);

// Why a TCI start stops once the catalog was searched: 0 when the record can be decoded,
// otherwise the number of the message to show (138 no module selected, 112 module not in the
// catalog, 154 no usable byte stream: none read, one of 512 bytes or more that was not
// converted, or a bus category that is neither PROFIBUS nor PROFINET).
int TciStartRefusal(const TciData& tci);

// The value of a parameter's bit field in a received record, as ReadField reads it in the
// device's data format. Nothing (message 118) for a field that does not end before bit
// 8 x lenModulParam, or that lies outside the record, or has a negative offset or length or a
// length above 32.
std::optional<uint32_t> ExtractParamValue(std::span<const uint8_t> record, DataFormat dataFormat,
                                          ParamType type, int32_t bitOffset, int32_t bitLength,
                                          uint16_t lenModulParam);

struct DecodeResult {
    // 0 when the record was cut out; 139 when the PROFIBUS search did not find it, 154 when the
    // part of the stream it would come from was not converted from the TPF file.
    int refusal = 0;
    std::vector<size_t> parameterErrors;  // indexes into the parameter list (message 118)
};

// Cuts the module's record out of `tci.telegram` into `tci.moduleRecord` (a zero record when it
// is refused), sets every parameter's value from it and the device's bus address from the TPF
// file.
DecodeResult DecodeModuleRecord(TciData& tci, CatalogDevice& device, const CatalogModule& module,
                                std::vector<CatalogParameter>& parameterList);

// The CRC of the received record (bytes 4 ... 4 + lenUserParam - 1), given only when every
// parameter's value is the one the record holds for it. Throws ReadBackError when a value
// differs or cannot be read, ParamStreamError as RecordSafetyCrc does.
uint32_t ReceivedRecordCrc(std::span<const uint8_t> record, DataFormat dataFormat,
                           const CatalogModule& module,
                           const std::vector<CatalogParameter>& parameterList);

}  // namespace norvane
