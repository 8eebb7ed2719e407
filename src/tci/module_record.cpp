#include "tci/module_record.h"

#include <algorithm>

#include "base/messages.h"
#include "safety/param_stream.h"

namespace norvane {

namespace {

// The record of a module found by ident, length and slot in a PROFIBUS parameter telegram.
// Every read stays inside the telegram: a block whose length byte is 0 (which would never
// move on) or whose slot byte lies beyond the telegram ends the search as not found.
int CutProfibusRecord(TciData& tci, uint16_t lenModulParam, uint16_t lenUserParam) {
    const std::array<uint8_t, kTelegramSize>& telegram = tci.telegram;
    const auto at = [&](int32_t index) { return telegram[static_cast<size_t>(index)]; };
    int32_t pos = tci.prmHexPrefix ? 12 : 5;
    const int32_t limit = (telegram[0] + 2) % 256;
    const int32_t last = limit - static_cast<int32_t>(lenModulParam);
    // pos <= last <= 257 keeps pos + 2 inside the telegram.
    while (pos <= last) {
        if (at(pos + 1) * 256 + at(pos + 2) == tci.moduleIdent && at(pos) == lenModulParam) {
            const int32_t q = (pos + 3 + lenUserParam) % 65536;
            if (static_cast<size_t>(q) + 2 >= kTelegramSize) {
                return kMsgParameterNotInStream;
            }
            if (at(q + 2) == tci.slot) {
                // Bytes behind the converted stream are zeros the engineering system never
                // sent: a block that reaches into them is no record.
                if (pos + int32_t{lenModulParam} > tci.convertedLength ||
                    q + 2 >= tci.convertedLength) {
                    return kMsgNoParameterRecord;
                }
                // The block's length byte equals lenModulParam, so the block fits the record
                // behind its first byte, and pos + 255 stays inside the telegram.
                tci.moduleRecord[0] = 0;
                std::copy_n(telegram.begin() + pos, lenModulParam, tci.moduleRecord.begin() + 1);
                return 0;
            }
        }
        if (at(pos) == 0) {
            return kMsgParameterNotInStream;
        }
        pos += at(pos);
    }
    return kMsgParameterNotInStream;
}

// The record at the device's offset in a PROFINET record data object; refused (154) unless the
// whole record lies inside the converted stream. Only bytes inside the 256-byte record are
// kept.
int CutProfinetRecord(TciData& tci, uint16_t offset, uint16_t lenModulParam) {
    if (int64_t{offset} + lenModulParam > tci.convertedLength) {
        return kMsgNoParameterRecord;
    }
    for (size_t i = 0; i < lenModulParam && i < kModuleRecordSize; ++i) {
        const size_t source = size_t{offset} + i;
        if (source >= kTelegramSize) {
            break;
        }
        tci.moduleRecord[i] = tci.telegram[source];
    }
    return 0;
}

}  // namespace

std::optional<TpfModuleMatch> FindTpfModule(const std::vector<CatalogManufacturer>& manufacturers,
                                            std::string_view identText) {
    for (size_t m = 0; m < manufacturers.size(); ++m) {
        if (manufacturers[m].name.empty()) {
            continue;
        }
        const std::vector<CatalogDevice> devices = ReadDevices(manufacturers[m].node);
        for (size_t d = 0; d < devices.size(); ++d) {
            if (devices[d].name.empty()) {
                continue;
            }
            const std::vector<CatalogModule> modules = ReadModules(devices[d].node);
            for (size_t k = 0; k < modules.size(); ++k) {
                if (!modules[k].name.empty() && modules[k].identNumber == identText) {
                    return TpfModuleMatch{m, d, k};
                }
            }
        }
    }
    return std::nullopt;
}

int TciStartRefusal(const TciData& tci) {
    if (tci.moduleItemSelected && tci.moduleFound) {
        const bool usable = tci.telegramLength > 0 && tci.convertedLength > 0 &&
                            BusKindOf(tci.busCategory) != BusKind::Unknown;
        return usable ? 0 : kMsgNoParameterRecord;
    }
    return tci.moduleItemSelected ? kMsgModuleNotSupported : kMsgNoModuleSelected;
}

std::optional<uint32_t> ExtractParamValue(std::span<const uint8_t> record, DataFormat dataFormat,
                                          ParamType type, int32_t bitOffset, int32_t bitLength,
                                          uint16_t lenModulParam) {
    // A received record's last bit is not taken: a field must end before bit 8 x lenModulParam.
    const int64_t end = int64_t{bitOffset} + bitLength;
    if (bitOffset < 0 || bitLength < 0 || bitLength > 32 || end >= 8 * int64_t{lenModulParam}) {
        return std::nullopt;
    }
    // The last bit read: the field's own for numbers, the first one for Bool.
    const int64_t lastBit = type == ParamType::Bool || bitLength == 0 ? bitOffset : end - 1;
    if (lastBit >= 8 * static_cast<int64_t>(record.size())) {
        return std::nullopt;
    }
    return ReadField(record, dataFormat, type, static_cast<uint32_t>(bitOffset),
                     static_cast<uint32_t>(bitLength));
}

DecodeResult DecodeModuleRecord(TciData& tci, CatalogDevice& device, const CatalogModule& module,
                                std::vector<CatalogParameter>& parameterList) {
    DecodeResult result;
    tci.moduleRecord.fill(0);
    switch (BusKindOf(tci.busCategory)) {
        case BusKind::Profibus:
            result.refusal = CutProfibusRecord(tci, module.lenModulParam, module.lenUserParam);
            break;
        case BusKind::Profinet:
            result.refusal =
                CutProfinetRecord(tci, device.offsetModulParamStream, module.lenModulParam);
            break;
        case BusKind::Unknown:
            result.refusal = kMsgNoParameterRecord;
            break;
    }
    if (result.refusal != 0) {
        // The rest still runs, on a zero record.
        tci.moduleRecord.fill(0);
    }
    for (size_t i = 0; i < parameterList.size(); ++i) {
        CatalogParameter& parameter = parameterList[i];
        const std::optional<uint32_t> value =
            ExtractParamValue(tci.moduleRecord, device.dataFormat, parameter.type,
                              parameter.bitOffset, parameter.bitLength, module.lenModulParam);
        parameter.value = value.value_or(0);
        if (!value) {
            result.parameterErrors.push_back(i);
        }
    }
    device.busAddress = tci.busAddress;
    return result;
}

uint32_t ReceivedRecordCrc(std::span<const uint8_t> record, DataFormat dataFormat,
                           const CatalogModule& module,
                           const std::vector<CatalogParameter>& parameterList) {
    const uint32_t crc = RecordSafetyCrc(record, module.lenUserParam);
    // The values shown must be the record's: a field that cannot be decoded showed 0, which
    // is not what the record holds.
    for (const CatalogParameter& parameter : parameterList) {
        const std::optional<uint32_t> received =
            ExtractParamValue(record, dataFormat, parameter.type, parameter.bitOffset,
                              parameter.bitLength, module.lenModulParam);
        if (!received || *received != parameter.value) {
            throw ReadBackError("parameter \"" + parameter.name +
                                "\" is not the value the received record holds");
        }
    }
    return crc;
}

}  // namespace norvane
