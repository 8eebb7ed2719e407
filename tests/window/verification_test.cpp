#include <QAccessible>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "base/messages.h"
#include "safety/param_stream.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using VerificationTest = WindowTest;

TEST_F(VerificationTest, AcceptWalksTheTreeAndEnablesTheCrc) {
    Start();
    Select(VendorItem());
    Accept();
    EXPECT_TRUE(Model().IsVerified({ItemKind::Vendor}));
    EXPECT_EQ(VendorItem()->data(0, Qt::AccessibleDescriptionRole).toString(), "verified");
    EXPECT_EQ(DeviceItem()->data(0, Qt::AccessibleDescriptionRole).toString(), "not verified");
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), DeviceItem());
    EXPECT_EQ(Control<QGroupBox>("1003")->title(), "NV-DP 200 PROFIBUS head");
    Accept();
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), BusAddressItem());
    EXPECT_EQ(Control<QGroupBox>("1003")->title(), "Bus-Address");
    EXPECT_EQ(Control<QLineEdit>("1009")->text(), "3");
    EXPECT_EQ(Control<QLineEdit>("1015")->text(), "1");
    EXPECT_EQ(Control<QLineEdit>("1016")->text(), "125");
    Accept();
    EXPECT_TRUE(Model().IsVerified({ItemKind::BusAddress}));
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), ModuleItem());
    Accept();
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), ItemOf("F_Source_Add"));
    EXPECT_FALSE(Control<QPushButton>("1018")->isEnabled());

    // Every parameter with its shown value; the last Accept leaves the selection in place.
    for (int i = 0; i < 15; ++i) {
        Accept();
    }
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), ItemOf("Short-circuit test mask"));
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(Model().AllVerified());
    EXPECT_TRUE(Control<QPushButton>("1018")->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>("1037")->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>("1038")->isEnabled());
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");

    Control<QPushButton>("1018")->click();
    EXPECT_TRUE(Model().Crc().valid);
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");  // as `safetycrc crc` gives it

    Control<QRadioButton>("1038")->click();
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), QString::number(0x299C144Au));
    EXPECT_TRUE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1037")->isChecked());
    EXPECT_NE(Settings().find("CrcDisplayFormat=1"), std::string::npos);
    Control<QRadioButton>("1037")->click();
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");
    EXPECT_NE(Settings().find("CrcDisplayFormat=0"), std::string::npos);

    // While the CRC is valid, every Accept computes it again from the accepted values.
    Select(ItemOf("F_Dest_Add"));
    Type("101");
    Accept();
    const ParamStream image = BuildParamStream(DataFormat::Motorola, 14, Model().Parameters());
    EXPECT_EQ(Control<QLineEdit>("1019")->text(),
              QString::number(RecordSafetyCrc(image.data, 10), 16).toUpper());
    EXPECT_NE(Control<QLineEdit>("1019")->text(), "299C144A");
}

TEST_F(VerificationTest, ValuesOutsideTheirLimitsAreRefused) {
    CNorvaneCRCToolDlg& window = Start();
    struct Case {
        const char* parameter;
        const char* input;
        int message;     // 0: accepted
        uint32_t value;  // the value once accepted
    };
    const Case cases[] = {
        {"F_Source_Add", "0", kMsgValueOutOfBounds, 0},
        {"F_Source_Add", "65535", kMsgValueOutOfBounds, 0},
        {"F_Source_Add", "-1", kMsgValueOutOfBounds, 0},  // 0xFFFFFFFF, compared unsigned
        {"F_Source_Add", "99999999999", kMsgNotANumber, 0},
        {"F_Source_Add", " 7abc", kMsgNotANumber, 0},  // never the number it begins with
        {"F_Source_Add", "", kMsgNotANumber, 0},
        {"F_Source_Add", " 7 ", 0, 7},
        {"Short-circuit test mask", "1F", 0, 31},  // a hex field reads hex without the prefix
        {"Short-circuit test mask", "ff", 0, 255},
        {"Short-circuit test mask", "0x100", kMsgValueOutOfBounds, 0},
        {"Short-circuit test mask", "0x000000001", kMsgNotANumber, 0},
        {"Channel 0 activated", "2", kMsgValueOutOfBounds, 0},
        {"Channel 0 activated", "0", 0, 0},
        {"Short-circuit test mask", "0x1F", 0, 31},
    };
    const auto& parameters = Model().Parameters();
    for (const Case& c : cases) {
        // Each case on a new project: nothing verified, every value its default.
        window.NewProject();
        dialogs_.shown.clear();
        QTreeWidgetItem* item = ItemOf(c.parameter);
        const auto index = static_cast<size_t>(ModuleItem()->indexOfChild(item));
        const uint32_t before = parameters[index].value;
        Select(item);
        Type(c.input);
        Accept();
        if (c.message != 0) {
            EXPECT_EQ(dialogs_.Ids(), std::vector<int>{c.message}) << c.parameter << " " << c.input;
            EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
            EXPECT_EQ(parameters[index].verified, 0) << c.input;
            EXPECT_EQ(parameters[index].value, before) << c.input;
            EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), item);
        } else {
            EXPECT_TRUE(dialogs_.shown.empty()) << c.input;
            EXPECT_EQ(parameters[index].verified, 1) << c.input;
            EXPECT_EQ(parameters[index].value, c.value) << c.input;
        }
    }
    // The last parameter keeps the selection, so its accepted value stays in view.
    EXPECT_EQ(Control<QLineEdit>("1017")->text(), "0x0000001f");
    EXPECT_EQ(Row(RowOf("Short-circuit test mask"))[1], "0x0000001f");
}

TEST_F(VerificationTest, BusAddressAndEnumerations) {
    CNorvaneCRCToolDlg& window = Start();
    Select(BusAddressItem());
    for (const auto& [input, message] :
         {std::pair{"0", kMsgInvalidValue}, std::pair{"126", kMsgInvalidValue},
          std::pair{"99999999999", kMsgNotANumber}, std::pair{"12a", kMsgNotANumber}}) {
        dialogs_.shown.clear();
        Type(input);
        Accept();
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{message}) << input;
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
        EXPECT_FALSE(Model().IsVerified({ItemKind::BusAddress}));
    }
    Type("125");
    Accept();
    EXPECT_TRUE(Model().IsVerified({ItemKind::BusAddress}));
    EXPECT_EQ(Model().SelectedDevice().busAddress, 125);
    EXPECT_EQ(Control<QLineEdit>("1017")->text(), "125");

    // An enumeration is chosen from its items; the value is the item's number.
    Select(ItemOf("F_SIL"));
    EXPECT_TRUE(Control<QComboBox>("1008")->isVisibleTo(&window));
    EXPECT_FALSE(Control<QLineEdit>("1009")->isVisibleTo(&window));
    EXPECT_FALSE(Control<QLineEdit>("1015")->isVisibleTo(&window));
    EXPECT_EQ(Control<QComboBox>("1008")->count(), 3);
    EXPECT_EQ(Control<QComboBox>("1008")->currentText(), "SIL3");
    EXPECT_EQ(Control<QLineEdit>("1017")->text(), "SIL3");
    Control<QComboBox>("1008")->setCurrentIndex(1);
    Accept();
    const CatalogParameter& sil = Model().Parameters()[3];
    EXPECT_EQ(sil.value, 1u);
    EXPECT_EQ(sil.verified, 1);
    Select(ItemOf("F_SIL"));
    EXPECT_EQ(Control<QLineEdit>("1017")->text(), "SIL2");
    const int row = RowOf("F_SIL");
    EXPECT_EQ(Row(row), (QStringList{"F_SIL", "SIL2", "SIL1", "SIL3", "UInt", "enum"}));
}

TEST_F(VerificationTest, DeviceWithoutBusAddressNeedsNone) {
    // The PROFINET head shows its address item (address 0) but does not use it: Accept confirms
    // what is shown and the walk goes on, and the address is not needed for the CRC.
    CNorvaneCRCToolDlg& window = Start();
    Control<QComboBox>("1005")->setCurrentIndex(1);
    window.OnDeviceChanged();
    EXPECT_EQ(Model().SelectedDevice().enableBusAddress, 0);
    ASSERT_NE(BusAddressItem(), nullptr);
    Select(BusAddressItem());
    Type("42");
    Accept();
    EXPECT_TRUE(Model().IsVerified({ItemKind::BusAddress}));
    EXPECT_EQ(Model().SelectedDevice().busAddress, 0);
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), ModuleItem());
    window.NewProject();  // nothing verified again
    for (QTreeWidgetItem* item : {VendorItem(), DeviceItem(), ModuleItem()}) {
        Select(item);
        Accept();
    }
    for (int i = 0; i < 8; ++i) {
        Accept();
    }
    EXPECT_TRUE(Model().AllVerified());
    EXPECT_TRUE(Control<QPushButton>("1018")->isEnabled());
}

TEST_F(VerificationTest, OverviewShowsEveryParameter) {
    CNorvaneCRCToolDlg& window = Start();
    auto* overview = Control<QTableWidget>("1025");
    ASSERT_EQ(overview->columnCount(), 6);
    QStringList headers;
    for (int column = 0; column < 6; ++column) {
        headers << overview->horizontalHeaderItem(column)->text();
    }
    EXPECT_EQ(headers, (QStringList{"Name", "Value", "min.", "max.", "Type", "View"}));
    EXPECT_EQ(overview->columnWidth(0), 260);
    EXPECT_TRUE(overview->showGrid());
    EXPECT_EQ(overview->rowCount(), 15);
    EXPECT_EQ(Row(0), (QStringList{"F_Source_Add", "1", "1", "65534", "UInt", "Dec"}));
    EXPECT_EQ(Row(RowOf("Channel 0 activated")),
              (QStringList{"Channel 0 activated", "1", "0", "1", "Bool", "Dec"}));
    EXPECT_EQ(Row(RowOf("Short-circuit test mask")),
              (QStringList{"Short-circuit test mask", "0x000000ff", "0x00000000", "0x000000ff",
                           "UInt", "Hex"}));
    EXPECT_EQ(Row(RowOf("Input delay")),
              (QStringList{"Input delay", "3 ms", "0.5 ms", "15 ms", "UInt", "enum"}));

    // An enumeration value that matches no item, as a project file may hold it.
    OpenProjectWith([](ProjectData& project) { project.parameters[3].selectedValue = 9; });
    EXPECT_EQ(Row(3)[1], "Invalid");
    dialogs_.shown.clear();
    Select(ItemOf("F_SIL"));
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].caption, "Invalid Value");
    EXPECT_EQ(dialogs_.shown[0].text, "F_SIL = 9\nAllowed values: SIL1 (0), SIL2 (1), SIL3 (2)");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(Control<QComboBox>("1008")->currentIndex(), -1);

    // A signed module: the analogue input of the same device.
    Control<QComboBox>("1001")->setCurrentIndex(2);
    window.OnModuleChanged();
    EXPECT_EQ(Row(RowOf("Channel 1 offset (uA)")),
              (QStringList{"Channel 1 offset (uA)", "-25", "-500", "500", "Int", "Dec"}));
}

constexpr const char* kOddCatalog =
    "<Catalog><Hersteller name=\"V\" identNumber=\"1\">"
    "<Device name=\"NoAddress\" busAddress=\"-1\" dataFormat=\"Motorola\">"
    "<Modul name=\"TooShort\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"Wide\" type=\"UInt\" defaultValue=\"1\" max=\"65535\" bitOffset=\"32\""
    " bitLength=\"16\"/><Parameter name=\"Any\" type=\"uint\" bitOffset=\"32\" bitLength=\"1\"/>"
    "</ParameterList></Modul><Modul name=\"Empty\"/></Device></Hersteller></Catalog>";

TEST_F(VerificationTest, ModulesTheImageCannotHold) {
    UseCatalog(kOddCatalog);
    CNorvaneCRCToolDlg& window = Start();
    EXPECT_EQ(BusAddressItem(), nullptr);  // busAddress -1: no item
    EXPECT_EQ(DeviceItem()->childCount(), 1);

    // A parameter of unknown type has no limits, but its value is never read from the record:
    // only 0 reads back from its field, so nothing else can be verified for it.
    Select(ItemOf("Any"));
    Type("-123456");
    Accept();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgValueOutOfBounds});
    EXPECT_EQ(Model().Parameters()[1].verified, 0);
    dialogs_.shown.clear();
    Type("0");
    Accept();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(Model().Parameters()[1].verified, 1);

    AcceptAll();
    ASSERT_TRUE(Control<QPushButton>("1018")->isEnabled());
    Control<QPushButton>("1018")->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgParametersDoNotFit});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs_.shown[0].text,
              "The parameters of this module do not fit its parameter record. Please check the "
              "device catalog.");
    EXPECT_FALSE(Model().Crc().valid);
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");

    // A module without parameters: nothing to select, Accept does nothing.
    Control<QComboBox>("1001")->setCurrentIndex(1);
    window.OnModuleChanged();
    EXPECT_EQ(ModuleItem()->childCount(), 0);
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), nullptr);
    dialogs_.shown.clear();
    Accept();
    EXPECT_FALSE(Model().AllVerified());
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(VerificationTest, UnknownDisplayFormatShowsHexadecimal) {
    SettingsValues values;
    values.crcFormat = "7";
    Start(values);
    EXPECT_FALSE(Control<QRadioButton>("1037")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1038")->isChecked());
    AcceptAll();
    Control<QPushButton>("1018")->click();
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");
}

TEST_F(VerificationTest, HexAndDecAreRadioButtonsThatOnlyTheProgramMarks) {
    CNorvaneCRCToolDlg& window = Start();
    for (QRadioButton* radio : {Control<QRadioButton>("1037"), Control<QRadioButton>("1038")}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(radio);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::RadioButton)
            << radio->objectName().toStdString();
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));  // arrow keys move the focus
    AcceptAll();
    Control<QPushButton>("1018")->click();
    ASSERT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");

    // The arrow keys ask for the other format, as in any group of radio buttons.
    Control<QRadioButton>("1037")->setFocus();
    QTest::keyClick(Control<QRadioButton>("1037"), Qt::Key_Right);
    EXPECT_TRUE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1037")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), QString::number(0x299C144Au));
    EXPECT_NE(Settings().find("CrcDisplayFormat=1"), std::string::npos);

    // A request the window refuses leaves the mark where it was.
    FileHooks().write = [](int, const void*, size_t) -> ssize_t { return -1; };
    Control<QRadioButton>("1038")->setFocus();
    QTest::keyClick(Control<QRadioButton>("1038"), Qt::Key_Left);
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSettingWriteFailed});
    EXPECT_TRUE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1037")->isChecked());
    Control<QRadioButton>("1037")->click();
    EXPECT_TRUE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1037")->isChecked());
}

TEST_F(VerificationTest, DisplayFormatStaysWhenTheSettingCannotBeWritten) {
    CNorvaneCRCToolDlg& window = Start();
    AcceptAll();
    Control<QPushButton>("1018")->click();
    FileHooks().write = [](int, const void*, size_t) -> ssize_t { return -1; };
    Control<QRadioButton>("1038")->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSettingWriteFailed});
    EXPECT_EQ(dialogs_.shown[0].text, "Failed to write application setting <CrcDisplayFormat>.");
    EXPECT_EQ(dialogs_.shown[0].caption, "Application Error");
    EXPECT_EQ(window.m_crcDisplayFormat, 0);
    EXPECT_TRUE(Control<QRadioButton>("1037")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "299C144A");
}

}  // namespace
}  // namespace norvane::testing
