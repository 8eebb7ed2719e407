#include "tci/tpf_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "xml/xml_parser.h"

namespace norvane {
namespace {

using norvane::testing::TempDir;
using norvane::testing::WriteFile;

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<TCI xmlns=\"http://www.profibus.com/TCI/2006/03/TPF\">\n";

std::string Item(const std::string& name, const std::string& value) {
    return "<ParameterItem Name=" + name + " Value=\"" + value + "\"/>";
}

// One subsystem with one device; `device` and `modules` are the inner texts of the device's
// ParameterList and ModuleList.
std::string Subsystem(const std::string& bus, const std::string& device,
                      const std::string& modules) {
    return "<SubsystemItem Name=\"Master\" BusCategory=\"" + bus +
           "\"><DeviceList><DeviceItem Name=\"Head\"><ParameterList>" + device +
           "</ParameterList><ModuleList>" + modules +
           "</ModuleList></DeviceItem></DeviceList></SubsystemItem>";
}

std::string Module(const std::string& selected, const std::string& items,
                   const std::string& extra = "") {
    return "<ModuleItem Name=\"Mod\" IsSelected=\"" + selected + "\"><ParameterList>" + items +
           "</ParameterList>" + extra + "</ModuleItem>";
}

std::string Hex(const std::array<uint8_t, kTelegramSize>& bytes, size_t count) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

struct ReadCase {
    const char* what;
    std::string body;  // between the TPF head and </TCI>
    bool found;
    std::string busCategory;
    std::string ipAddress;
    int32_t busAddress;
    std::string identText;
    uint16_t ident;
    uint8_t slot;
    bool prefix;
    int32_t telegramLength;
    std::string telegramHead;  // the first bytes of the telegram, in hex
};

const std::string kIdent = Item("\"IdentNumber\"", "0x40A1") + Item("\"Slot\"", "2");

TEST(ReadTpfDeviceTest, ReadsDeviceAndSelectedModuleAsTheCallerWroteThem) {
    const std::string pb = "036D1499-387B-11D4-86E1-00E0987270B9";
    const std::string pn = "DFC98364-DAB8-493B-BB92-23B3F92FEBCD";
    const std::string longName(100, 'n');
    const ReadCase cases[] = {
        {"plain PROFIBUS call",
         Subsystem(pb, Item("\"BusAddress\"", "17") + Item("\"Prm-Telegram\"", "0B0102FF"),
                   Module("true", kIdent)),
         true, pb, "", 17, "0x40A1", 0x40A1, 2, false, 4, "0b0102ff00"},
        {"single-quoted names are not ours",
         Subsystem(pn, Item("'IPAddress'", "10.0.0.1") + Item("\"IPAddress\"", "10.0.0.2"),
                   Module("true", kIdent + Item("\"RecordDataObject\"", "0000007D01"))),
         true, pn, "10.0.0.2", 0, "0x40A1", 0x40A1, 2, false, 5, "0000007d01"},
        {"IsSelected True with a capital is not a selection",
         Subsystem(pb, Item("\"Prm-Telegram\"", "01"), Module("True", kIdent)), false, pb, "", 0,
         "0x40A1", 0x40A1, 2, false, 1, "01"},
        {"0x within 15 characters is not a prefix",
         Subsystem(pb, Item("\"Prm-Telegram\"", "0x0102030405060"), Module("true", kIdent)), true,
         pb, "", 0, "0x40A1", 0x40A1, 2, false, 7, "00010203040506"},
        {"0x before eight pairs is a prefix",
         Subsystem(pb, Item("\"Prm-Telegram\"", "0x0102030405060708"), Module("true", kIdent)),
         true, pb, "", 0, "0x40A1", 0x40A1, 2, true, 9, "010203040506070800"},
        {"lowercase record head is not converted",
         Subsystem(pn, "", Module("true", kIdent + Item("\"RecordDataObject\"", "0000007d01"))),
         true, pn, "", 0, "0x40A1", 0x40A1, 2, false, 0, "0000"},
        {"a submodule's record replaces the module's",
         Subsystem(pn, "",
                   Module("true", kIdent + Item("\"RecordDataObject\"", "0000007D0101"),
                          "<SubmoduleList><SubmoduleItem><ParameterList>" +
                              Item("\"RecordDataObject\"", "0000007D0202") +
                              "</ParameterList></SubmoduleItem></SubmoduleList>")),
         true, pn, "", 0, "0x40A1", 0x40A1, 2, false, 6, "0000007d0202"},
        {"a shorter submodule record replaces the module's entirely",
         Subsystem(pn, "",
                   Module("true", kIdent + Item("\"RecordDataObject\"", "0000007D010101"),
                          "<SubmoduleList><SubmoduleItem><ParameterList>" +
                              Item("\"RecordDataObject\"", "0000007D02") +
                              "</ParameterList></SubmoduleItem></SubmoduleList>")),
         true, pn, "", 0, "0x40A1", 0x40A1, 2, false, 5, "0000007d020000"},
        {"numbers read as far as they go",
         Subsystem(pb, Item("\"BusAddress\"", " -5x") + Item("\"Prm-Telegram\"", "01"),
                   Module("true", Item("\"IdentNumber\"", "0x1240Ag") + Item("\"Slot\"", "259"))),
         true, pb, "", -5, "0x1240Ag", 0x240A, 3, false, 1, "01"},
        {"ident without 0x is 0, empty values ignored",
         Subsystem(pb, Item("\"BusAddress\"", "") + Item("\"Prm-Telegram\"", "01"),
                   Module("true", Item("\"IdentNumber\"", "40A1"))),
         true, pb, "", 0, "40A1", 0, 0, false, 1, "01"},
        {"an earlier module's list serves a selected module without one",
         Subsystem(pb, Item("\"Prm-Telegram\"", "01"),
                   Module("false", kIdent) + "<ModuleItem Name=\"Mod\" IsSelected=\"true\"/>" +
                       Module("false", Item("\"Slot\"", "9"))),
         true, pb, "", 0, "0x40A1", 0x40A1, 2, false, 1, "01"},
        {"the first subsystem with a selection wins",
         Subsystem(pn, Item("\"Prm-Telegram\"", "02"), Module("false", kIdent)) + "<Outer>" +
             Subsystem(pb, Item("\"Prm-Telegram\"", "03"), Module("true", kIdent)) + "</Outer>",
         true, pb, "", 0, "0x40A1", 0x40A1, 2, false, 1, "03"},
        {"a stream of 512 bytes or more is not converted",
         Subsystem(pb, Item("\"Prm-Telegram\"", std::string(1024, 'F')), Module("true", kIdent)),
         true, pb, "", 0, "0x40A1", 0x40A1, 2, false, 512, "0000"},
        {"long texts are cut",
         Subsystem(pn, Item("\"IPAddress\"", "192.168.100.200:8080"),
                   Module("true", Item("\"IdentNumber\"", "0x" + longName))),
         true, pn, "192.168.100.200", 0, "0x" + longName.substr(0, 29), 0, 0, false, 0, ""},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.what);
        const XmlRoot root = XmlParseText(kHead + c.body + "</TCI>");
        ASSERT_TRUE(root);
        std::vector<TpfSubsystem> subsystems;
        CollectSubsystems(root.get(), subsystems);
        TciData tci;
        EXPECT_EQ(ReadTpfDevice(subsystems, tci), c.found);
        EXPECT_EQ(tci.moduleItemSelected, c.found);
        EXPECT_EQ(tci.busCategory, c.busCategory);
        EXPECT_EQ(tci.ipAddress, c.ipAddress);
        EXPECT_EQ(tci.busAddress, c.busAddress);
        EXPECT_EQ(tci.moduleIdentText, c.identText);
        EXPECT_EQ(tci.moduleIdent, c.ident);
        EXPECT_EQ(tci.slot, c.slot);
        EXPECT_EQ(tci.prmHexPrefix, c.prefix);
        EXPECT_EQ(tci.telegramLength, c.telegramLength);
        EXPECT_EQ(Hex(tci.telegram, c.telegramHead.size() / 2), c.telegramHead);
        EXPECT_EQ(tci.tpfDeviceName, "Head");
        EXPECT_EQ(tci.tpfModuleName, c.found ? "Mod" : "");
    }
}

// What came from the engineering system: the bytes the last stream filled, and names cut
// before a character that would not fit.
TEST(ReadTpfDeviceTest, CountsTheConvertedBytesAndCutsNamesWhole) {
    const std::string pb = "036D1499-387B-11D4-86E1-00E0987270B9";
    const std::pair<std::string, int32_t> streams[] = {
        {"0B0102FF", 4},
        {"0x0102030405060708", 8},
        {std::string(1022, 'F'), 511},
        {std::string(1024, 'F'), 0},
    };
    for (const auto& [stream, converted] : streams) {
        const XmlRoot root = XmlParseText(
            kHead + Subsystem(pb, Item("\"Prm-Telegram\"", stream), Module("true", kIdent)) +
            "</TCI>");
        std::vector<TpfSubsystem> subsystems;
        CollectSubsystems(root.get(), subsystems);
        TciData tci;
        ReadTpfDevice(subsystems, tci);
        EXPECT_EQ(tci.convertedLength, converted) << stream.size();
    }

    // 78 letters and a two-byte character: the character does not fit 79 bytes and goes whole.
    const std::string name = std::string(78, 'n') + "\xC3\xBC";
    const XmlRoot root = XmlParseText(
        kHead + "<SubsystemItem Name=\"S\" BusCategory=\"" + pb +
        "\"><DeviceList><DeviceItem Name=\"" + name + "\"><ModuleList>" + Module("true", kIdent) +
        "</ModuleList></DeviceItem></DeviceList></SubsystemItem>" + "</TCI>");
    std::vector<TpfSubsystem> subsystems;
    CollectSubsystems(root.get(), subsystems);
    TciData tci;
    ReadTpfDevice(subsystems, tci);
    EXPECT_EQ(tci.tpfDeviceName, std::string(78, 'n'));
}

TEST(ReadTpfDeviceTest, CollectsNestedSubsystemsAfterTheirParent) {
    const XmlRoot root = XmlParseText(kHead +
                                      "<SubsystemItem Name=\"A\" BusCategory=\"1\"><Nested>"
                                      "<SubsystemItem Name=\"B\"/></Nested><DeviceListX/>"
                                      "</SubsystemItem><SubsystemItems Name=\"C\"/>"
                                      "<SubsystemItem Name=\"D\"/></TCI>");
    ASSERT_TRUE(root);
    std::vector<TpfSubsystem> subsystems;
    CollectSubsystems(root.get(), subsystems);
    ASSERT_EQ(subsystems.size(), 3u);
    EXPECT_EQ(subsystems[0].name, "A");
    EXPECT_EQ(subsystems[0].busCategory, "1");
    EXPECT_NE(subsystems[0].deviceList, nullptr);  // the first child whose name begins so
    EXPECT_EQ(subsystems[1].name, "B");
    EXPECT_EQ(subsystems[1].deviceList, nullptr);
    EXPECT_EQ(subsystems[2].name, "D");
    TciData tci;
    EXPECT_FALSE(ReadTpfDevice({}, tci));
}

TEST(HexToBytesTest, ConvertsPairsInsideTheBuffer) {
    struct Case {
        std::string text;
        int64_t count;
        size_t capacity;
        int result;
        std::vector<uint8_t> bytes;  // the whole buffer afterwards (it starts as 0xEE)
    };
    const Case cases[] = {
        {"0aFf", 2, 4, 4, {0x0A, 0xFF, 0x00, 0xEE}},
        {"zz1z", 2, 4, 4, {0x00, 0x01, 0x00, 0xEE}},  // no first digit 0; no second: the first
        {"-1 1", 2, 4, 4, {0x00, 0x00, 0x00, 0xEE}},  // no sign, no blanks
        {"123", 2, 4, 4, {0x12, 0x03, 0x00, 0xEE}},   // past the end counts as no digit
        {"1234", 3, 3, 0, {0xEE, 0xEE, 0xEE}},        // count must stay below the capacity
        {"1234", 0, 3, 0, {0xEE, 0xEE, 0xEE}},
        {"1234", -1, 3, 0, {0xEE, 0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " count " + std::to_string(c.count));
        std::vector<uint8_t> buffer(c.capacity, 0xEE);
        EXPECT_EQ(HexToBytes(c.text, c.count, buffer), c.result);
        EXPECT_EQ(buffer, c.bytes);
    }
}

TEST(ReadTpfCallTest, ReportsWhyAFileIsRefused) {
    TempDir dir;
    struct Case {
        const char* what;
        std::string contents;
        TpfReadStatus status;
    };
    const Case cases[] = {
        {"namespace on the first line", "<TCI xmlns=\"http://www.profibus.com/TCI/2006/03/TPF\">\n",
         TpfReadStatus::NotTpf},
        {"not a tree", kHead + "<a b=\"open>", TpfReadStatus::NotParsed},
        {"a TPF file", kHead + "</TCI>", TpfReadStatus::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TpfDocument tpf;
        TciData tci;
        tci.busAddress = 9;
        EXPECT_EQ(ReadTpfCall(WriteFile(dir.path() / "call.tpf", c.contents), tpf, tci), c.status);
        EXPECT_EQ(tci.busAddress, 0);
    }
    TpfDocument tpf;
    TciData tci;
    EXPECT_EQ(ReadTpfCall((dir.path() / "missing.tpf").string(), tpf, tci),
              TpfReadStatus::CannotOpen);
}

}  // namespace
}  // namespace norvane
