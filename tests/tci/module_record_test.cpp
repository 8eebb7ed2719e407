#include "tci/module_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "safety/param_stream.h"
#include "safety/safety_crc.h"

namespace norvane {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

struct CutCase {
    const char* what;
    std::string_view bus;
    bool prefix;
    std::vector<std::pair<size_t, std::vector<uint8_t>>> telegram;  // bytes at positions
    uint16_t offset;                                                // offsetModulParamStream
    uint16_t lenModulParam;
    uint16_t lenUserParam;
    int refusal;                  // 0: cut out; 139 not found; 154 not in the converted stream
    std::vector<uint8_t> record;  // the record's first bytes; the rest must be 0
    int32_t converted = 511;      // bytes of the telegram the stream filled
};

TEST(DecodeModuleRecordTest, CutsTheModulesRecordOutOfTheStream) {
    const auto worked = Bytes({0x08, 0x12, 0x34, 0xAA, 0xBB, 0x00, 0x00, 0x03});
    const CutCase cases[] = {
        {"worked example",
         kBusCategoryProfibus,
         false,
         {{0, {0x0B}}, {5, worked}},
         0,
         8,
         2,
         0,
         Bytes({0, 8, 0x12, 0x34, 0xAA, 0xBB, 0, 0, 3})},
        {"the 0x prefix moves the start to byte 12",
         kBusCategoryProfibus,
         true,
         {{0, {0x12}}, {5, worked}, {12, worked}},
         0,
         8,
         2,
         0,
         Bytes({0, 8, 0x12, 0x34, 0xAA, 0xBB, 0, 0, 3})},
        {"a block of another slot is skipped",
         kBusCategoryProfibus,
         false,
         {{0, {0x13}},
          {5, Bytes({0x08, 0x12, 0x34, 0x01, 0x01, 0, 0, 0x04})},
          {13, Bytes({0x08, 0x12, 0x34, 0x02, 0x02, 0, 0, 0x03})}},
         0,
         8,
         2,
         0,
         Bytes({0, 8, 0x12, 0x34, 2, 2, 0, 0, 3})},
        {"a block that ends past the limit is not tried",
         kBusCategoryProfibus,
         false,
         {{0, {0x0A}}, {5, worked}},
         0,
         8,
         2,
         kMsgParameterNotInStream,
         {}},
        {"a length byte of 0 ends the search",
         kBusCategoryProfibus,
         false,
         {{0, {0x40}}, {5, Bytes({0x00, 0x12, 0x34})}, {13, worked}},
         0,
         8,
         2,
         kMsgParameterNotInStream,
         {}},
        {"a slot byte beyond the telegram ends the search",
         kBusCategoryProfibus,
         false,
         {{0, {0x0B}}, {5, worked}},
         0,
         8,
         600,
         kMsgParameterNotInStream,
         {}},
        {"256 bytes never match an 8-bit length",
         kBusCategoryProfibus,
         false,
         {{0, {0xFF}}, {5, Bytes({0x00, 0x12, 0x34})}},
         0,
         256,
         2,
         kMsgParameterNotInStream,
         {}},
        {"PROFINET from the device's offset",
         kBusCategoryProfinet,
         false,
         {{0, Bytes({0, 0, 0, 0x7D, 1, 2, 3, 4, 5})}},
         2,
         6,
         2,
         0,
         Bytes({0, 0x7D, 1, 2, 3, 4})},
        {"a PROFINET record beyond the converted stream is none",
         kBusCategoryProfinet,
         false,
         {{0, Bytes({0, 0, 0, 0x7D, 1, 2, 3, 4, 5})}},
         2,
         8,
         2,
         kMsgNoParameterRecord,
         {},
         9},
        {"a PROFINET record ending with the stream",
         kBusCategoryProfinet,
         false,
         {{0, Bytes({0, 0, 0, 0x7D, 1, 2, 3, 4, 5})}},
         2,
         7,
         2,
         0,
         Bytes({0, 0x7D, 1, 2, 3, 4, 5}),
         9},
        {"a PROFINET record past the telegram is none",
         kBusCategoryProfinet,
         false,
         {{508, Bytes({9, 8, 7, 6})}},
         508,
         200,
         2,
         kMsgNoParameterRecord,
         {}},
        {"a PROFIBUS block reaching beyond the converted stream is none",
         kBusCategoryProfibus,
         false,
         {{0, {0x0B}}, {5, worked}},
         0,
         8,
         2,
         kMsgNoParameterRecord,
         {},
         12},
        {"a stream that was not converted",
         kBusCategoryProfibus,
         false,
         {{0, {0x0B}}, {5, worked}},
         0,
         8,
         2,
         kMsgNoParameterRecord,
         {},
         0},
        {"the bus category in lower case and braces",
         "{036d1499-387b-11d4-86e1-00e0987270b9}",
         false,
         {{0, {0x0B}}, {5, worked}},
         0,
         8,
         2,
         0,
         Bytes({0, 8, 0x12, 0x34, 0xAA, 0xBB, 0, 0, 3})},
        {"any other bus has no record",
         "other",
         false,
         {{0, Bytes({1, 2, 3, 4, 5})}},
         0,
         5,
         1,
         kMsgNoParameterRecord,
         Bytes({0, 0, 0, 0, 0})},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.what);
        TciData tci;
        tci.busCategory = c.bus;
        tci.prmHexPrefix = c.prefix;
        tci.moduleIdent = 0x1234;
        tci.slot = 3;
        tci.busAddress = 42;
        tci.moduleRecord.fill(0x55);  // whatever a previous decode left
        tci.convertedLength = c.converted;
        for (const auto& [at, bytes] : c.telegram) {
            std::copy(bytes.begin(), bytes.end(), tci.telegram.begin() + static_cast<long>(at));
        }
        CatalogDevice device;
        device.offsetModulParamStream = c.offset;
        CatalogModule module;
        module.lenModulParam = c.lenModulParam;
        module.lenUserParam = c.lenUserParam;
        std::vector<CatalogParameter> none;
        const DecodeResult result = DecodeModuleRecord(tci, device, module, none);
        EXPECT_EQ(result.refusal, c.refusal);
        std::vector<uint8_t> expected(kModuleRecordSize, 0);
        std::copy(c.record.begin(), c.record.end(), expected.begin());
        EXPECT_EQ(std::vector<uint8_t>(tci.moduleRecord.begin(), tci.moduleRecord.end()), expected);
        EXPECT_EQ(device.busAddress, 42);
    }
}

TEST(DecodeModuleRecordTest, WorkedExampleDecodesAndCoversTheParameterBytes) {
    TciData tci;
    tci.busCategory = kBusCategoryProfibus;
    tci.moduleIdent = 0x1234;
    tci.slot = 3;
    const auto block = Bytes({0x0B, 0, 0, 0, 0, 0x08, 0x12, 0x34, 0xAA, 0xBB, 0x00, 0x00, 0x03});
    std::copy(block.begin(), block.end(), tci.telegram.begin());
    tci.convertedLength = static_cast<int32_t>(block.size());
    CatalogDevice device;
    device.dataFormat = DataFormat::Motorola;
    CatalogModule module;
    module.lenModulParam = 8;
    module.lenUserParam = 2;
    std::vector<CatalogParameter> parameters(3);
    parameters[0].type = ParamType::UInt;
    parameters[0].bitOffset = 32;
    parameters[0].bitLength = 16;
    parameters[1].type = ParamType::Bool;
    parameters[1].bitOffset = 33;  // 0xAA has bit 1 set
    parameters[1].bitLength = 5;
    parameters[2].type = ParamType::UInt;
    parameters[2].bitOffset = 60;  // ends at bit 64 = 8 x lenModulParam
    parameters[2].bitLength = 4;
    parameters[2].value = 7;

    const DecodeResult result = DecodeModuleRecord(tci, device, module, parameters);
    EXPECT_EQ(result.refusal, 0);
    EXPECT_EQ(parameters[0].value, 0xAABBu);
    EXPECT_EQ(parameters[1].value, 1u);
    EXPECT_EQ(parameters[2].value, 0u);
    EXPECT_EQ(result.parameterErrors, std::vector<size_t>{2});
    const uint8_t covered[] = {0xAA, 0xBB};
    EXPECT_EQ(RecordSafetyCrc(tci.moduleRecord, 2),
              SafetyCrc32(2, 0, covered, CrcDirection::Forward));
}

TEST(ExtractParamValueTest, ReadsBitFieldsAsTheImageOfTheDataFormatPlacesThem) {
    struct Case {
        const char* what;
        std::vector<uint8_t> record;
        DataFormat format;
        ParamType type;
        int32_t bitOffset;
        int32_t bitLength;
        uint16_t lenModulParam;
        std::optional<uint32_t> value;
    };
    const std::vector<uint8_t> bytes = Bytes({0xFF, 0x12, 0x34, 0x56, 0x78, 0xB5});
    constexpr DataFormat M = DataFormat::Motorola;
    constexpr DataFormat I = DataFormat::Intel;
    const Case cases[] = {
        {"Int of 8 bits is sign-extended", bytes, M, ParamType::Int, 0, 8, 6, 0xFFFFFFFFu},
        {"UInt of 8 bits is not", bytes, M, ParamType::UInt, 0, 8, 6, 0xFFu},
        {"Int of 4 bits", Bytes({0x0D, 0}), M, ParamType::Int, 0, 4, 2, 0xFFFFFFFDu},
        {"16 bits are byte-exchanged", bytes, M, ParamType::UInt, 8, 16, 6, 0x1234u},
        {"32 bits are byte-reversed", bytes, M, ParamType::UInt, 8, 32, 6, 0x12345678u},
        {"a field across a byte border", bytes, M, ParamType::UInt, 38, 4, 6, 0b0101u},
        {"24 bits keep their order", bytes, M, ParamType::UInt, 8, 24, 6, 0x563412u},
        {"Intel mirrors each byte", Bytes({0, 0x48, 0x2C, 0}), I, ParamType::UInt, 8, 16, 4,
         0x1234u},
        {"Intel Bool is the top bit", Bytes({0, 0x80}), I, ParamType::Bool, 8, 1, 3, 1u},
        {"Intel field across a byte border", Bytes({0, 0x01, 0xC0, 0}), I, ParamType::UInt, 15, 3,
         4, 0b111u},
        {"Bool ignores its length", bytes, M, ParamType::Bool, 40, 7, 6, 1u},
        {"Bool reads its own bit", bytes, M, ParamType::Bool, 41, 1, 6, 0u},
        {"unknown type", bytes, M, ParamType::None, 0, 8, 6, 0u},
        {"ending at the record's end is refused", bytes, M, ParamType::UInt, 40, 8, 6,
         std::nullopt},
        {"negative offset", bytes, M, ParamType::UInt, -8, 8, 6, std::nullopt},
        {"negative length", bytes, M, ParamType::UInt, 8, -1, 6, std::nullopt},
        {"more than 32 bits", bytes, M, ParamType::UInt, 0, 33, 6, std::nullopt},
        {"beyond the 256-byte record", std::vector<uint8_t>(256, 1), M, ParamType::Bool, 2048, 1,
         300, std::nullopt},
        {"last bit of the 256-byte record", std::vector<uint8_t>(256, 0x80), M, ParamType::UInt,
         2047, 1, 300, 1u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ExtractParamValue(c.record, c.format, c.type, c.bitOffset, c.bitLength,
                                    c.lenModulParam),
                  c.value);
    }
}

TEST(FindTpfModuleTest, TakesTheFirstModuleInCatalogOrder) {
    const std::string catalogText = R"(<SafetyConfigurator>
  <Hersteller name="" identNumber="1"><Device name="Hidden"><Modul name="H" identNumber="0x7"/></Device></Hersteller>
  <Hersteller name="A" identNumber="1">
    <Device name="D1"><Modul name="M1" identNumber="0x1"/><Modul name="" identNumber="0x7"/></Device>
    <Device name="D1"><Modul name="M9" identNumber="0x9"/></Device>
    <Device name="D2"><Modul name="M1" identNumber="0x2"/><Modul name="M7" identNumber="0x7"/></Device>
  </Hersteller>
  <Hersteller name="B" identNumber="2"><Device name="D3"><Modul name="M8" identNumber="0x7"/></Device></Hersteller>
</SafetyConfigurator>)";
    CatalogData catalog;
    catalog.Load(catalogText);
    // Positions in the lists; the first manufacturer has no name, so "A" is at 1.
    struct Case {
        std::string ident;
        std::optional<TpfModuleMatch> match;
    };
    const Case cases[] = {
        {"0x7", TpfModuleMatch{1, 2, 1}},  // nameless records skipped
        {"0x1", TpfModuleMatch{1, 0, 0}},
        {"0x9", TpfModuleMatch{1, 1, 0}},  // the second "D1" is found as itself
        {"0X7", std::nullopt},             // exact text
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ident);
        const std::optional<TpfModuleMatch> match =
            FindTpfModule(catalog.manufacturerList, c.ident);
        ASSERT_EQ(match.has_value(), c.match.has_value());
        if (match) {
            EXPECT_EQ(match->manufacturer, c.match->manufacturer);
            EXPECT_EQ(match->device, c.match->device);
            EXPECT_EQ(match->module, c.match->module);
        }
    }
}

TEST(BusKindOfTest, IgnoresLetterCaseAndOnepairOfBraces) {
    const std::pair<std::string_view, BusKind> cases[] = {
        {kBusCategoryProfibus, BusKind::Profibus},
        {kBusCategoryProfinet, BusKind::Profinet},
        {"036d1499-387b-11d4-86e1-00e0987270b9", BusKind::Profibus},
        {"{DFC98364-DAB8-493B-BB92-23B3F92FEBCD}", BusKind::Profinet},
        {"{dfc98364-dab8-493b-bb92-23b3f92febcd}", BusKind::Profinet},
        {"{{DFC98364-DAB8-493B-BB92-23B3F92FEBCD}}", BusKind::Unknown},
        {"{DFC98364-DAB8-493B-BB92-23B3F92FEBCD", BusKind::Unknown},
        {" DFC98364-DAB8-493B-BB92-23B3F92FEBCD", BusKind::Unknown},
        {"DFC98364-DAB8-493B-BB92-23B3F92FEBCDX", BusKind::Unknown},
        {"", BusKind::Unknown},
    };
    for (const auto& [category, kind] : cases) {
        EXPECT_EQ(BusKindOf(category), kind) << category;
    }
}

TEST(TciStartRefusalTest, NeedsAConvertedStreamOfAKnownBus) {
    struct Case {
        const char* what;
        std::string bus;
        int32_t announced;
        int32_t converted;
        int refusal;
    };
    const Case cases[] = {
        {"a usable call", std::string(kBusCategoryProfinet), 20, 20, 0},
        {"no stream", std::string(kBusCategoryProfinet), 0, 0, kMsgNoParameterRecord},
        {"a stream of 512 bytes or more", std::string(kBusCategoryProfibus), 600, 0,
         kMsgNoParameterRecord},
        {"another bus", "12345678-0000-0000-0000-000000000000", 20, 20, kMsgNoParameterRecord},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TciData tci;
        tci.moduleItemSelected = tci.moduleFound = true;
        tci.busCategory = c.bus;
        tci.telegramLength = c.announced;
        tci.convertedLength = c.converted;
        EXPECT_EQ(TciStartRefusal(tci), c.refusal);
    }
}

// The CRC of a received record goes only with the values the record holds.
TEST(ReceivedRecordCrcTest, NeedsTheValuesShownToBeTheRecords) {
    std::vector<uint8_t> record(16, 0);
    record[4] = 0xFD;
    record[5] = 0x12;
    CatalogModule module;
    module.lenModulParam = 16;
    module.lenUserParam = 4;
    std::vector<CatalogParameter> parameters(2);
    parameters[0].type = ParamType::Int;
    parameters[0].bitOffset = 32;
    parameters[0].bitLength = 8;
    parameters[0].value = static_cast<uint32_t>(-3);
    parameters[1].type = ParamType::UInt;
    parameters[1].bitOffset = 40;
    parameters[1].bitLength = 8;
    parameters[1].value = 0x12;
    EXPECT_EQ(ReceivedRecordCrc(record, DataFormat::Motorola, module, parameters),
              RecordSafetyCrc(record, 4));
    parameters[1].value = 0x13;  // a value changed after it was received
    EXPECT_THROW(ReceivedRecordCrc(record, DataFormat::Motorola, module, parameters),
                 ReadBackError);
    parameters[1].value = 0x12;
    parameters[1].bitOffset = 120;  // a field that cannot be decoded (it ends the record)
    EXPECT_THROW(ReceivedRecordCrc(record, DataFormat::Motorola, module, parameters),
                 ReadBackError);
}

}  // namespace
}  // namespace norvane
