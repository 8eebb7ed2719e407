#include <QGroupBox>
#include <QLayout>
#include <QListWidget>

#include "base/messages.h"
#include "safety/param_stream.h"
#include "safety/parameter_values.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

class TciStartTest : public WindowTest {
  protected:
    // A copy of a sample call (or the given text) where an engineering system would put it.
    std::string CallFile(const std::string& text) {
        return WriteFile(dir_.path() / "call.tpf", text);
    }
    std::string Sample(const char* name) {
        return ReadFile(SourcePath(std::string("examples/") + name));
    }
    CNorvaneCRCToolDlg& StartTci(const std::string& path, SettingsValues values = {}) {
        values.editMode = "0";
        return Start(values, {path});
    }
    uint32_t Value(const std::string& parameter) const {
        for (const CatalogParameter& p : Model().Parameters()) {
            if (p.name == parameter) {
                return p.value;
            }
        }
        ADD_FAILURE() << parameter;
        return 0;
    }
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST_F(TciStartTest, RefusesEveryCallItCannotTakeOver) {
    const std::string profibus = Sample("ProfibusCall.tpf");
    struct Case {
        const char* what;
        std::optional<std::string> contents;  // none: the file does not exist
        int message;
        QMessageBox::Icon icon;
        QString text;  // with %1 for the path
    };
    const Case cases[] = {
        {"missing file", std::nullopt, kMsgFileNotFound, QMessageBox::Warning,
         "File %1 not found."},
        {"namespace on the first line", profibus.substr(profibus.find('\n') + 1), kMsgNoTpfFormat,
         QMessageBox::Critical, "The content of file %1 has no TPF format."},
        {"not a tree", profibus.substr(0, profibus.find("<!--")) + "<a b=\"open>", kMsgNoTpfFormat,
         QMessageBox::Critical, "The content of file %1 has no TPF format."},
        {"no selected module",
         Replace(profibus, "curtain\" IsSelected=\"true\"", "curtain\" IsSelected=\"True\""),
         kMsgNoModuleSelected, QMessageBox::Critical, "No module selected."},
        {"module not in the catalog",
         Replace(profibus,
                 "Value=\"3\"/>\n              <ParameterItem Name=\"IdentNumber\" "
                 "Value=\"0x40A1\"",
                 "Value=\"3\"/>\n              <ParameterItem Name=\"IdentNumber\" "
                 "Value=\"0x40a1\""),
         kMsgModuleNotSupported, QMessageBox::Critical,
         "The selected module is not supported.\nF-DI 8x24VDC light curtain (0x40a1)"},
        {"no parameter stream", Replace(profibus, "Name=\"Prm-Telegram\"", "Name='Prm-Telegram'"),
         kMsgNoParameterRecord, QMessageBox::Critical,
         "There was no valid parameter record found for the selected module."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path =
            c.contents ? CallFile(*c.contents) : (dir_.path() / "missing.tpf").string();
        CNorvaneCRCToolDlg& window = StartTci(path);
        EXPECT_TRUE(window.IsClosed());
        EXPECT_EQ(window.m_viewMode, ViewMode::Tci);
        ASSERT_EQ(dialogs_.Ids(), std::vector<int>{c.message});
        EXPECT_EQ(dialogs_.shown[0].icon, c.icon);
        EXPECT_EQ(dialogs_.shown[0].text,
                  c.text.contains("%1") ? c.text.arg(QString::fromStdString(path)) : c.text);
        // A refused call leaves its file for the engineering system to look at.
        EXPECT_EQ(std::filesystem::exists(path), c.contents.has_value());
    }
}

TEST_F(TciStartTest, AFileThatPassesTheTestButCannotBeReadIsNotFound) {
    // Too large to be read into memory (sparse, so it takes no room on disk).
    const std::string path = CallFile(Sample("ProfibusCall.tpf"));
    std::filesystem::resize_file(path, uint64_t{1} << 32);
    CNorvaneCRCToolDlg& window = StartTci(path);
    EXPECT_TRUE(window.IsClosed());
    ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgFileNotFound});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(TciStartTest, ShowsTheProfibusModuleWithItsReceivedValues) {
    const std::string path = CallFile(Sample("ProfibusCall.tpf"));
    CNorvaneCRCToolDlg& window = StartTci(path);
    ASSERT_FALSE(window.IsClosed());
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(path));

    EXPECT_EQ(window.m_viewMode, ViewMode::Tci);
    for (QComboBox* combo :
         {Control<QComboBox>("1000"), Control<QComboBox>("1005"), Control<QComboBox>("1001")}) {
        EXPECT_FALSE(combo->isVisibleTo(&window));
    }
    const std::pair<QLineEdit*, const char*> edits[] = {
        {Control<QLineEdit>("1022"), "Norvane Automation"},
        {Control<QLineEdit>("1023"), "NV-DP 200 PROFIBUS head"},
        {Control<QLineEdit>("1024"), "F-DI 8x24VDC"}};
    const char* const spoken[] = {"Vendor", "Device", "Module"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(edits[i].first->isVisibleTo(&window));
        EXPECT_TRUE(edits[i].first->isReadOnly());
        EXPECT_EQ(edits[i].first->text(), edits[i].second);
        EXPECT_EQ(edits[i].first->accessibleName(), spoken[i]);
        EXPECT_EQ(edits[i].first->cursorPosition(), 0);
    }
    // The edits stand where the lists stood and are as wide, so whole names show.
    window.layout()->activate();
    Control<QGroupBox>("1029")->layout()->activate();
    EXPECT_GE(Control<QLineEdit>("1023")->width(),
              Control<QComboBox>("1000")->minimumSizeHint().width());
    EXPECT_GE(
        Control<QLineEdit>("1023")->width(),
        Control<QLineEdit>("1023")->fontMetrics().horizontalAdvance("NV-DP 200 PROFIBUS head"));
    EXPECT_EQ(Control<QLineEdit>("1026")->text(), "Conveyor safety station");
    EXPECT_EQ(Model().SelectedDevice().description, "Conveyor safety station");
    EXPECT_TRUE(Control<QPushButton>("1012")->isEnabled());
    EXPECT_EQ(Model().SelectedDevice().busAddress, 7);

    // The block of slot 3, not the one of slot 2 with the same module.
    EXPECT_EQ(Value("F_Source_Add"), 5u);
    EXPECT_EQ(Value("F_Dest_Add"), 120u);
    EXPECT_EQ(Value("F_WD_Time (ms)"), 200u);
    EXPECT_EQ(Value("F_SIL"), 2u);
    EXPECT_EQ(Value("Channel 4 activated"), 0u);
    EXPECT_EQ(Value("Channel 6 activated"), 1u);
    EXPECT_EQ(Value("Input delay"), 2u);
    EXPECT_EQ(Value("Discrepancy time (ms)"), 30u);
    EXPECT_EQ(Value("Short-circuit test mask"), 0xF0u);
    const int row = RowOf("F_Dest_Add");
    ASSERT_GE(row, 0);
    EXPECT_EQ(Row(row)[1], "120");

    // The CRC covers the received record, whatever the user accepts.
    AcceptAll();
    ASSERT_TRUE(Control<QPushButton>("1018")->isEnabled());
    Control<QPushButton>("1018")->click();
    const uint32_t expected = RecordSafetyCrc(Model().Tci().moduleRecord, 10);
    EXPECT_NE(expected, 0u);
    EXPECT_TRUE(Model().Crc().valid);
    EXPECT_EQ(Model().Crc().value, expected);
    EXPECT_EQ(Control<QLineEdit>("1019")->text().toStdString(), FormatCrc(true, expected, 0));
    // The received values are the engineering system's: the input is read-only, and Accept
    // confirms the value received, so the CRC shown stays the CRC of the values shown.
    Select(ItemOf("F_Dest_Add"));
    EXPECT_TRUE(Control<QLineEdit>("1009")->isReadOnly());
    Type("121");
    Accept();
    EXPECT_EQ(Value("F_Dest_Add"), 120u);
    EXPECT_EQ(Row(RowOf("F_Dest_Add"))[1], "120");
    EXPECT_TRUE(Model().Crc().valid);
    EXPECT_EQ(Model().Crc().value, expected);
    EXPECT_TRUE(dialogs_.shown.empty());
    // The bus address is the device's, not the module's record: it can still be typed.
    Select(BusAddressItem());
    EXPECT_FALSE(Control<QLineEdit>("1009")->isReadOnly());
}

TEST_F(TciStartTest, ShowsTheProfinetModuleAndItsIpAddress) {
    const std::string path = CallFile(Sample("ProfinetCall.tpf"));
    SettingsValues values;
    values.debugTpf = "1";
    CNorvaneCRCToolDlg& window = StartTci(path, values);
    ASSERT_FALSE(window.IsClosed());
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(std::filesystem::exists(path));  // kept for debugging
    EXPECT_EQ(Control<QLineEdit>("1022")->text(), "Kestrel Safety Systems");
    EXPECT_EQ(Control<QLineEdit>("1024")->text(), "KS F-DO 8x0.5A PM");
    // Read in the Intel device's bit order, an Int sign-extended.
    EXPECT_EQ(Value("F_Source_Add"), 5u);
    EXPECT_EQ(Value("F_Dest_Add"), 120u);
    EXPECT_EQ(Value("F_WD_Time (ms)"), 200u);
    EXPECT_EQ(Value("Output mask"), 0x0Fu);
    EXPECT_EQ(AsSigned(Value("Load current offset (mA)")), -3);
    EXPECT_EQ(Value("Diagnostics enabled"), 1u);
    EXPECT_EQ(Row(RowOf("Load current offset (mA)"))[1], "-3");

    ASSERT_NE(BusAddressItem(), nullptr);
    Select(BusAddressItem());
    EXPECT_EQ(Control<QLineEdit>("1017")->text(), "192.168.0.41");

    // Every received value within its limits: all verified, and the CRC of the received record
    // is the CRC that the same values give in edit mode.
    AcceptAll();
    ASSERT_TRUE(Model().AllVerified());
    Control<QPushButton>("1018")->click();
    ASSERT_TRUE(Model().Crc().valid);
    EXPECT_EQ(Model().Crc().value, ParameterImageCrc(DataFormat::Intel, 10, Model().Parameters()));
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "A05D19A8");
}

TEST_F(TciStartTest, NoCrcWhenTheCoveredBytesDoNotFitTheRecord) {
    // The PROFINET sample's module, claiming more bytes than a received record holds.
    UseCatalog(Replace(Sample("SafetyConfiguratorEN.xml"),
                       "lenModulParam=\"14\" lenUserParam=\"10\"",
                       "lenModulParam=\"14\" lenUserParam=\"253\""));
    CNorvaneCRCToolDlg& window = StartTci(CallFile(Sample("ProfinetCall.tpf")));
    ASSERT_FALSE(window.IsClosed());
    EXPECT_EQ(Model().SelectedModule().lenUserParam, 253);
    // The coupler uses no bus address: Accept stays on that item, so the walk goes on at the
    // module, as a user would click it.
    AcceptAll();
    Select(ModuleItem());
    for (int guard = 0; guard < 50 && !Model().AllVerified(); ++guard) {
        Accept();
    }
    EXPECT_TRUE(dialogs_.shown.empty());
    ASSERT_TRUE(Control<QPushButton>("1018")->isEnabled());
    Control<QPushButton>("1018")->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgParametersDoNotFit});
    EXPECT_FALSE(Model().Crc().valid);
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");
}

TEST_F(TciStartTest, ReportsFieldsOutsideTheRecordAndAMissingBlock) {
    // A catalog whose record is too short for the last two fields of the PROFINET module.
    UseCatalog(Replace(Sample("SafetyConfiguratorEN.xml"), "lenModulParam=\"14\"",
                       "lenModulParam=\"12\""));
    CNorvaneCRCToolDlg& window = StartTci(CallFile(Sample("ProfinetCall.tpf")));
    EXPECT_FALSE(window.IsClosed());
    EXPECT_EQ(dialogs_.Ids(), (std::vector<int>{kMsgParameterError, kMsgParameterError}));
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(Value("Load current offset (mA)"), 0u);
    EXPECT_EQ(Value("Diagnostics enabled"), 0u);
    EXPECT_EQ(Value("F_Dest_Add"), 120u);
    // A value that could not be decoded is not the record's: no CRC for what is shown.
    AcceptAll();
    Select(ModuleItem());
    for (int guard = 0; guard < 50 && !Model().AllVerified(); ++guard) {
        Accept();
    }
    dialogs_.shown.clear();
    Control<QPushButton>("1018")->click();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgNoReadBack});
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");

    // A slot that no block of the telegram has: the start completes, then the window closes.
    UseCatalog(Sample("SafetyConfiguratorEN.xml"));
    const std::string path =
        CallFile(Replace(Sample("ProfibusCall.tpf"), "<ParameterItem Name=\"Slot\" Value=\"3\"/>",
                         "<ParameterItem Name=\"Slot\" Value=\"4\"/>"));
    CNorvaneCRCToolDlg& closed = StartTci(path);
    EXPECT_TRUE(closed.IsClosed());
    EXPECT_EQ(closed.result(), QDialog::Accepted);
    ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgParameterNotInStream});
    EXPECT_EQ(dialogs_.shown[0].text, "Module parameter 0x40A1 not found in the byte-stream.");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(Value("F_Dest_Add"), 0u);
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace norvane::testing
