#include "verification/verification_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/messages.h"
#include "safety/param_stream.h"

namespace norvane {
namespace {

// Two devices: a PROFIBUS head with a bus address and a module of every kind of parameter,
// and an Intel device without one. A second manufacturer of the same name stands behind the
// first.
constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"V\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" enableBusAddress=\"yes\" busAddress=\"3\" "
    "minAddr=\"1\" maxAddr=\"125\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenModulParam=\"12\" lenUserParam=\"6\">"
    "<ParameterList>"
    "<Parameter name=\"U\" type=\"UInt\" defaultValue=\"100\" min=\"1\" max=\"65534\" "
    "bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"I\" type=\"Int\" defaultValue=\"0\" min=\"-10\" max=\"10\" "
    "bitOffset=\"48\" bitLength=\"8\"/>"
    "<Parameter name=\"H\" type=\"UInt\" paramView=\"ValueHex\" defaultValue=\"15\" min=\"0\" "
    "max=\"255\" bitOffset=\"56\" bitLength=\"8\"/>"
    "<Parameter name=\"E\" type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" "
    "max=\"2\" bitOffset=\"64\" bitLength=\"2\"><Item valueText=\"one\" valueItem=\"1\"/>"
    "<Item valueText=\"two\" valueItem=\"2\"/><Item valueText=\"three\" valueItem=\"3\"/>"
    "</Parameter>"
    "<Parameter name=\"B\" type=\"Bool\" defaultValue=\"1\" min=\"0\" max=\"1\" "
    "bitOffset=\"66\" bitLength=\"1\"/>"
    "</ParameterList></Modul>"
    "<Modul name=\"M\" identNumber=\"0x200\" lenUserParam=\"2\"><ParameterList>"
    "<Parameter name=\"Other\" type=\"UInt\" defaultValue=\"5\" min=\"0\" max=\"9\" "
    "bitOffset=\"32\" bitLength=\"8\"/></ParameterList></Modul>"
    "</Device>"
    "<Device name=\"N\" identNumber=\"0x20\" enableBusAddress=\"no\" busAddress=\"-1\" "
    "dataFormat=\"Intel\">"
    "<Modul name=\"K\" identNumber=\"0x300\" lenModulParam=\"8\" lenUserParam=\"2\">"
    "<ParameterList><Parameter name=\"X\" type=\"UInt\" defaultValue=\"1\" min=\"0\" "
    "max=\"255\" bitOffset=\"32\" bitLength=\"8\"/></ParameterList></Modul>"
    "</Device></Hersteller>"
    "<Hersteller name=\"V\" identNumber=\"0x02\"><Device name=\"Behind\" identNumber=\"0x30\" "
    "dataFormat=\"Motorola\"><Modul name=\"Z\" identNumber=\"0x400\" lenUserParam=\"1\">"
    "<ParameterList><Parameter name=\"Z1\" type=\"UInt\" min=\"0\" max=\"1\" bitOffset=\"32\" "
    "bitLength=\"8\"/></ParameterList></Modul></Device></Hersteller>"
    "</C>";

class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        catalog_.Load(kCatalog);
        model_.SelectManufacturer(0);
    }
    static WalkItem P(size_t index) { return WalkItem::Parameter(index); }
    // Accepts every item as it is shown.
    void AcceptAll() {
        for (const WalkItem& item : model_.Items()) {
            model_.Accept(item, Shown(item));
        }
    }
    std::string Shown(WalkItem item) const {
        if (item.kind == ItemKind::BusAddress) {
            return model_.BusAddressText();
        }
        if (item.kind != ItemKind::Parameter) {
            return {};
        }
        const CatalogParameter& p = model_.Parameters()[item.parameter];
        if (p.paramView == ParamView::Enum) {
            for (const CatalogEnumItem& entry : model_.EnumItems(item.parameter)) {
                if (static_cast<uint32_t>(entry.valueItem) == p.value) {
                    return entry.valueText;
                }
            }
            return {};
        }
        return p.paramView == ParamView::ValueHex ? "0x" + std::to_string(p.value)
                                                  : std::to_string(AsSigned(p.value));
    }

    CatalogData catalog_;
    VerificationModel model_{catalog_};
};

TEST_F(ModelTest, TheWalkGoesThroughEveryLineInTreeOrder) {
    std::vector<WalkItem> walk;
    for (WalkItem item = {ItemKind::Vendor}; item.kind != ItemKind::None;
         item = model_.Next(item)) {
        walk.push_back(item);
    }
    EXPECT_EQ(walk, model_.Items());
    EXPECT_EQ(walk.size(), 4u + 5u);
    EXPECT_EQ(walk[2], WalkItem{ItemKind::BusAddress});
    EXPECT_EQ(walk[4], P(0));

    model_.SelectDevice(1);  // no bus-address line: the device leads to the module
    EXPECT_FALSE(model_.HasBusAddressItem());
    EXPECT_EQ(model_.Next({ItemKind::Device}), WalkItem{ItemKind::Module});
    EXPECT_EQ(model_.Next(P(0)), WalkItem{});
}

// What the CRC still needs is the rest of the walk: after the first k items are accepted, the
// items from k on (a device that uses its bus address, every parameter named).
TEST_F(ModelTest, UnverifiedItemsAreTheRestOfTheWalk) {
    const std::vector<WalkItem> walk = model_.Items();
    for (size_t k = 0; k <= walk.size(); ++k) {
        model_.ClearVerification();
        for (size_t i = 0; i < k; ++i) {
            ASSERT_TRUE(model_.Accept(walk[i], Shown(walk[i])).verified) << i;
        }
        EXPECT_EQ(model_.UnverifiedItems(),
                  std::vector<WalkItem>(walk.begin() + static_cast<std::ptrdiff_t>(k), walk.end()));
        EXPECT_EQ(model_.AllVerified(), k == walk.size());
    }
    // A bus address the device does not use is not needed.
    model_.SelectDevice(1);
    model_.ClearVerification();
    EXPECT_EQ(
        model_.UnverifiedItems(),
        (std::vector<WalkItem>{{ItemKind::Vendor}, {ItemKind::Device}, {ItemKind::Module}, P(0)}));
}

// Every rule of Accept in edit mode: what is taken, what is refused with which message, and
// that a refusal changes nothing.
TEST_F(ModelTest, AcceptTakesWholeNumbersWithinTheLimitsAndTheField) {
    struct Case {
        WalkItem item;
        const char* input;
        int message;            // 0: verified
        uint32_t value;         // the value afterwards
        const char* valueText;  // the value field's text when verified
    };
    const auto minus = [](int32_t v) { return static_cast<uint32_t>(v); };
    const Case cases[] = {
        {P(0), "150", 0, 150, "150"},
        {P(0), " 150 ", 0, 150, "150"},
        {P(0), "150200", kMsgValueOutOfBounds, 100, ""},
        {P(0), "15x", kMsgNotANumber, 100, ""},
        {P(0), "", kMsgNotANumber, 100, ""},
        {P(0), "0", kMsgValueOutOfBounds, 100, ""},
        {P(0), "-1", kMsgValueOutOfBounds, 100, ""},  // read as 0xFFFFFFFF, compared unsigned
        {P(0), "4294967296", kMsgNotANumber, 100, ""},
        {P(1), "-10", 0, minus(-10), "-10"},
        {P(1), "11", kMsgValueOutOfBounds, 0, ""},
        {P(1), "4294967295", kMsgValueOutOfBounds, 0, ""},  // no -1 for a signed type
        {P(2), "ff", 0, 0xFF, "0x000000ff"},
        {P(2), "0x1F", 0, 0x1F, "0x0000001f"},
        {P(2), "0X1f", 0, 0x1F, "0x0000001f"},
        {P(2), "0x100", kMsgValueOutOfBounds, 15, ""},
        {P(2), "0xzz", kMsgNotANumber, 15, ""},
        {P(3), "two", 0, 2, "two"},
        {P(3), "three", kMsgInvalidValue, 1, ""},  // outside the limits: nothing changes
        {P(3), "four", 0, 1, ""},                  // no such item: nothing happens
        {P(4), "0", 0, 0, "0"},
        {P(4), "2", kMsgValueOutOfBounds, 1, ""},
        {{ItemKind::BusAddress}, "17", 0, 17, "17"},
        {{ItemKind::BusAddress}, "126", kMsgInvalidValue, 3, ""},
        {{ItemKind::BusAddress}, "1 7", kMsgNotANumber, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("input \"") + c.input + "\"");
        model_.SelectDevice(0);
        const AcceptResult result = model_.Accept(c.item, c.input);
        EXPECT_EQ(result.message, c.message);
        const bool expectVerified = c.message == 0 && std::string(c.valueText) != "";
        EXPECT_EQ(result.verified, expectVerified);
        EXPECT_EQ(model_.IsVerified(c.item), expectVerified);
        const uint32_t value = c.item.kind == ItemKind::BusAddress
                                   ? static_cast<uint32_t>(model_.SelectedDevice().busAddress)
                                   : model_.Parameters()[c.item.parameter].value;
        EXPECT_EQ(value, c.value);
        if (expectVerified) {
            EXPECT_EQ(result.valueText, c.valueText);
            EXPECT_EQ(result.next, model_.Next(c.item));
        }
    }
}

TEST_F(ModelTest, ARefusedEnumerationChoiceKeepsTheVerifiedValue) {
    model_.Accept(P(3), "two");
    ASSERT_TRUE(model_.IsVerified(P(3)));
    const AcceptResult refused = model_.Accept(P(3), "three");
    EXPECT_EQ(refused.message, kMsgInvalidValue);
    // The mark stays on the value that was verified, never on a refused one.
    EXPECT_EQ(model_.Parameters()[3].value, 2u);
    EXPECT_TRUE(model_.IsVerified(P(3)));
}

// The CRC follows the values: valid only while every item is verified, computed again after
// each Accept while it is shown, gone ("N/A") as soon as anything invalidates it.
TEST_F(ModelTest, TheCrcIsHeldOnlyWhileItIsTheCrcOfTheVerifiedValues) {
    EXPECT_EQ(model_.CalcSafetyCrc(), 0);
    EXPECT_FALSE(model_.Crc().valid);  // nothing verified: no CRC, whoever asks

    AcceptAll();
    ASSERT_TRUE(model_.AllVerified());
    ASSERT_EQ(model_.CalcSafetyCrc(), 0);
    const uint32_t first = model_.Crc().value;
    EXPECT_EQ(first, ParameterImageCrc(DataFormat::Motorola, 6, model_.Parameters()));

    // Another value accepted while the CRC is shown: the CRC follows it.
    EXPECT_EQ(model_.Accept(P(0), "121").crcMessage, 0);
    EXPECT_TRUE(model_.Crc().valid);
    EXPECT_NE(model_.Crc().value, first);
    EXPECT_EQ(model_.Crc().value, model_.CurrentSafetyCrc().value());

    const auto invalidations = std::vector<std::function<void(VerificationModel&)>>{
        [](VerificationModel& m) { m.ClearVerification(); },
        [](VerificationModel& m) { m.ResetValuesToDefaults(); },
        [](VerificationModel& m) { m.SelectModule(0); },
        [](VerificationModel& m) { m.SelectDevice(0); },
        [](VerificationModel& m) { m.SelectManufacturer(0); },
    };
    for (size_t i = 0; i < invalidations.size(); ++i) {
        SCOPED_TRACE(i);
        model_.SelectManufacturer(0);
        AcceptAll();
        model_.CalcSafetyCrc();
        ASSERT_TRUE(model_.Crc().valid);
        invalidations[i](model_);
        EXPECT_FALSE(model_.Crc().valid);
    }
}

TEST_F(ModelTest, NoCrcForValuesThatDoNotReadBack) {
    // Two parameters sharing bits with different values: the image cannot hold both.
    CatalogData catalog;
    catalog.Load(
        "<C><Hersteller name=\"V\" identNumber=\"1\"><Device name=\"D\" identNumber=\"2\" "
        "busAddress=\"-1\" dataFormat=\"Motorola\"><Modul name=\"M\" identNumber=\"3\" "
        "lenUserParam=\"2\"><ParameterList>"
        "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"15\" min=\"0\" max=\"255\" "
        "bitOffset=\"32\" bitLength=\"8\"/>"
        "<Parameter name=\"B\" type=\"UInt\" defaultValue=\"3\" min=\"0\" max=\"15\" "
        "bitOffset=\"32\" bitLength=\"4\"/>"
        "</ParameterList></Modul></Device></Hersteller></C>");
    VerificationModel model(catalog);
    model.SelectManufacturer(0);
    for (const WalkItem& item : model.Items()) {
        model.Accept(item, item.kind == ItemKind::Parameter
                               ? std::to_string(model.Parameters()[item.parameter].value)
                               : std::string());
    }
    ASSERT_TRUE(model.AllVerified());
    EXPECT_EQ(model.CalcSafetyCrc(), kMsgNoReadBack);
    EXPECT_FALSE(model.Crc().valid);
    // The same bits in both: the image holds the values, and the CRC is given.
    model.Accept(P(0), "3");
    EXPECT_EQ(model.CalcSafetyCrc(), 0);
    EXPECT_TRUE(model.Crc().valid);
    // A shown CRC is withdrawn when a later Accept leaves values that do not read back.
    EXPECT_EQ(model.Accept(P(1), "5").crcMessage, kMsgNoReadBack);
    EXPECT_FALSE(model.Crc().valid);
}

// A record hidden behind an earlier record of the same name is selected as itself.
TEST_F(ModelTest, RecordsAreSelectedAsRecords) {
    model_.SelectModule(1);  // the second "M"
    EXPECT_EQ(model_.SelectedModule().identNumber, "0x200");
    ASSERT_EQ(model_.Parameters().size(), 1u);
    EXPECT_EQ(model_.Parameters()[0].name, "Other");

    model_.SetDescription("kept");
    model_.SelectDevice(1);
    EXPECT_EQ(model_.Description(), "kept");
    model_.SelectManufacturer(1);  // the second "V"
    EXPECT_EQ(model_.SelectedDevice().name, "Behind");
    EXPECT_EQ(model_.Description(), "");
}

// In TCI mode the values are the engineering system's: Accept confirms or refuses them, the
// CRC is the received record's, and a value that differs from the record has none.
TEST_F(ModelTest, TciValuesAreConfirmedNotChanged) {
    model_.SetMode(VerificationMode::Tci);
    TciData tci;
    tci.busCategory = std::string(kBusCategoryProfinet);
    tci.ipAddress = "10.0.0.9";
    tci.telegramLength = tci.convertedLength = 12;
    // U = 0x0079 (121), I = -3, H = 0x20, E = 3 (no longer within 0..2), B = 1.
    const uint8_t stream[] = {0, 0, 0, 0x7D, 0x00, 0x79, 0xFD, 0x20, 0x07, 0, 0, 0};
    std::copy(std::begin(stream), std::end(stream), tci.telegram.begin());
    const DecodeResult decoded = model_.ApplyTciCall(tci);
    ASSERT_EQ(decoded.refusal, 0);
    EXPECT_TRUE(decoded.parameterErrors.empty());
    EXPECT_EQ(model_.Parameters()[0].value, 121u);
    EXPECT_EQ(AsSigned(model_.Parameters()[1].value), -3);  // not 253
    EXPECT_EQ(model_.BusAddressText(), "10.0.0.9");

    // Typing is ignored: the received value is what is verified.
    const AcceptResult typed = model_.Accept(P(0), "122");
    EXPECT_EQ(typed.message, 0);
    EXPECT_EQ(typed.valueText, "121");
    EXPECT_EQ(model_.Parameters()[0].value, 121u);
    EXPECT_EQ(model_.Accept(P(1), "").message, 0);

    const AcceptResult refused = model_.Accept(P(3), "three");
    EXPECT_EQ(refused.message, kMsgInvalidValue);
    EXPECT_TRUE(refused.changeInEngineeringSystem);
    EXPECT_FALSE(model_.IsVerified(P(3)));

    // The PROFINET address is confirmed as shown.
    EXPECT_TRUE(model_.Accept({ItemKind::BusAddress}, "whatever").verified);
    for (const WalkItem& item : model_.Items()) {
        model_.Accept(item, {});
    }
    EXPECT_FALSE(model_.AllVerified());  // E cannot be verified here
    EXPECT_EQ(model_.CalcSafetyCrc(), 0);
    EXPECT_FALSE(model_.Crc().valid);
}

}  // namespace
}  // namespace norvane
