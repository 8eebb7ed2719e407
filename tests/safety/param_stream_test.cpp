#include "safety/param_stream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "safety/safety_crc.h"

namespace norvane {
namespace {

CatalogParameter Field(int32_t bitOffset, int32_t bitLength, uint32_t value) {
    CatalogParameter parameter;
    parameter.name = "P" + std::to_string(bitOffset);
    parameter.bitOffset = bitOffset;
    parameter.bitLength = bitLength;
    parameter.value = value;
    return parameter;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string out;
    char digits[4];
    for (const uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", byte);
        out += digits;
    }
    if (!out.empty()) {
        out.pop_back();
    }
    return out;
}

TEST(ParamStream, WorkedExampleInBothByteOrders) {
    const std::vector<CatalogParameter> parameters = {Field(32, 16, 0x1234), Field(48, 1, 1),
                                                      Field(49, 3, 5)};
    const ParamStream motorola = BuildParamStream(DataFormat::Motorola, 3 + 4, parameters);
    EXPECT_EQ(Hex(motorola.data), "00 00 00 00 12 34 0B");
    EXPECT_EQ(RecordSafetyCrc(motorola.data, 3), 0xAB5F40D8u);

    const ParamStream intel = BuildParamStream(DataFormat::Intel, 3 + 4, parameters);
    EXPECT_EQ(Hex(intel.data), "00 00 00 00 48 2C D0");
    EXPECT_EQ(RecordSafetyCrc(intel.data, 3), 0x31D85EE7u);
}

TEST(ParamStream, FieldWidthsCutAndSwap) {
    // 16 bits keep only the low half, swapped; 8 bits keep the low byte.
    EXPECT_EQ(Hex(BuildParamStream(DataFormat::Motorola, 6, {Field(32, 16, 0x12345)}).data),
              "00 00 00 00 23 45");
    EXPECT_EQ(Hex(BuildParamStream(DataFormat::Motorola, 5, {Field(32, 8, 0x1FF)}).data),
              "00 00 00 00 FF");
    EXPECT_EQ(Hex(BuildParamStream(DataFormat::Motorola, 8, {Field(32, 32, 0x11223344)}).data),
              "00 00 00 00 11 22 33 44");
    EXPECT_EQ(Hex(BuildParamStream(DataFormat::Intel, 8, {Field(32, 32, 0x11223344)}).data),
              "00 00 00 00 88 44 CC 22");
    // A Bool at bit 40 lands in byte 5, at the low end for Motorola and the high end for Intel.
    EXPECT_EQ(BuildParamStream(DataFormat::Motorola, 6, {Field(40, 1, 1)}).data[5], 0x01);
    EXPECT_EQ(BuildParamStream(DataFormat::Intel, 6, {Field(40, 1, 1)}).data[5], 0x80);
    // Odd offsets straddle bytes, least significant bit first.
    EXPECT_EQ(Hex(BuildParamStream(DataFormat::Motorola, 6, {Field(37, 5, 0x1F)}).data),
              "00 00 00 00 E0 03");
    EXPECT_EQ(SwapFieldBytes(0xAABB1234u, 16), 0x3412u);
    EXPECT_EQ(SwapFieldBytes(0x11223344u, 32), 0x44332211u);
    EXPECT_EQ(SwapFieldBytes(0x11223344u, 24), 0x11223344u);
}

TEST(ParamStream, LaterFieldsWinWhereFieldsOverlap) {
    const std::vector<CatalogParameter> parameters = {Field(32, 8, 0xFF), Field(36, 2, 0)};
    EXPECT_EQ(BuildParamStream(DataFormat::Motorola, 5, parameters).data[4], 0xCF);
    const std::vector<CatalogParameter> reversed = {Field(36, 2, 0), Field(32, 8, 0xFF)};
    EXPECT_EQ(BuildParamStream(DataFormat::Motorola, 5, reversed).data[4], 0xFF);
}

TEST(ParamStream, CoverageStartsAtTheFifthByte) {
    // Fields below bit 32 are in the image but not under the CRC.
    const ParamStream low = BuildParamStream(DataFormat::Motorola, 6, {Field(0, 32, 0xFFFFFFFF)});
    EXPECT_EQ(RecordSafetyCrc(low.data, 2), 0u);
    const ParamStream empty = BuildParamStream(DataFormat::Motorola, 4, {});
    EXPECT_EQ(RecordSafetyCrc(empty.data, 0), 0u);
    EXPECT_THROW(RecordSafetyCrc(empty.data, 1), ParamStreamError);
}

TEST(ParamStream, RefusesFieldsItCannotHold) {
    ParamStream stream;
    stream.dataFormat = DataFormat::Motorola;
    stream.Allocate(6);
    EXPECT_THROW(stream.PutBits(32, 0, 1), ParamStreamError);
    EXPECT_THROW(stream.PutBits(32, 33, 1), ParamStreamError);
    EXPECT_THROW(stream.SetBit(48, true), ParamStreamError);
    // A field running past the end is refused whole: none of its bits are written.
    EXPECT_THROW(stream.PutBits(44, 8, 0xFF), ParamStreamError);
    EXPECT_EQ(Hex(stream.data), "00 00 00 00 00 00");
    // An offset near 2^32 must not wrap around to the start of the image.
    EXPECT_THROW(stream.PutBits(0xFFFFFFF8u, 16, 0xFFFF), ParamStreamError);
    EXPECT_EQ(Hex(stream.data), "00 00 00 00 00 00");
    stream.PutBits(40, 8, 0xA5);
    EXPECT_EQ(stream.data[5], 0xA5);

    stream.dataFormat = DataFormat::None;
    EXPECT_THROW(stream.SetBit(32, true), ParamStreamError);
    EXPECT_THROW(stream.PutBits(32, 1, 1), ParamStreamError);

    EXPECT_THROW(BuildParamStream(DataFormat::Motorola, 6, {Field(-8, 8, 1)}), ParamStreamError);
    EXPECT_THROW(BuildParamStream(DataFormat::Intel, 6, {Field(40, 9, 1)}), ParamStreamError);
    try {
        BuildParamStream(DataFormat::Intel, 6, {Field(40, 40, 1)});
        FAIL();
    } catch (const ParamStreamError& error) {
        EXPECT_NE(std::string(error.what()).find("\"P40\""), std::string::npos) << error.what();
    }
}

CatalogParameter Typed(ParamType type, int32_t bitOffset, int32_t bitLength, uint32_t value) {
    CatalogParameter parameter = Field(bitOffset, bitLength, value);
    parameter.type = type;
    return parameter;
}

// A field reads back when the 32-bit pattern read equals the value's pattern; otherwise the
// values get no CRC at all.
TEST(ParamStream, NoCrcUnlessEveryFieldReadsBackItsValue) {
    const auto minus = [](int32_t value) { return static_cast<uint32_t>(value); };
    struct Case {
        const char* name;
        std::vector<CatalogParameter> parameters;
        bool readsBack;
    };
    const Case cases[] = {
        {"Int -3 in 8 bits", {Typed(ParamType::Int, 32, 8, minus(-3))}, true},
        {"Int 253 in 8 bits is -3 there", {Typed(ParamType::Int, 32, 8, 253)}, false},
        {"Int -128 in 8 bits", {Typed(ParamType::Int, 32, 8, minus(-128))}, true},
        {"Int -129 in 8 bits", {Typed(ParamType::Int, 32, 8, minus(-129))}, false},
        {"Int -2 in 16 bits", {Typed(ParamType::Int, 32, 16, minus(-2))}, true},
        {"Int 32767 in 16 bits", {Typed(ParamType::Int, 32, 16, 32767)}, true},
        {"Int 32768 in 16 bits", {Typed(ParamType::Int, 32, 16, 32768)}, false},
        {"UInt 255 in 8 bits", {Typed(ParamType::UInt, 32, 8, 255)}, true},
        {"UInt 0x1FF in 8 bits", {Typed(ParamType::UInt, 32, 8, 0x1FF)}, false},
        {"UInt 65537 in 16 bits", {Typed(ParamType::UInt, 32, 16, 65537)}, false},
        {"UInt 0x12345 in 16 bits", {Typed(ParamType::UInt, 32, 16, 0x12345)}, false},
        {"any 32-bit value fits 32 bits", {Typed(ParamType::UInt, 32, 32, 0xFFFFFFFFu)}, true},
        {"Int -1 in 32 bits", {Typed(ParamType::Int, 32, 32, minus(-1))}, true},
        {"Bool 1 in 1 bit", {Typed(ParamType::Bool, 32, 1, 1)}, true},
        {"Bool 1 in 8 bits", {Typed(ParamType::Bool, 32, 8, 1)}, true},
        {"Bool 2 in 8 bits", {Typed(ParamType::Bool, 32, 8, 2)}, false},
        {"Bool 1 in 16 bits: the exchange moves its bit",
         {Typed(ParamType::Bool, 32, 16, 1)},
         false},
        {"Bool 0 in 16 bits", {Typed(ParamType::Bool, 32, 16, 0)}, true},
        {"Bool 1 in 32 bits", {Typed(ParamType::Bool, 32, 32, 1)}, false},
        {"unknown type holding 0", {Typed(ParamType::None, 32, 8, 0)}, true},
        {"unknown type holding 5", {Typed(ParamType::None, 32, 8, 5)}, false},
        {"overlap with the same bits",
         {Typed(ParamType::UInt, 32, 8, 0x0F), Typed(ParamType::UInt, 32, 4, 0x0F)},
         true},
        {"overlap with other bits",
         {Typed(ParamType::UInt, 32, 8, 0x0F), Typed(ParamType::UInt, 32, 4, 0x03)},
         false},
        // A field that the image holds reads back at its very end, last byte included.
        {"field ending at the last bit", {Typed(ParamType::UInt, 48, 16, 0xBEEF)}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const DataFormat format : {DataFormat::Motorola, DataFormat::Intel}) {
            const ParamStream image = BuildParamStream(format, 8, c.parameters);
            EXPECT_EQ(FirstUnreadParameter(image.data, format, c.parameters).has_value(),
                      !c.readsBack);
            if (c.readsBack) {
                EXPECT_EQ(ParameterImageCrc(format, 4, c.parameters),
                          RecordSafetyCrc(image.data, 4));
            } else {
                EXPECT_THROW(ParameterImageCrc(format, 4, c.parameters), ReadBackError);
            }
            if (c.parameters.size() == 1) {
                const CatalogParameter& p = c.parameters[0];
                EXPECT_EQ(FieldHolds(p.type, p.bitLength, p.value), c.readsBack);
            }
        }
    }
}

// Values within their fields, placed into an image of either data format and read back, are
// the values placed, whatever the offsets, lengths and types.
TEST(ParamStream, ImageAndDecodingAreInverse) {
    std::mt19937 random(20261209);
    for (int round = 0; round < 2000; ++round) {
        std::vector<CatalogParameter> parameters;
        int32_t offset = 32 + static_cast<int32_t>(random() % 8);
        const int count = 1 + static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            const auto type = static_cast<ParamType>(1 + random() % 3);
            const int32_t length = type == ParamType::Bool
                                       ? (random() % 2 == 0 ? 1 : 8)
                                       : 1 + static_cast<int32_t>(random() % 32);
            uint32_t value = 0;
            if (type == ParamType::Bool) {
                value = random() % 2;
            } else {
                const uint64_t span = uint64_t{1} << length;
                value = static_cast<uint32_t>(random() % span);
                if (type == ParamType::Int && length < 32 && (value >> (length - 1)) != 0) {
                    value |= ~static_cast<uint32_t>(span - 1);  // the negative value of the field
                }
            }
            parameters.push_back(Typed(type, offset, length, value));
            offset += length + static_cast<int32_t>(random() % 3);
        }
        const auto size = static_cast<uint32_t>((offset + 7) / 8);
        for (const DataFormat format : {DataFormat::Motorola, DataFormat::Intel}) {
            const ParamStream image = BuildParamStream(format, size, parameters);
            for (const CatalogParameter& p : parameters) {
                ASSERT_EQ(ReadField(image.data, format, p.type, static_cast<uint32_t>(p.bitOffset),
                                    static_cast<uint32_t>(p.bitLength)),
                          p.value)
                    << "round " << round << " offset " << p.bitOffset << " length " << p.bitLength;
                ASSERT_TRUE(FieldHolds(p.type, p.bitLength, p.value));
            }
            ASSERT_FALSE(FirstUnreadParameter(image.data, format, parameters).has_value());
        }
    }
}

// Puts the table routine back however the test ends.
class TableRoutineSwap {
  public:
    explicit TableRoutineSwap(TableCrcRoutine routine) : previous_(SetTableCrcRoutine(routine)) {}
    ~TableRoutineSwap() { SetTableCrcRoutine(previous_); }
    TableRoutineSwap(const TableRoutineSwap&) = delete;
    TableRoutineSwap& operator=(const TableRoutineSwap&) = delete;

  private:
    TableCrcRoutine previous_;
};

uint32_t OneBitOff(uint32_t length, uint32_t initial, const uint8_t* data, CrcDirection direction) {
    return SafetyCrc32(length, initial, data, direction) ^ 0x00010000u;
}

uint32_t StuckAtZero(uint32_t, uint32_t, const uint8_t*, CrcDirection) {
    return 0;
}

uint32_t LastByteSkipped(uint32_t length, uint32_t initial, const uint8_t* data,
                         CrcDirection direction) {
    return SafetyCrc32(length > 0 ? length - 1 : 0, initial, data, direction);
}

TEST(ParamStream, NoCrcWhenTheTwoRoutinesDisagree) {
    const ParamStream image =
        BuildParamStream(DataFormat::Motorola, 7, {Field(32, 16, 0x1234), Field(48, 8, 0x0B)});
    const ParamStream zeros = BuildParamStream(DataFormat::Motorola, 7, {});
    struct Case {
        const char* name;
        TableCrcRoutine routine;
        bool refusedForImage;
        bool refusedForZeros;  // a stuck routine is caught only where the true CRC is not its value
    };
    const Case cases[] = {
        {"one bit off", &OneBitOff, true, true},
        {"stuck at zero", &StuckAtZero, true, false},
        {"last byte skipped", &LastByteSkipped, true, false},
        {"the real table routine", &SafetyCrc32, false, false},
    };
    for (const Case& c : cases) {
        const TableRoutineSwap swap(c.routine);
        if (c.refusedForImage) {
            EXPECT_THROW(RecordSafetyCrc(image.data, 3), ParamStreamError) << c.name;
        } else {
            EXPECT_EQ(RecordSafetyCrc(image.data, 3), 0xAB5F40D8u) << c.name;
        }
        if (c.refusedForZeros) {
            EXPECT_THROW(RecordSafetyCrc(zeros.data, 3), ParamStreamError) << c.name;
        } else {
            EXPECT_EQ(RecordSafetyCrc(zeros.data, 3), 0u) << c.name;
        }
    }
    // The swap is undone: the real routine gives the CRC again.
    EXPECT_EQ(RecordSafetyCrc(image.data, 3), 0xAB5F40D8u);
    EXPECT_EQ(SetTableCrcRoutine(nullptr), &SafetyCrc32);
}

}  // namespace
}  // namespace norvane
