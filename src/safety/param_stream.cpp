#include "safety/param_stream.h"

#include <string>

#include "safety/safety_crc.h"

namespace norvane {

void ParamStream::Allocate(uint32_t n) {
    data.assign(n, 0);
    size = n;
}

void ParamStream::SetBit(uint32_t position, bool bit) {
    const uint32_t byteIndex = position / 8;
    const uint32_t k = position % 8;
    uint8_t mask = 0;
    switch (dataFormat) {
        case DataFormat::Motorola:
            mask = static_cast<uint8_t>(1u << k);
            break;
        case DataFormat::Intel:
            mask = static_cast<uint8_t>(1u << (7 - k));
            break;
        default:
            throw ParamStreamError("the device's data format is neither Motorola nor Intel");
    }
    if (byteIndex >= size || byteIndex >= data.size()) {
        throw ParamStreamError("bit " + std::to_string(position) + " lies beyond the " +
                               std::to_string(size) + "-byte image");
    }
    if (bit) {
        data[byteIndex] |= mask;
    } else {
        data[byteIndex] &= static_cast<uint8_t>(~mask);
    }
}

void ParamStream::PutBits(uint32_t bitOffset, uint32_t bitLength, uint32_t value) {
    if (bitLength == 0 || bitLength > 32) {
        throw ParamStreamError("bit length " + std::to_string(bitLength) + " is not 1 to 32");
    }
    if (dataFormat != DataFormat::Motorola && dataFormat != DataFormat::Intel) {
        throw ParamStreamError("the device's data format is neither Motorola nor Intel");
    }
    // Refuse the whole field up front, so that a refused field leaves no bits behind.
    if (uint64_t{bitOffset} + bitLength > uint64_t{size} * 8) {
        throw ParamStreamError("bits " + std::to_string(bitOffset) + " to " +
                               std::to_string(uint64_t{bitOffset} + bitLength - 1) +
                               " lie beyond the " + std::to_string(size) + "-byte image");
    }
    for (uint32_t k = 0; k < bitLength; ++k) {
        SetBit(bitOffset + k, ((value >> k) & 1u) != 0);
    }
}

uint32_t SwapFieldBytes(uint32_t value, int32_t bitLength) {
    if (bitLength == 16) {
        return ((value & 0xFFu) << 8) | ((value >> 8) & 0xFFu);
    }
    if (bitLength == 32) {
        return (value << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) | (value >> 24);
    }
    return value;
}

bool FieldInside(int64_t bitOffset, int64_t bitLength, size_t bytes) {
    return bitOffset >= 0 && bitLength >= 1 && bitLength <= 32 &&
           bitOffset + bitLength <= static_cast<int64_t>(bytes) * 8;
}

uint32_t ReadField(std::span<const uint8_t> record, DataFormat dataFormat, ParamType type,
                   uint32_t bitOffset, uint32_t bitLength) {
    const auto bitAt = [&](uint64_t position) {
        const auto k = static_cast<unsigned>(position % 8);
        const unsigned shift = dataFormat == DataFormat::Intel ? 7 - k : k;
        // Unsigned before the shift: a byte would be promoted to int.
        const unsigned byte = record[static_cast<size_t>(position / 8)];
        return (byte >> shift) & 1u;
    };
    switch (type) {
        case ParamType::Bool:
            return bitAt(bitOffset);
        case ParamType::Int:
        case ParamType::UInt: {
            if (bitLength == 0) {
                return 0;
            }
            uint32_t v = 0;
            for (uint32_t j = 0; j < bitLength; ++j) {
                v |= bitAt(uint64_t{bitOffset} + j) << j;
            }
            v = SwapFieldBytes(v, static_cast<int32_t>(bitLength));
            if (type == ParamType::Int && bitLength < 32 && ((v >> (bitLength - 1)) & 1u) != 0) {
                v |= ~((uint32_t{1} << bitLength) - 1);
            }
            return v;
        }
        case ParamType::None:
            break;
    }
    return 0;
}

bool FieldHolds(ParamType type, int32_t bitLength, uint32_t value) {
    if (bitLength < 1 || bitLength > 32) {
        return false;
    }
    ParamStream field;
    field.dataFormat = DataFormat::Motorola;
    field.Allocate(4);
    const auto length = static_cast<uint32_t>(bitLength);
    field.PutBits(0, length, SwapFieldBytes(value, bitLength));
    return ReadField(field.data, field.dataFormat, type, 0, length) == value;
}

std::optional<size_t> FirstUnreadParameter(std::span<const uint8_t> image, DataFormat dataFormat,
                                           const std::vector<CatalogParameter>& parameterList) {
    for (size_t i = 0; i < parameterList.size(); ++i) {
        const CatalogParameter& parameter = parameterList[i];
        if (!FieldInside(parameter.bitOffset, parameter.bitLength, image.size()) ||
            ReadField(image, dataFormat, parameter.type, static_cast<uint32_t>(parameter.bitOffset),
                      static_cast<uint32_t>(parameter.bitLength)) != parameter.value) {
            return i;
        }
    }
    return std::nullopt;
}

ParamStream BuildParamStream(DataFormat dataFormat, uint32_t size,
                             const std::vector<CatalogParameter>& parameterList) {
    ParamStream stream;
    stream.dataFormat = dataFormat;
    stream.Allocate(size);
    for (const CatalogParameter& parameter : parameterList) {
        const uint32_t value = SwapFieldBytes(parameter.value, parameter.bitLength);
        try {
            stream.PutBits(static_cast<uint32_t>(parameter.bitOffset),
                           static_cast<uint32_t>(parameter.bitLength), value);
        } catch (const ParamStreamError& error) {
            throw ParamStreamError("parameter \"" + parameter.name + "\": " + error.what());
        }
    }
    return stream;
}

#ifdef NORVANE_TEST_SEAMS
namespace {

TableCrcRoutine g_tableCrc = &SafetyCrc32;

}  // namespace

TableCrcRoutine SetTableCrcRoutine(TableCrcRoutine routine) {
    const TableCrcRoutine previous = g_tableCrc;
    g_tableCrc = routine != nullptr ? routine : &SafetyCrc32;
    return previous;
}
#else
namespace {

constexpr TableCrcRoutine g_tableCrc = &SafetyCrc32;

}  // namespace
#endif

uint32_t RecordSafetyCrc(std::span<const uint8_t> record, uint16_t lenUserParam) {
    if (record.size() < size_t{4} + lenUserParam) {
        throw ParamStreamError("the record is shorter than the bytes its CRC covers");
    }
    const uint8_t* covered = record.data() + 4;
    const uint32_t byTable = g_tableCrc(lenUserParam, 0, covered, CrcDirection::Forward);
    const uint32_t byBits = SafetyCrc32Bitwise(lenUserParam, 0, covered);
    // A user copies this number into a safety controller: when the two routines do not give
    // the same one, neither can be trusted, and no CRC is given at all.
    if (byTable != byBits) {
        throw ParamStreamError("the table and the bit-wise CRC routines disagree");
    }
    return byTable;
}

uint32_t ImageSafetyCrc(const ParamStream& image, uint16_t lenUserParam,
                        const std::vector<CatalogParameter>& parameterList) {
    const uint32_t crc = RecordSafetyCrc(image.data, lenUserParam);
    // The CRC goes with the values shown: the bytes it covers must hold exactly those, which
    // placing them into their fields does not promise (a value wider than its field loses
    // bits, overlapping fields overwrite each other).
    if (const std::optional<size_t> index =
            FirstUnreadParameter(image.data, image.dataFormat, parameterList)) {
        throw ReadBackError("parameter \"" + parameterList[*index].name +
                            "\" does not read back from the image as its value");
    }
    return crc;
}

uint32_t ParameterImageCrc(DataFormat dataFormat, uint16_t lenUserParam,
                           const std::vector<CatalogParameter>& parameterList) {
    const ParamStream image =
        BuildParamStream(dataFormat, uint32_t{lenUserParam} + 4, parameterList);
    return ImageSafetyCrc(image, lenUserParam, parameterList);
}

}  // namespace norvane
