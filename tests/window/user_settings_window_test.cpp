// The application as an ordinary user runs it: machine-wide settings it only reads, the user's
// own choices in a file below XDG_CONFIG_HOME. With NORVANE_UNPACKED_ROOT set (by scripts/test,
// to a folder the Debian package was unpacked into) the same run uses the packaged files.
#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "base/messages.h"
#include "window/application.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back afterwards.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const std::string& value)
        : name_(name), previous_(qgetenv(name)) {
        qputenv(name, QByteArray::fromStdString(value));
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment() {
        if (previous_.isNull()) {
            qunsetenv(name_);
        } else {
            qputenv(name_, previous_);
        }
    }

  private:
    const char* name_;
    QByteArray previous_;
};

class UserSettingsWindowTest : public WindowTest {
  protected:
    // Runs the whole application; `whileOpen` gets the window once its modal run has begun and
    // should close it. False when the window never ran.
    bool RunApplication(const std::function<void(CNorvaneCRCToolDlg&)>& whileOpen) {
        auto* application = qobject_cast<CNorvaneCRCToolApp*>(QCoreApplication::instance());
        if (application == nullptr) {
            return false;
        }
        bool ran = false;
        QTimer timer;  // owned here, so it cannot fire into a later test
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* window = qobject_cast<CNorvaneCRCToolDlg*>(QApplication::activeModalWidget());
            if (window == nullptr) {
                return;
            }
            ran = true;
            whileOpen(*window);
            if (window->isVisible()) {
                window->findChild<QPushButton*>(QStringLiteral("1"))->click();
            }
        });
        timer.start(0);
        EXPECT_FALSE(application->InitInstance());
        return ran;
    }

    // Verifies every item, computes the CRC and presses Dec.
    static void PressDec(CNorvaneCRCToolDlg& window) {
        const auto control = [&window](const char* id) {
            return window.findChild<QWidget*>(QString::fromLatin1(id));
        };
        auto* tree = qobject_cast<QTreeWidget*>(control("1002"));
        tree->setCurrentItem(tree->topLevelItem(0));
        for (int guard = 0; guard < 200 && !window.Model().AllVerified(); ++guard) {
            qobject_cast<QPushButton*>(control("1012"))->click();
        }
        qobject_cast<QPushButton*>(control("1018"))->click();
        auto* dec = qobject_cast<QRadioButton*>(control("1038"));
        ASSERT_TRUE(dec->isEnabled());
        dec->click();
    }

    // Machine-wide settings with the built English and German packs and catalogs, where the
    // application looks for them.
    fs::path InstallMachineSettings() {
        const fs::path built(NORVANE_PACK_DIR);
        std::string text =
            "[COMMON]\nSelectedLanguage=1\nEditModeEnabled=1\nCrcDisplayFormat=0\n"
            "CloseCommitDialog=0\nProjectFolderPath=/srv/projects\n";
        int number = 1;
        for (const std::string language : {"EN", "DE"}) {
            const std::string pack = "NorvaneSafetyCRCTool" + language + ".rcc";
            const std::string catalog = "SafetyConfigurator" + language + ".xml";
            for (const std::string& name : {pack, catalog}) {
                fs::copy_file(built / name, programDir_ / name,
                              fs::copy_options::overwrite_existing);
            }
            text += "[LANGUAGE0" + std::to_string(number++) + "]\nEnableLanguage=1\n" +
                    "DisplayName=" + language + "\nConfigurationFile=" + catalog +
                    "\nResourceDll=" + pack +
                    "\nMD5CheckSumDll=" + FileMd5((programDir_ / pack).string()).value_or("") +
                    "\nMD5CheckSumConf=" + FileMd5((programDir_ / catalog).string()).value_or("") +
                    "\n";
        }
        const fs::path folder = dir_.path() / "xdg" / "Norvane" / "Safety Configurator";
        fs::create_directories(folder);
        return WriteFile(folder / "NorvaneSafetyCRCTool.ini", text);
    }

    fs::path UserFile() const {
        return dir_.path() / "config" / "Norvane" / "Safety Configurator" /
               "NorvaneSafetyCRCTool.ini";
    }
};

TEST_F(UserSettingsWindowTest, ChoicesGoToTheUserFileAndSurviveARestart) {
    const fs::path machine = InstallMachineSettings();
    const std::string machineText = ReadFile(machine);
    const ScopedEnvironment dirs("XDG_CONFIG_DIRS", (dir_.path() / "xdg").string());

    ASSERT_TRUE(RunApplication([](CNorvaneCRCToolDlg& window) {
        PressDec(window);
        // German, from the next start on.
        window.findChild<QAction*>(QStringLiteral("32781"))->trigger();
    }));
    // Exit then asks about the verified work, which was never saved.
    EXPECT_EQ(dialogs_.Ids(), (std::vector<int>{kMsgRestartForLanguage, kMsgProjectUnsaved}));
    EXPECT_EQ(ReadFile(UserFile()), "[COMMON]\nCrcDisplayFormat=1\nSelectedLanguage=2\n");
    EXPECT_EQ(ReadFile(machine), machineText);

    dialogs_.shown.clear();
    ReleaseLanguageResources();  // as at the end of a process
    bool decimal = false;
    std::string catalog;
    ASSERT_TRUE(RunApplication([&](CNorvaneCRCToolDlg& window) {
        decimal = window.findChild<QRadioButton*>(QStringLiteral("1038"))->isChecked() &&
                  window.m_crcDisplayFormat == 1;
        catalog = window.m_catalogPath;
    }));
    EXPECT_TRUE(decimal);
    EXPECT_EQ(catalog, (programDir_ / "SafetyConfiguratorDE.xml").string());
    EXPECT_TRUE(ResourceLibraryLoaded());
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(ReadFile(machine), machineText);
}

TEST_F(UserSettingsWindowTest, UserFileThatCannotBeMadeIsReportedAndTheWindowOpens) {
    const fs::path machine = InstallMachineSettings();
    const std::string machineText = ReadFile(machine);
    const ScopedEnvironment dirs("XDG_CONFIG_DIRS", (dir_.path() / "xdg").string());
    WriteFile(dir_.path() / "config", "a file where the config folder belongs");

    bool stillHex = false;
    ASSERT_TRUE(RunApplication([&](CNorvaneCRCToolDlg& window) {
        PressDec(window);
        // The refused choice changes nothing: the CRC stays in hexadecimal form.
        stillHex = window.m_crcDisplayFormat == 0 &&
                   !window.findChild<QRadioButton*>(QStringLiteral("1038"))->isChecked() &&
                   window.findChild<QLineEdit*>(QStringLiteral("1019"))->text() ==
                       QString::number(window.Model().Crc().value, 16).toUpper();
    }));
    EXPECT_TRUE(stillHex);
    // At start-up and at the Dec press; then Exit asks about the unsaved verification.
    ASSERT_EQ(dialogs_.Ids(), (std::vector<int>{kMsgSettingWriteFailed, kMsgSettingWriteFailed,
                                                kMsgProjectUnsaved}));
    dialogs_.shown.pop_back();
    for (const MessageRequest& shown : dialogs_.shown) {
        EXPECT_EQ(shown.text, "Failed to write application setting <CrcDisplayFormat>.");
        EXPECT_EQ(shown.caption, "Application Error");
        EXPECT_EQ(shown.icon, QMessageBox::Critical);
    }
    EXPECT_EQ(ReadFile(machine), machineText);
}

// The package unpacked into a folder: its program, found through the /usr/bin link as the
// running program finds itself, its catalogs, packs and machine-wide settings.
TEST_F(UserSettingsWindowTest, UnpackedPackageStartsWithoutAMessage) {
    const char* root = std::getenv("NORVANE_UNPACKED_ROOT");
    if (root == nullptr || *root == '\0') {
        GTEST_SKIP() << "NORVANE_UNPACKED_ROOT names no unpacked package";
    }
    const fs::path link = fs::path(root) / "usr/bin/norvane-safety-crc-tool";
    ASSERT_TRUE(fs::is_symlink(link));
    const fs::path program = fs::canonical(link);
    const AppLocations locations = LocationsOf(program.string());
    EXPECT_EQ(locations.programDir,
              fs::canonical(fs::path(root) / "usr/lib/norvane-safety-crc-tool").string() + "/");
    const fs::path machine =
        fs::path(root) / "etc/xdg/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini";
    const std::string machineText = ReadFile(machine);
    ASSERT_FALSE(machineText.empty());
    const ScopedEnvironment dirs("XDG_CONFIG_DIRS", (fs::path(root) / "etc/xdg").string());

    // The real program: its start-up writes the display format back, into the user file.
    {
        QProcess real;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        real.setProcessEnvironment(environment);
        real.start(QString::fromStdString(link.string()), {});
        ASSERT_TRUE(real.waitForStarted(10000));
        bool written = false;
        for (int i = 0; i < 200 && !written && real.state() == QProcess::Running; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            written = ReadFile(UserFile()).find("CrcDisplayFormat=") != std::string::npos;
        }
        EXPECT_TRUE(written) << "the program ended or wrote nothing (another copy running?)";
        EXPECT_EQ(real.state(), QProcess::Running);
        real.kill();
        real.waitForFinished(10000);
    }
    fs::remove_all(dir_.path() / "config");

    // The same start in this process, where every message is seen, and a Dec press.
    // The installed settings ask before closing; only what came before counts.
    SetLocations(locations);
    std::vector<MessageRequest> whileOpen;
    ASSERT_TRUE(RunApplication([&](CNorvaneCRCToolDlg& window) {
        PressDec(window);
        whileOpen = dialogs_.shown;
    }));
    for (const MessageRequest& shown : whileOpen) {
        ADD_FAILURE() << "message " << shown.id << ": " << shown.text.toStdString();
    }
    EXPECT_NE(ReadFile(UserFile()).find("CrcDisplayFormat=1"), std::string::npos);
    EXPECT_EQ(ReadFile(machine), machineText);
}

}  // namespace
}  // namespace norvane::testing
