#include <QElapsedTimer>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QThread>

#include "base/messages.h"
#include "base/single_instance.h"
#include "window/application.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using StartupTest = WindowTest;

TEST_F(StartupTest, OpensInEditModeOnTheFirstModule) {
    CNorvaneCRCToolDlg& window = Start();
    EXPECT_FALSE(window.IsClosed());
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(window.m_viewMode, ViewMode::Edit);
    EXPECT_EQ(Control<QComboBox>("1000")->count(), 2);
    EXPECT_EQ(Control<QComboBox>("1000")->currentText(), "Norvane Automation");
    EXPECT_EQ(Control<QComboBox>("1005")->currentText(), "NV-DP 200 PROFIBUS head");
    EXPECT_EQ(Control<QComboBox>("1001")->currentText(), "F-DI 8x24VDC");
    // Each entry stands for its record's position in the catalog.
    EXPECT_EQ(Control<QComboBox>("1000")->itemData(1).toULongLong(), 1u);
    EXPECT_TRUE(Control<QComboBox>("1000")->isVisibleTo(&window));
    EXPECT_FALSE(Control<QLineEdit>("1022")->isVisibleTo(&window));
    EXPECT_FALSE(Control<QLineEdit>("1026")->isReadOnly());

    // Vendor, device, bus address and module head the tree; the parameters hang below.
    ASSERT_NE(VendorItem(), nullptr);
    EXPECT_EQ(VendorItem()->text(0), "Norvane Automation");
    EXPECT_EQ(DeviceItem()->parent(), VendorItem());
    ASSERT_NE(BusAddressItem(), nullptr);
    EXPECT_EQ(BusAddressItem()->text(0), "Bus-Address");
    EXPECT_EQ(DeviceItem()->indexOfChild(BusAddressItem()), 0);
    EXPECT_EQ(DeviceItem()->indexOfChild(ModuleItem()), 1);
    EXPECT_EQ(ModuleItem()->childCount(), 15);
    EXPECT_EQ(Control<QTreeWidget>("1002")->currentItem(), VendorItem());
    EXPECT_EQ(Control<QGroupBox>("1003")->title(), "Norvane Automation");

    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");
    EXPECT_FALSE(Control<QPushButton>("1018")->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>("1037")->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>("1037")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_EQ(window.windowTitle(), "Norvane Safety Configurator");
}

TEST_F(StartupTest, RequiredSettingsMissing) {
    for (const char* key : {"EditModeEnabled", "CrcDisplayFormat"}) {
        SettingsValues values;
        (std::string(key) == "EditModeEnabled" ? values.editMode : values.crcFormat) = "255";
        dialogs_.shown.clear();
        CNorvaneCRCToolDlg& window = Start(values);
        EXPECT_TRUE(window.IsClosed()) << key;
        ASSERT_EQ(dialogs_.shown.size(), 1u) << key;
        EXPECT_EQ(dialogs_.shown[0].text,
                  QString("Failed to read application setting <%1>.").arg(key));
        EXPECT_EQ(dialogs_.shown[0].caption, "Application Error");
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    }
}

TEST_F(StartupTest, CatalogFailuresEndTheRunWithTheirMessage) {
    struct Case {
        std::string catalog;
        bool rightDigest;
        int message;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {
        {"", true, kMsgCatalogLoadFailed, QMessageBox::Critical},  // empty file: not "corrupt"
        {"<Hersteller name=\"A\"/>", false, kMsgConfigurationCorrupt, QMessageBox::Warning},
        {"<FileVersion major=\"1\"/>", true, kMsgNoManufacturer, QMessageBox::Warning},
        {"<Hersteller name=\"A\"></x>", true, kMsgNoManufacturer, QMessageBox::Warning},
    };
    for (const Case& c : cases) {
        UseCatalog(c.catalog);
        SettingsValues values;
        if (!c.rightDigest) {
            values.catalogDigest = std::string(32, '0');
        }
        dialogs_.shown.clear();
        CNorvaneCRCToolDlg& window = Start(values);
        EXPECT_TRUE(window.IsClosed()) << c.catalog;
        ASSERT_EQ(dialogs_.Ids(), std::vector<int>{c.message}) << c.catalog;
        EXPECT_EQ(dialogs_.shown[0].icon, c.icon);
        EXPECT_EQ(dialogs_.shown[0].caption, "NorvaneSafetyCRCTool");
    }

    std::filesystem::remove(CatalogPath());
    dialogs_.shown.clear();
    Start();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgCatalogLoadFailed});
}

TEST_F(StartupTest, WithoutSelectedLanguageTheCatalogDigestIsMissing) {
    // Start-up then loads no language and so knows no digest; the window still finds the
    // catalog of language 1, and refuses it.
    SettingsValues values;
    values.selectedLanguage.clear();
    CNorvaneCRCToolDlg& window = Start(values);
    EXPECT_TRUE(window.IsClosed());
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgConfigurationCorrupt});
}

TEST_F(StartupTest, SettingsThatCannotBeWrittenAreReportedAtEveryStart) {
    WriteSettings({});
    FileHooks().rename = [](const char*, const char*) { return -1; };
    CNorvaneCRCToolDlg& window = Start();
    EXPECT_FALSE(window.IsClosed());
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, "Failed to write application setting <CrcDisplayFormat>.");
    EXPECT_EQ(dialogs_.shown[0].caption, "Application Error");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(Control<QRadioButton>("1037")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>("1038")->isChecked());
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");
}

TEST_F(StartupTest, CommandLineInEditMode) {
    const std::string tpf = WriteFile(dir_.path() / "call.tpf",
                                      "<?xml version=\"1.0\"?>\n<TPF "
                                      "xmlns=\"http://www.profibus.com/TCI/2006/03/TPF\">\n");
    const std::string other = WriteFile(dir_.path() / "project.kfx", "<Project/>");
    struct Case {
        std::vector<std::string> arguments;
        std::vector<int> messages;
        bool closed;
        QString text;
    };
    const Case cases[] = {
        {{tpf},
         {kMsgProfibusInEditMode},
         true,
         QString("The file %1 appears to have a Profibus format.\nThis file format is not "
                 "supported in edit mode.")
             .arg(QString::fromStdString(tpf))},
        {{(dir_.path() / "missing.kfx").string()},
         {kMsgFileNotFound},
         true,
         QString("File %1 not found.")
             .arg(QString::fromStdString((dir_.path() / "missing.kfx").string()))},
        {{"-switch"}, {kMsgFileNotFound}, true, "File  not found."},
        {{other},
         {kMsgProjectOpenFailed},
         false,
         QString("The project file could not be opened.\nThe file %1 is not a project file.")
             .arg(QString::fromStdString(other))},
        {{"-x", other, tpf},
         {kMsgProjectOpenFailed},
         false,
         QString("The project file could not be opened.\nThe file %1 is not a project file.")
             .arg(QString::fromStdString(other))},
    };
    for (const Case& c : cases) {
        dialogs_.shown.clear();
        CNorvaneCRCToolDlg& window = Start({}, c.arguments);
        EXPECT_EQ(dialogs_.Ids(), c.messages) << c.arguments.back();
        EXPECT_EQ(window.IsClosed(), c.closed) << c.arguments.back();
        ASSERT_FALSE(dialogs_.shown.empty());
        EXPECT_EQ(dialogs_.shown[0].text, c.text);
        EXPECT_EQ(window.m_viewMode, ViewMode::Edit);
    }
}

TEST_F(StartupTest, ToolCallingStartNeedsAFile) {
    SettingsValues values;
    values.editMode = "2";  // bit 0 clear: started by an engineering system
    CNorvaneCRCToolDlg& window = Start(values);
    EXPECT_TRUE(window.IsClosed());
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgInvalidArguments});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(window.m_viewMode, ViewMode::None);

    dialogs_.shown.clear();
    const std::string path = WriteFile(dir_.path() / "call.tpf", "<a/>\n<b/>\n");
    CNorvaneCRCToolDlg& second = Start(values, {path});
    EXPECT_TRUE(second.IsClosed());
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgNoTpfFormat});
    EXPECT_EQ(dialogs_.shown[0].text,
              QString::fromStdString("The content of file " + path + " has no TPF format."));
    EXPECT_EQ(second.m_viewMode, ViewMode::Tci);
    EXPECT_FALSE(Control<QComboBox>("1000")->isVisibleTo(&second));
    EXPECT_TRUE(Control<QLineEdit>("1022")->isVisibleTo(&second));
    EXPECT_TRUE(Control<QLineEdit>("1026")->isReadOnly());
}

TEST_F(StartupTest, ApplicationNeedsItsSettingsFile) {
    auto* application = qobject_cast<CNorvaneCRCToolApp*>(QCoreApplication::instance());
    ASSERT_NE(application, nullptr);
    const QByteArray previous = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", QByteArray::fromStdString(dir_.path().string()));
    EXPECT_FALSE(application->InitInstance());
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSettingsReadFailed});
    EXPECT_EQ(dialogs_.shown[0].text, "Failed to read application settings.");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "Norvane"));  // never created

    // With the file in place, a setting the window cannot read ends the run with its text.
    const auto folder = dir_.path() / "Norvane" / "Safety Configurator";
    std::filesystem::create_directories(folder);
    SettingsValues values;
    values.editMode.clear();
    WriteSettings(values);
    std::filesystem::copy_file(settingsPath_, folder / "NorvaneSafetyCRCTool.ini");
    dialogs_.shown.clear();
    EXPECT_FALSE(application->InitInstance());
    EXPECT_EQ(application->SettingsPath(), (folder / "NorvaneSafetyCRCTool.ini").string());
    // The test settings name a language pack that is not there: start-up goes on without it.
    ASSERT_EQ(dialogs_.shown.size(), 2u);
    EXPECT_EQ(dialogs_.shown[0].id, kMsgResourceModified);
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_EQ(dialogs_.shown[1].text, "Failed to read application setting <EditModeEnabled>.");
    EXPECT_EQ(dialogs_.shown[1].caption, "Application Error");
    qputenv("XDG_CONFIG_DIRS", previous);
}

// Whether the machine-wide name of the program is free within `deadline` milliseconds.
bool WaitUntilNoCopyRuns(int deadline) {
    QElapsedTimer clock;
    clock.start();
    while (SingleInstanceGuard().IsAlreadyRunning()) {
        if (clock.elapsed() > deadline) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

// The first message the real program shows when started with `arguments` and settings whose
// EditModeEnabled is `editMode`, read from its message log; id 0 when it shows none in time.
MessageRequest FirstMessageOfProgram(const std::string& editMode, const QStringList& arguments) {
    const std::filesystem::path program = NORVANE_PROGRAM_PATH;
    const std::filesystem::path folder = program.parent_path();
    const TempDir config;
    std::filesystem::create_directories(config.path() / "Norvane" / "Safety Configurator");
    WriteFile(config.path() / "Norvane" / "Safety Configurator" / "NorvaneSafetyCRCTool.ini",
              "[COMMON]\nSelectedLanguage=1\nEditModeEnabled=" + editMode +
                  "\nCrcDisplayFormat=0\nCloseCommitDialog=0\nDebugTpf=0\n"
                  "[LANGUAGE01]\nEnableLanguage=1\nDisplayName=English\n"
                  "ConfigurationFile=SafetyConfiguratorEN.xml\n"
                  "ResourceDll=NorvaneSafetyCRCToolEN.rcc\nMD5CheckSumDll=" +
                  FileMd5((folder / "NorvaneSafetyCRCToolEN.rcc").string()).value_or("") +
                  "\nMD5CheckSumConf=" +
                  FileMd5((folder / "SafetyConfiguratorEN.xml").string()).value_or("") + "\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_DIRS", QString::fromStdString(config.path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path().string()));
    environment.insert("QT_LOGGING_RULES", "norvane.messages.info=true");
    const QRegularExpression line(QStringLiteral("norvane\\.messages: message (\\d+) ([^\\n]*)"));
    // A copy of the program that runs meanwhile (started by hand) makes this one end silently;
    // then it is started again as soon as that copy has ended.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt > 0 && !WaitUntilNoCopyRuns(15000)) {
            break;
        }
        QProcess run;
        run.setProcessEnvironment(environment);
        run.start(QString::fromStdString(program.string()), arguments);
        QString log;
        QElapsedTimer clock;
        clock.start();
        while (!line.match(log).hasMatch() && run.state() != QProcess::NotRunning &&
               clock.elapsed() < 15000) {
            run.waitForReadyRead(100);
            log += QString::fromUtf8(run.readAllStandardError());
        }
        log += QString::fromUtf8(run.readAllStandardError());
        const bool ended = run.state() == QProcess::NotRunning;
        run.kill();  // a message box waits for an answer that nobody gives here
        run.waitForFinished(5000);
        if (const QRegularExpressionMatch match = line.match(log); match.hasMatch()) {
            return {match.captured(1).toInt(), match.captured(2), {}};
        }
        if (!ended) {
            break;
        }
    }
    return {};
}

TEST(ProgramArguments, EveryArgumentCountsEvenTheOnesQtKnows) {
    const struct {
        const char* editMode;
        QStringList arguments;
        int id;
        QString text;
    } cases[] = {
        {"0", {}, kMsgInvalidArguments, "Invalid program arguments passed"},
        // A switch alone is an argument without a file name.
        {"1", {"-reverse"}, kMsgFileNotFound, "File  not found."},
        {"1", {"-style", "fusion"}, kMsgFileNotFound, "File fusion not found."},
        {"1",
         {"-qwindowtitle", "t", "-platform", "offscreen"},
         kMsgFileNotFound,
         "File t not found."},
    };
    for (const auto& c : cases) {
        const MessageRequest shown = FirstMessageOfProgram(c.editMode, c.arguments);
        EXPECT_EQ(shown.id, c.id) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(shown.text, c.text) << c.arguments.join(' ').toStdString();
    }
    // In the tool calling mode a switch alone is an argument too: the program goes on to read
    // the (empty) file name instead of refusing the call for want of arguments.
    const MessageRequest tci = FirstMessageOfProgram("0", {"-reverse"});
    EXPECT_NE(tci.id, 0);
    EXPECT_NE(tci.id, kMsgInvalidArguments);
}

}  // namespace
}  // namespace norvane::testing
