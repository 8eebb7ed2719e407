#include "tci/module_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

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
    bool found;
    std::vector<uint8_t> record;  // the record's first bytes; the rest must be 0
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
         true,
         Bytes({0, 8, 0x12, 0x34, 0xAA, 0xBB, 0, 0, 3})},
        {"the 0x prefix moves the start to byte 12",
         kBusCategoryProfibus,
         true,
         {{0, {0x12}}, {5, worked}, {12, worked}},
         0,
         8,
         2,
         true,
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
         true,
         Bytes({0, 8, 0x12, 0x34, 2, 2, 0, 0, 3})},
        {"a block that ends past the limit is not tried",
         kBusCategoryProfibus,
         false,
         {{0, {0x0A}}, {5, worked}},
         0,
         8,
         2,
         false,
         {}},
        {"a length byte of 0 ends the search",
         kBusCategoryProfibus,
         false,
         {{0, {0x40}}, {5, Bytes({0x00, 0x12, 0x34})}, {13, worked}},
         0,
         8,
         2,
         false,
         {}},
        {"a slot byte beyond the telegram ends the search",
         kBusCategoryProfibus,
         false,
         {{0, {0x0B}}, {5, worked}},
         0,
         8,
         600,
         false,
         {}},
        {"256 bytes never match an 8-bit length",
         kBusCategoryProfibus,
         false,
         {{0, {0xFF}}, {5, Bytes({0x00, 0x12, 0x34})}},
         0,
         256,
         2,
         false,
         {}},
        {"PROFINET from the device's offset",
         kBusCategoryProfinet,
         false,
         {{0, Bytes({0, 0, 0, 0x7D, 1, 2, 3, 4, 5})}},
         2,
         6,
         2,
         true,
         Bytes({0, 0x7D, 1, 2, 3, 4})},
        {"PROFINET copies only what lies in the telegram",
         kBusCategoryProfinet,
         false,
         {{508, Bytes({9, 8, 7, 6})}},
         508,
         200,
         2,
         true,
         Bytes({9, 8, 7, 6, 0})},
        {"any other bus gives a zero record",
         "other",
         false,
         {{0, Bytes({1, 2, 3, 4, 5})}},
         0,
         5,
         1,
         true,
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
        EXPECT_EQ(result.recordFound, c.found);
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
    CatalogDevice device;
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
    EXPECT_TRUE(result.recordFound);
    EXPECT_EQ(parameters[0].value, 0xAABBu);
    EXPECT_EQ(parameters[1].value, 1u);
    EXPECT_EQ(parameters[2].value, 0u);
    EXPECT_EQ(result.parameterErrors, std::vector<size_t>{2});
    const uint8_t covered[] = {0xAA, 0xBB};
    EXPECT_EQ(RecordSafetyCrc(tci.moduleRecord, 2),
              SafetyCrc32(2, 0, covered, CrcDirection::Forward));
}

TEST(ExtractParamValueTest, ReadsBitFieldsLeastSignificantFirst) {
    struct Case {
        const char* what;
        std::vector<uint8_t> record;
        ParamType type;
        int32_t bitOffset;
        int32_t bitLength;
        uint16_t lenModulParam;
        std::optional<uint32_t> value;
    };
    const std::vector<uint8_t> bytes = Bytes({0xFF, 0x12, 0x34, 0x56, 0x78, 0xB5});
    const Case cases[] = {
        {"Int of 8 bits is not sign-extended", bytes, ParamType::Int, 0, 8, 6, 0xFFu},
        {"16 bits are byte-exchanged", bytes, ParamType::UInt, 8, 16, 6, 0x1234u},
        {"32 bits are byte-reversed", bytes, ParamType::UInt, 8, 32, 6, 0x12345678u},
        {"a field across a byte border", bytes, ParamType::UInt, 38, 4, 6, 0b0101u},
        {"24 bits keep their order", bytes, ParamType::UInt, 8, 24, 6, 0x563412u},
        {"Bool ignores its length", bytes, ParamType::Bool, 40, 7, 6, 1u},
        {"Bool reads its own bit", bytes, ParamType::Bool, 41, 1, 6, 0u},
        {"unknown type", bytes, ParamType::None, 0, 8, 6, 0u},
        {"ending at the record's end is refused", bytes, ParamType::UInt, 40, 8, 6, std::nullopt},
        {"negative offset", bytes, ParamType::UInt, -8, 8, 6, std::nullopt},
        {"negative length", bytes, ParamType::UInt, 8, -1, 6, std::nullopt},
        {"more than 32 bits", bytes, ParamType::UInt, 0, 33, 6, std::nullopt},
        {"beyond the 256-byte record", std::vector<uint8_t>(256, 1), ParamType::Bool, 2048, 1, 300,
         std::nullopt},
        {"last bit of the 256-byte record", std::vector<uint8_t>(256, 0x80), ParamType::UInt, 2047,
         1, 300, 1u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ExtractParamValue(c.record, c.type, c.bitOffset, c.bitLength, c.lenModulParam),
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
    struct Case {
        std::string ident;
        std::optional<std::vector<std::string>> names;
        size_t deviceIndex;
        size_t moduleIndex;
    };
    const Case cases[] = {
        {"0x7", std::vector<std::string>{"A", "D2", "M7"}, 2, 1},  // nameless records skipped
        {"0x1", std::vector<std::string>{"A", "D1", "M1"}, 0, 0},
        {"0x9", std::nullopt, 0, 0},  // a second "D1" stands for the first
        {"0X7", std::nullopt, 0, 0},  // exact text
        {"", std::nullopt, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ident);
        const std::optional<TpfModuleMatch> match =
            FindTpfModule(catalog.manufacturerList, c.ident);
        ASSERT_EQ(match.has_value(), c.names.has_value());
        if (match) {
            EXPECT_EQ((std::vector<std::string>{match->manufacturer, match->device, match->module}),
                      *c.names);
            EXPECT_EQ(match->manufacturerIndex, 0u);
            EXPECT_EQ(match->deviceIndex, c.deviceIndex);
            EXPECT_EQ(match->moduleIndex, c.moduleIndex);
        }
    }
}

}  // namespace
}  // namespace norvane
