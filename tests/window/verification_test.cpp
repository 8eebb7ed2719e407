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
    CNorvaneCRCToolDlg& window = Start();
    Select(window.vendorTreeItem);
    Accept();
    EXPECT_TRUE(window.vendorVerified);
    EXPECT_EQ(window.vendorTreeItem->data(0, Qt::AccessibleDescriptionRole).toString(), "verified");
    EXPECT_EQ(window.deviceTreeItem->data(0, Qt::AccessibleDescriptionRole).toString(),
              "not verified");
    EXPECT_EQ(window.m_tree->currentItem(), window.deviceTreeItem);
    EXPECT_EQ(window.m_selectedGroup->title(), "NV-DP 200 PROFIBUS head");
    Accept();
    EXPECT_EQ(window.m_tree->currentItem(), window.busAddressTreeItem);
    EXPECT_EQ(window.m_selectedGroup->title(), "Bus-Address");
    EXPECT_EQ(window.m_input->text(), "3");
    EXPECT_EQ(window.m_minEdit->text(), "1");
    EXPECT_EQ(window.m_maxEdit->text(), "125");
    Accept();
    EXPECT_TRUE(window.busAddressVerified);
    EXPECT_EQ(window.m_tree->currentItem(), window.moduleTreeItem);
    Accept();
    EXPECT_EQ(window.m_tree->currentItem(), ItemOf("F_Source_Add"));
    EXPECT_FALSE(window.m_calcCrc->isEnabled());

    // Every parameter with its shown value; the last Accept leaves the selection in place.
    for (int i = 0; i < 15; ++i) {
        Accept();
    }
    EXPECT_EQ(window.m_tree->currentItem(), ItemOf("Short-circuit test mask"));
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(window.AllVerified());
    EXPECT_TRUE(window.m_calcCrc->isEnabled());
    EXPECT_TRUE(window.m_hex->isEnabled());
    EXPECT_TRUE(window.m_dec->isEnabled());
    EXPECT_EQ(window.m_crcEdit->text(), "N/A");

    window.m_calcCrc->click();
    EXPECT_TRUE(window.m_crcValid);
    EXPECT_EQ(window.m_crcEdit->text(), "299C144A");  // as `safetycrc crc` gives it

    window.m_dec->click();
    EXPECT_EQ(window.m_crcEdit->text(), QString::number(0x299C144Au));
    EXPECT_TRUE(window.m_dec->isChecked());
    EXPECT_FALSE(window.m_hex->isChecked());
    EXPECT_NE(Settings().find("CrcDisplayFormat=1"), std::string::npos);
    window.m_hex->click();
    EXPECT_EQ(window.m_crcEdit->text(), "299C144A");
    EXPECT_NE(Settings().find("CrcDisplayFormat=0"), std::string::npos);

    // While the CRC is valid, every Accept computes it again from the accepted values.
    Select(ItemOf("F_Dest_Add"));
    Type("101");
    Accept();
    const ParamStream image =
        BuildParamStream(DataFormat::Motorola, 14, window.m_catalog.parameterList);
    EXPECT_EQ(window.m_crcEdit->text(),
              QString::number(RecordSafetyCrc(image.data, 10), 16).toUpper());
    EXPECT_NE(window.m_crcEdit->text(), "299C144A");
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
        {"F_Source_Add", "99999999999", kMsgValueOutOfBounds, 0},
        {"F_Source_Add", " 7abc", 0, 7},
        {"Short-circuit test mask", "1F", 0, 0},  // the prefix is required
        {"Short-circuit test mask", "0x100", kMsgValueOutOfBounds, 0},
        {"Short-circuit test mask", "0x000000001", kMsgValueOutOfBounds, 0},
        {"Channel 0 activated", "2", kMsgValueOutOfBounds, 0},
        {"Channel 0 activated", "0", 0, 0},
        {"Short-circuit test mask", "0x1F", 0, 31},
    };
    auto& parameters = window.m_catalog.parameterList;
    for (const Case& c : cases) {
        dialogs_.shown.clear();
        QTreeWidgetItem* item = ItemOf(c.parameter);
        const auto index = static_cast<size_t>(window.moduleTreeItem->indexOfChild(item));
        parameters[index].verified = 0;
        const uint32_t before = parameters[index].value;
        Select(item);
        Type(c.input);
        Accept();
        if (c.message != 0) {
            EXPECT_EQ(dialogs_.Ids(), std::vector<int>{c.message}) << c.parameter << " " << c.input;
            EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
            EXPECT_EQ(parameters[index].verified, 0) << c.input;
            EXPECT_EQ(parameters[index].value, before) << c.input;
            EXPECT_EQ(window.m_tree->currentItem(), item);
        } else {
            EXPECT_TRUE(dialogs_.shown.empty()) << c.input;
            EXPECT_EQ(parameters[index].verified, 1) << c.input;
            EXPECT_EQ(parameters[index].value, c.value) << c.input;
        }
    }
    // The last parameter keeps the selection, so its accepted value stays in view.
    EXPECT_EQ(window.m_valueEdit->text(), "0x0000001f");
    EXPECT_EQ(Row(RowOf("F_Source_Add"))[1], "7");
}

TEST_F(VerificationTest, BusAddressAndEnumerations) {
    CNorvaneCRCToolDlg& window = Start();
    Select(window.busAddressTreeItem);
    for (const char* input : {"0", "126", "99999999999"}) {
        dialogs_.shown.clear();
        Type(input);
        Accept();
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgInvalidValue}) << input;
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
        EXPECT_FALSE(window.busAddressVerified);
    }
    Type("125");
    Accept();
    EXPECT_TRUE(window.busAddressVerified);
    EXPECT_EQ(window.selectedDevice.busAddress, 125);
    EXPECT_EQ(window.m_valueEdit->text(), "125");

    // An enumeration is chosen from its items; the value is the item's number.
    Select(ItemOf("F_SIL"));
    EXPECT_TRUE(window.m_enumInput->isVisibleTo(&window));
    EXPECT_FALSE(window.m_input->isVisibleTo(&window));
    EXPECT_FALSE(window.m_minEdit->isVisibleTo(&window));
    EXPECT_EQ(window.m_enumInput->count(), 3);
    EXPECT_EQ(window.m_enumInput->currentText(), "SIL3");
    EXPECT_EQ(window.m_valueEdit->text(), "SIL3");
    window.m_enumInput->setCurrentIndex(1);
    Accept();
    const CatalogParameter& sil = window.m_catalog.parameterList[3];
    EXPECT_EQ(sil.value, 1u);
    EXPECT_EQ(sil.verified, 1);
    Select(ItemOf("F_SIL"));
    EXPECT_EQ(window.m_valueEdit->text(), "SIL2");
    const int row = RowOf("F_SIL");
    EXPECT_EQ(Row(row), (QStringList{"F_SIL", "SIL2", "SIL1", "SIL3", "UInt", "enum"}));
}

TEST_F(VerificationTest, DeviceWithoutBusAddressNeedsNone) {
    // The PROFINET head shows its address item (address 0) but does not use it.
    CNorvaneCRCToolDlg& window = Start();
    window.m_deviceCombo->setCurrentIndex(1);
    window.OnDeviceChanged();
    EXPECT_EQ(window.selectedDevice.enableBusAddress, 0);
    ASSERT_NE(window.busAddressTreeItem, nullptr);
    Select(window.busAddressTreeItem);
    Accept();  // does nothing
    EXPECT_FALSE(window.busAddressVerified);
    EXPECT_EQ(window.m_tree->currentItem(), window.busAddressTreeItem);
    for (QTreeWidgetItem* item :
         {window.vendorTreeItem, window.deviceTreeItem, window.moduleTreeItem}) {
        Select(item);
        Accept();
    }
    for (int i = 0; i < 8; ++i) {
        Accept();
    }
    EXPECT_TRUE(window.AllVerified());
    EXPECT_TRUE(window.m_calcCrc->isEnabled());
}

TEST_F(VerificationTest, OverviewShowsEveryParameter) {
    CNorvaneCRCToolDlg& window = Start();
    QTableWidget* overview = window.m_overview;
    ASSERT_EQ(overview->columnCount(), 6);
    QStringList headers;
    for (int column = 0; column < 6; ++column) {
        headers << overview->horizontalHeaderItem(column)->text();
    }
    EXPECT_EQ(headers, (QStringList{"Name", "Value", "min.", "max.", "Typ", "View"}));
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

    // An enumeration value that matches no item.
    window.m_catalog.parameterList[3].value = 9;
    window.RefreshOverview();
    EXPECT_EQ(Row(3)[1], "Ungültig");
    Select(ItemOf("F_SIL"));
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].caption, "Invalid Value");
    EXPECT_EQ(dialogs_.shown[0].text, "F_SIL = 9");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::NoIcon);
    EXPECT_EQ(window.m_enumInput->currentIndex(), -1);

    // A signed module: the analogue input of the same device.
    window.m_moduleCombo->setCurrentIndex(2);
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
    EXPECT_EQ(window.busAddressTreeItem, nullptr);  // busAddress -1: no item
    EXPECT_EQ(window.deviceTreeItem->childCount(), 1);

    // A parameter of unknown type takes any value.
    Select(ItemOf("Any"));
    Type("-123456");
    Accept();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(window.m_catalog.parameterList[1].value, static_cast<uint32_t>(-123456));

    AcceptAll();
    ASSERT_TRUE(window.m_calcCrc->isEnabled());
    window.m_calcCrc->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgParametersDoNotFit});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs_.shown[0].text,
              "The parameters of this module do not fit its parameter record. Please check the "
              "device catalog.");
    EXPECT_FALSE(window.m_crcValid);
    EXPECT_EQ(window.m_crcEdit->text(), "N/A");

    // A module without parameters: nothing to select, Accept does nothing.
    window.m_moduleCombo->setCurrentIndex(1);
    window.OnModuleChanged();
    EXPECT_EQ(window.moduleTreeItem->childCount(), 0);
    EXPECT_EQ(window.m_tree->currentItem(), nullptr);
    dialogs_.shown.clear();
    Accept();
    EXPECT_FALSE(window.AllVerified());
    EXPECT_TRUE(dialogs_.shown.empty());
}

TEST_F(VerificationTest, UnknownDisplayFormatShowsHexadecimal) {
    SettingsValues values;
    values.crcFormat = "7";
    CNorvaneCRCToolDlg& window = Start(values);
    EXPECT_FALSE(window.m_hex->isChecked());
    EXPECT_FALSE(window.m_dec->isChecked());
    AcceptAll();
    window.m_calcCrc->click();
    EXPECT_EQ(window.m_crcEdit->text(), "299C144A");
}

TEST_F(VerificationTest, HexAndDecAreRadioButtonsThatOnlyTheProgramMarks) {
    CNorvaneCRCToolDlg& window = Start();
    for (QRadioButton* radio : {window.m_hex, window.m_dec}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(radio);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::RadioButton)
            << radio->objectName().toStdString();
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));  // arrow keys move the focus
    AcceptAll();
    window.m_calcCrc->click();
    ASSERT_EQ(window.m_crcEdit->text(), "299C144A");

    // The arrow keys ask for the other format, as in any group of radio buttons.
    window.m_hex->setFocus();
    QTest::keyClick(window.m_hex, Qt::Key_Right);
    EXPECT_TRUE(window.m_dec->isChecked());
    EXPECT_FALSE(window.m_hex->isChecked());
    EXPECT_EQ(window.m_crcEdit->text(), QString::number(0x299C144Au));
    EXPECT_NE(Settings().find("CrcDisplayFormat=1"), std::string::npos);

    // A request the window refuses leaves the mark where it was.
    FileHooks().write = [](int, const void*, size_t) -> ssize_t { return -1; };
    window.m_dec->setFocus();
    QTest::keyClick(window.m_dec, Qt::Key_Left);
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSettingWriteFailed});
    EXPECT_TRUE(window.m_dec->isChecked());
    EXPECT_FALSE(window.m_hex->isChecked());
    window.m_hex->click();
    EXPECT_TRUE(window.m_dec->isChecked());
    EXPECT_FALSE(window.m_hex->isChecked());
}

TEST_F(VerificationTest, DisplayFormatStaysWhenTheSettingCannotBeWritten) {
    CNorvaneCRCToolDlg& window = Start();
    AcceptAll();
    window.m_calcCrc->click();
    FileHooks().write = [](int, const void*, size_t) -> ssize_t { return -1; };
    window.m_dec->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSettingWriteFailed});
    EXPECT_EQ(dialogs_.shown[0].text, "Failed to write application setting <CrcDisplayFormat>.");
    EXPECT_EQ(dialogs_.shown[0].caption, "Application Error");
    EXPECT_EQ(window.m_crcDisplayFormat, 0);
    EXPECT_TRUE(window.m_hex->isChecked());
    EXPECT_FALSE(window.m_dec->isChecked());
    EXPECT_EQ(window.m_crcEdit->text(), "299C144A");
}

}  // namespace
}  // namespace norvane::testing
