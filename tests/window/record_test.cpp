#include <QPrinter>
#include <algorithm>
#include <functional>
#include <optional>

#include "base/messages.h"
#include "project/project_file.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

class RecordTest : public WindowTest {
  protected:
    bool Offered() const { return Control<QAction>("1041")->isEnabled(); }
    void VerifyAndCompute() {
        AcceptAll();
        Control<QPushButton>("1018")->click();
        ASSERT_TRUE(Model().Crc().valid);
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path())) {
            names.push_back(entry.path().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string PathIn(const std::string& name) const { return (dir_.path() / name).string(); }
    ProjectData Collected() const { return window_->CurrentProject(); }
};

TEST_F(RecordTest, OfferedOnlyWhileTheCrcIsValidAndEverythingVerified) {
    CNorvaneCRCToolDlg& window = Start();
    const std::string saved = PathIn("verified.kfx");
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"started", [] {}},
        {"all verified, no CRC yet", [&] { AcceptAll(); }},
        {"CRC computed", [&] { Control<QPushButton>("1018")->click(); }},
        {"a value changed and accepted again (CRC follows)",
         [&] {
             Select(ItemOf("F_Dest_Add"));
             Type("1022");
             Accept();
             WriteProjectFile(Collected(), saved);
         }},
        {"another module",
         [&] {
             Control<QComboBox>("1001")->setCurrentIndex(1);
             window.OnModuleChanged();
         }},
        {"the verified project opened", [&] { window.OpenProjectFile(saved); }},
        {"new project", [&] { window.NewProject(); }},
    };
    const bool expected[] = {false, false, true, true, false, true, false};
    for (size_t i = 0; i < std::size(steps); ++i) {
        steps[i].second();
        EXPECT_EQ(Offered(), expected[i]) << steps[i].first;
    }
    // The one question on the way: the module change asks before it drops the marks.
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgDiscardVerification});
}

TEST_F(RecordTest, StatesWhatTheWindowShows) {
    CNorvaneCRCToolDlg& window = Start();
    TypeDescription("Line 3 & cabinet <2>");
    VerifyAndCompute();
    const VerificationRecord record = window.CurrentRecord();
    EXPECT_FALSE(record.tciMode);
    EXPECT_EQ(record.projectPath, "");
    EXPECT_EQ(record.catalogFileName, "Catalog.xml");
    EXPECT_EQ(record.catalogMd5, FileMd5(CatalogPath()).value_or("?"));
    EXPECT_EQ(QString::fromStdString(record.manufacturerName),
              Control<QComboBox>("1000")->currentText());
    EXPECT_EQ(QString::fromStdString(record.deviceName), Control<QComboBox>("1005")->currentText());
    EXPECT_EQ(QString::fromStdString(record.moduleName), Control<QComboBox>("1001")->currentText());
    EXPECT_EQ(record.manufacturerIdent, Model().SelectedManufacturer().identNumber);
    EXPECT_EQ(record.moduleIdent, Model().SelectedModule().identNumber);
    EXPECT_EQ(record.description, "Line 3 & cabinet <2>");
    ASSERT_EQ(record.parameters.size(), size_t(Control<QTableWidget>("1025")->rowCount()));
    for (size_t row = 0; row < record.parameters.size(); ++row) {
        const RecordParameter& p = record.parameters[row];
        EXPECT_EQ(QStringList({QString::fromStdString(p.name), QString::fromStdString(p.value),
                               QString::fromStdString(p.min), QString::fromStdString(p.max)}),
                  Row(int(row)).mid(0, 4));
        EXPECT_TRUE(p.verified);
    }
    EXPECT_EQ(record.crc, Model().Crc().value);
    const std::string html = MakeVerificationRecordHtml(record, RecordLanguage::English);
    EXPECT_NE(html.find("<span class=\"crc\">" + Control<QLineEdit>("1019")->text().toStdString()),
              std::string::npos);
    EXPECT_NE(html.find("Line 3 &amp; cabinet &lt;2&gt;"), std::string::npos);
}

TEST_F(RecordTest, BusAddressAsTheTreeShowsIt) {
    // The edit-mode device with its address.
    CNorvaneCRCToolDlg& window = Start();
    VerifyAndCompute();
    ASSERT_NE(Model().SelectedDevice().enableBusAddress, 0);
    EXPECT_EQ(window.CurrentRecord().busAddress,
              std::to_string(Model().SelectedDevice().busAddress));

    // A PROFINET call: the demo coupler uses no address (nothing to verify, none stated);
    // made to use one, it is the IP address of the call, as the tree shows it.
    SettingsValues tci;
    tci.editMode = "0";
    tci.debugTpf = "1";
    const std::string call =
        WriteFile(dir_.path() / "call.tpf", ReadFile(SourcePath("examples/ProfinetCall.tpf")));
    const std::string catalog = ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml"));
    const std::string unused = "identNumber=\"0x2001\" enableBusAddress=\"no\"";
    std::string used = catalog;
    used.replace(used.find(unused), unused.size(),
                 "identNumber=\"0x2001\" enableBusAddress=\"yes\"");
    const std::pair<std::string, std::optional<std::string>> cases[] = {{catalog, std::nullopt},
                                                                        {used, "192.168.0.41"}};
    for (const auto& [text, busAddress] : cases) {
        UseCatalog(text);
        Start(tci, {call});
        Select(VendorItem());
        for (int guard = 0; guard < 50 && !Model().AllVerified(); ++guard) {
            if (Control<QTreeWidget>("1002")->currentItem() == BusAddressItem() &&
                Model().SelectedDevice().enableBusAddress == 0) {
                Select(ModuleItem());  // nothing to accept there
            }
            Accept();
        }
        Control<QPushButton>("1018")->click();
        ASSERT_TRUE(Control<QAction>("1041")->isEnabled());
        const VerificationRecord record = window_->CurrentRecord();
        EXPECT_TRUE(record.tciMode);
        EXPECT_EQ(record.tpfFileName, "call.tpf");
        EXPECT_EQ(record.busAddress, busAddress);
        // The call's slot and IP address, and the header items' marks as the tree shows them.
        EXPECT_EQ(record.slot, std::optional<uint32_t>(1));
        EXPECT_EQ(record.ipAddress, "192.168.0.41");
        EXPECT_TRUE(record.manufacturerVerified && record.deviceVerified && record.moduleVerified);
        EXPECT_EQ(record.busAddressVerified, busAddress.has_value());
    }
}

TEST_F(RecordTest, SavesThePdfWhereTheUserChooses) {
    CNorvaneCRCToolDlg& window = Start();
    VerifyAndCompute();
    dialogs_.runPreviewCommand = true;

    // Cancelled: nothing is written.
    const std::vector<std::string> before = Files();
    Control<QAction>("1041")->trigger();
    ASSERT_EQ(dialogs_.previews.size(), 1u);
    EXPECT_EQ(dialogs_.previews[0].title, "Verification record");
    EXPECT_EQ(dialogs_.previews[0].commandText, "Save as &PDF…");
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    const FileDialogRequest& request = dialogs_.fileRequests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filters, QStringList({"PDF files (*.pdf)"}));
    EXPECT_EQ(request.defaultSuffix, "pdf");
    EXPECT_EQ(request.folder, QString::fromStdString(dir_.path().string()));
    EXPECT_EQ(Files(), before);

    // Chosen: the PDF is there, replacing what was, and the window says so.
    const std::string pdf = WriteFile(PathIn("record.pdf"), "old");
    dialogs_.files = {pdf};
    Control<QAction>("1041")->trigger();
    EXPECT_EQ(ReadFile(pdf).rfind("%PDF", 0), 0u);
    EXPECT_GT(ReadFile(pdf).size(), 1000u);
    ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgRecordSaved});
    EXPECT_EQ(dialogs_.shown[0].text,
              QString("The verification record was saved as %1.").arg(QString::fromStdString(pdf)));
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Information);
    dialogs_.shown.clear();

    // A folder that is not there: the message, and no file.
    const std::string nowhere = PathIn("missing/record.pdf");
    dialogs_.files = {nowhere};
    Control<QAction>("1041")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgRecordSaveFailed});
    EXPECT_FALSE(std::filesystem::exists(nowhere));

    // The preview prints the same document.
    const std::string printed = PathIn("printed.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printed));
    dialogs_.previews.back().paint(&printer);
    EXPECT_EQ(ReadFile(printed).rfind("%PDF", 0), 0u);
}

TEST_F(RecordTest, RefusedWhenTheCrcIsNotTheValuesCrc) {
    // A project whose stored CRC another catalog gave: verified, valid, but not these values'.
    CNorvaneCRCToolDlg& window = Start();
    VerifyAndCompute();
    ProjectData project = Collected();
    project.crc ^= 1;
    const std::string path = PathIn("other.kfx");
    WriteProjectFile(project, path);
    dialogs_.shown.clear();
    window.OpenProjectFile(path);
    // Opening does not show a CRC its values do not give, so no record can state it.
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgStoredCrcNotValues});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");
    EXPECT_FALSE(Control<QAction>("1041")->isEnabled());
    Control<QAction>("1041")->trigger();
    EXPECT_TRUE(dialogs_.previews.empty());

    // Computing it again makes the record possible.
    Control<QPushButton>("1018")->click();
    Control<QAction>("1041")->trigger();
    EXPECT_EQ(dialogs_.previews.size(), 1u);
}

}  // namespace
}  // namespace norvane::testing
