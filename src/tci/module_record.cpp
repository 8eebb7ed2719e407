#include "tci/module_record.h"

#include <algorithm>

#include "base/messages.h"

namespace norvane {

namespace {

// The record of a module found by ident, length and slot in a PROFIBUS parameter telegram.
// Every read stays inside the telegram: a block whose length byte is 0 (which would never
// move on) or whose slot byte lies beyond the telegram ends the search as not found.
bool CutProfibusRecord(TciData& tci, uint16_t lenModulParam, uint16_t lenUserParam) {
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
                return false;
            }
            if (at(q + 2) == tci.slot) {
                // The block's length byte equals lenModulParam, so the block fits the record
                // behind its first byte, and pos + 255 stays inside the telegram.
                tci.moduleRecord[0] = 0;
                std::copy_n(telegram.begin() + pos, lenModulParam, tci.moduleRecord.begin() + 1);
                return true;
            }
        }
        if (at(pos) == 0) {
            return false;
        }
        pos += at(pos);
    }
    return false;
}

// The record at the device's offset in a PROFINET record data object; only bytes inside both
// the telegram and the record are copied, the rest stays 0.
void CutProfinetRecord(TciData& tci, uint16_t offset, uint16_t lenModulParam) {
    for (size_t i = 0; i < lenModulParam && i < kModuleRecordSize; ++i) {
        const size_t source = size_t{offset} + i;
        if (source >= kTelegramSize) {
            break;
        }
        tci.moduleRecord[i] = tci.telegram[source];
    }
}

}  // namespace

std::optional<TpfModuleMatch> FindTpfModule(const std::vector<CatalogManufacturer>& manufacturers,
                                            std::string_view identText) {
    TpfModuleMatch match;
    for (const CatalogManufacturer& manufacturer : manufacturers) {
        if (manufacturer.name.empty()) {
            continue;
        }
        const std::vector<CatalogDevice> devices =
            ReadDevices(FindByName(manufacturers, manufacturer.name)->node);
        match.deviceIndex = 0;
        for (const CatalogDevice& device : devices) {
            if (device.name.empty()) {
                continue;
            }
            const std::vector<CatalogModule> modules =
                ReadModules(FindByName(devices, device.name)->node);
            match.moduleIndex = 0;
            for (const CatalogModule& module : modules) {
                if (module.name.empty()) {
                    continue;
                }
                if (FindByName(modules, module.name)->identNumber == identText) {
                    match.manufacturer = manufacturer.name;
                    match.device = device.name;
                    match.module = module.name;
                    return match;
                }
                ++match.moduleIndex;
            }
            ++match.deviceIndex;
        }
        ++match.manufacturerIndex;
    }
    return std::nullopt;
}

int TciStartRefusal(const TciData& tci) {
    if (tci.moduleItemSelected && tci.moduleFound) {
        return tci.telegramLength > 0 ? 0 : kMsgNoParameterRecord;
    }
    return tci.moduleItemSelected ? kMsgModuleNotSupported : kMsgNoModuleSelected;
}

std::optional<uint32_t> ExtractParamValue(std::span<const uint8_t> record, ParamType type,
                                          int32_t bitOffset, int32_t bitLength,
                                          uint16_t lenModulParam) {
    const int64_t end = int64_t{bitOffset} + bitLength;
    if (bitOffset < 0 || bitLength < 0 || bitLength > 32 || end >= 8 * int64_t{lenModulParam}) {
        return std::nullopt;
    }
    // The last bit read: the field's own for numbers, the first one for Bool.
    const int64_t lastBit = type == ParamType::Bool || bitLength == 0 ? bitOffset : end - 1;
    if (lastBit >= 8 * static_cast<int64_t>(record.size())) {
        return std::nullopt;
    }
    size_t byteIndex = static_cast<size_t>(bitOffset / 8);
    int k = bitOffset % 8;
    switch (type) {
        case ParamType::Bool:
            return (record[byteIndex] >> k) & 1u;
        case ParamType::Int:
        case ParamType::UInt: {
            uint32_t v = 0;
            for (int j = 0; j < bitLength; ++j) {
                if (k > 7) {
                    k = 0;
                    ++byteIndex;
                }
                if ((record[byteIndex] >> k) & 1u) {
                    v |= uint32_t{1} << j;
                }
                ++k;
            }
            if (bitLength == 16) {
                v = ((v & 0xFFu) << 8) | ((v >> 8) & 0xFFu);
            } else if (bitLength == 32) {
                v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
            }
            // No sign extension: an Int shorter than 32 bits is its raw bit pattern.
            return v;
        }
        case ParamType::None:
            break;
    }
    return 0;
}

DecodeResult DecodeModuleRecord(TciData& tci, CatalogDevice& device, const CatalogModule& module,
                                std::vector<CatalogParameter>& parameterList) {
    DecodeResult result;
    tci.moduleRecord.fill(0);
    if (tci.busCategory == kBusCategoryProfibus) {
        result.recordFound = CutProfibusRecord(tci, module.lenModulParam, module.lenUserParam);
        if (!result.recordFound) {
            // The rest still runs, on a zero record.
            tci.moduleRecord.fill(0);
        }
    } else if (tci.busCategory == kBusCategoryProfinet) {
        CutProfinetRecord(tci, device.offsetModulParamStream, module.lenModulParam);
    }
    for (size_t i = 0; i < parameterList.size(); ++i) {
        CatalogParameter& parameter = parameterList[i];
        const std::optional<uint32_t> value =
            ExtractParamValue(tci.moduleRecord, parameter.type, parameter.bitOffset,
                              parameter.bitLength, module.lenModulParam);
        parameter.value = value.value_or(0);
        if (!value) {
            result.parameterErrors.push_back(i);
        }
    }
    device.busAddress = tci.busAddress;
    return result;
}

}  // namespace norvane
