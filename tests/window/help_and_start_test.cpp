// The help window, Qt's own texts in German, and a second start of the program: through the
// real widgets (found by their object names) and, for the second start, the real program.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QThread>
#include <filesystem>

#include "base/messages.h"
#include "base/single_instance.h"
#include "window/help_window.h"
#include "window/qt_translations.h"
#include "window/second_start.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using HelpWindowTest = WindowTest;

// Runs the event loop until `done` holds, for at most five seconds.
template <class Condition>
bool WaitFor(Condition done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return done();
}

TEST_F(HelpWindowTest, TheGuideWithBackForwardAndSearch) {
    Start();
    const QString guide = QStringLiteral(NORVANE_PACK_DIR) + "/NorvaneSafetyCRCToolHelpEN.html";
    CHelpWindow* help = CHelpWindow::Open(window_.get(), guide);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(help->windowTitle(), "Norvane Safety Configurator Help");
    auto* browser = help->findChild<QTextBrowser*>("help.browser");
    auto* back = help->findChild<QPushButton*>("help.back");
    auto* forward = help->findChild<QPushButton*>("help.forward");
    auto* find = help->findChild<QLineEdit*>("help.find");
    auto* notFound = help->findChild<QLabel*>("help.notfound");
    ASSERT_TRUE(browser && back && forward && find && notFound);
    EXPECT_TRUE(browser->toPlainText().contains("What the tool is for"));
    EXPECT_FALSE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    // A link of the contents, then back and forward again.
    browser->setSource(browser->source().resolved(QUrl("#crc")));
    EXPECT_EQ(browser->source().fragment(), "crc");
    EXPECT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(browser->source().fragment(), "");
    EXPECT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(browser->source().fragment(), "crc");

    // Search: Enter finds the next place, again and again, round the end; nothing found says so.
    find->setText("calc-crc");
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_EQ(browser->textCursor().selectedText(), "Calc-CRC");
    const int first = browser->textCursor().position();
    QTest::keyClick(find, Qt::Key_Return);
    EXPECT_NE(browser->textCursor().position(), first);
    EXPECT_FALSE(notFound->isVisibleTo(help));
    find->setText("no such words in the guide");
    EXPECT_FALSE(help->Find());
    EXPECT_TRUE(notFound->isVisibleTo(help));

    // Help again: the same window, where the user left it.
    EXPECT_EQ(CHelpWindow::Open(window_.get(), guide), help);
    EXPECT_EQ(window_->findChildren<CHelpWindow*>().size(), 1);
    EXPECT_EQ(browser->source().fragment(), "crc");
    // A guide that is not there opens nothing.
    EXPECT_EQ(CHelpWindow::Open(window_.get(), guide + ".missing"), nullptr);
}

// Qt's own dialogs and buttons speak the window's language once its translations are loaded.
TEST_F(HelpWindowTest, QtsOwnTextsInGerman) {
    struct Case {
        QString language;
        bool loaded;
        QString yes;
        QString cancel;
        QString ctrl;
        QString print;
    };
    const Case cases[] = {
        {"de", true, "&Ja", "Abbrechen", "Strg+S", "Drucken"},
        {"en", false, "&Yes", "Cancel", "Ctrl+S", "Print"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadQtTranslations(c.language), c.loaded) << c.language.toStdString();
        QMessageBox box(QMessageBox::Question, "t", "?", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), c.yes);
        QFileDialog files;
        files.setOption(QFileDialog::DontUseNativeDialog);
        bool cancel = false;
        for (QPushButton* button : files.findChildren<QPushButton*>()) {
            cancel = cancel || button->text() == c.cancel;
        }
        EXPECT_TRUE(cancel) << c.cancel.toStdString();
        EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText), c.ctrl);
        QPrinter printer;
        QPrintPreviewDialog preview(&printer);
        bool print = false;
        for (QAction* action : preview.findChildren<QAction*>()) {
            print = print || action->text() == c.print;
        }
        EXPECT_TRUE(print) << c.print.toStdString();
    }
    ReleaseQtTranslations();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}

using SecondStartTest = WindowTest;

TEST_F(SecondStartTest, TheRunningWindowComesForwardAndSaysWhatToDo) {
    const std::string name = "norvane-second-start-test-" + std::to_string(::getpid());
    const SingleInstanceGuard guard(name);
    ASSERT_GE(guard.ListeningSocket(), 0);
    struct Case {
        std::string editMode;
        std::string file;
        std::vector<int> messages;
    };
    const std::string tpf =
        WriteFile(dir_.path() / "call.tpf", ReadFile(SourcePath("examples/ProfinetCall.tpf")));
    const Case cases[] = {
        {"1", "", {}},
        {"1", "/home/engineer/Line 3.kfx", {kMsgSecondStartWithFile}},
        {"0", "/home/engineer/other.tpf", {kMsgSecondStartWhileCalled}},
    };
    for (const Case& c : cases) {
        SettingsValues values;
        values.editMode = c.editMode;
        values.debugTpf = "1";
        Start(values,
              c.editMode == "0" ? std::vector<std::string>{tpf} : std::vector<std::string>{});
        ASSERT_FALSE(window_->IsClosed());
        ListenForSecondStarts(*window_, guard);
        dialogs_.shown.clear();
        QWidget other;  // another window has the focus when the second start comes
        other.show();
        other.activateWindow();
        ASSERT_TRUE(SendInstanceRequest(name, {c.file}));
        ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window_.get(); }))
            << c.file;
        WaitFor([&] { return dialogs_.shown.size() >= c.messages.size(); });
        EXPECT_EQ(dialogs_.Ids(), c.messages) << c.file;
        if (!c.messages.empty()) {
            EXPECT_TRUE(dialogs_.shown[0].text.contains(QString::fromStdString(c.file)));
            EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Information);
        }
    }
}

TEST(SecondStartRequestTest, TheFileIsNamedAbsolutely) {
    const std::string here = std::filesystem::current_path().string();
    const struct {
        std::vector<std::string> arguments;
        std::string file;
    } cases[] = {
        {{"p"}, ""},
        {{"p", "-reverse"}, ""},
        {{"p", "/abs/p.kfx"}, "/abs/p.kfx"},
        {{"p", "-x", "rel/../p.kfx", "second.kfx"}, here + "/p.kfx"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SecondStartRequest(c.arguments).fileName, c.file);
    }
}

// The real program started twice: the second start ends at once without a window, and the
// first one tells what to do with the second start's file.
TEST(SecondStart, TheRealProgramStartedTwice) {
    const std::filesystem::path program = NORVANE_PROGRAM_PATH;
    const std::filesystem::path folder = program.parent_path();
    const TempDir config;
    std::filesystem::create_directories(config.path() / "Norvane" / "Safety Configurator");
    WriteFile(config.path() / "Norvane" / "Safety Configurator" / "NorvaneSafetyCRCTool.ini",
              "[COMMON]\nSelectedLanguage=1\nEditModeEnabled=1\nCrcDisplayFormat=0\n"
              "CloseCommitDialog=0\nDebugTpf=0\n[LANGUAGE01]\nEnableLanguage=1\n"
              "DisplayName=English\nConfigurationFile=SafetyConfiguratorEN.xml\n"
              "ResourceDll=NorvaneSafetyCRCToolEN.rcc\nMD5CheckSumDll=" +
                  FileMd5((folder / "NorvaneSafetyCRCToolEN.rcc").string()).value_or("") +
                  "\nMD5CheckSumConf=" +
                  FileMd5((folder / "SafetyConfiguratorEN.xml").string()).value_or("") + "\n");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_DIRS", QString::fromStdString(config.path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(config.path().string()));
    environment.insert("QT_LOGGING_RULES", "norvane.messages.info=true");

    {
        const SingleInstanceGuard probe;
        ASSERT_FALSE(probe.IsAlreadyRunning()) << "another copy of the program is running";
    }
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QString::fromStdString(program.string()), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // Running once it holds the name.
    QElapsedTimer clock;
    clock.start();
    while (!SingleInstanceGuard().IsAlreadyRunning() && clock.elapsed() < 15000) {
        QThread::msleep(50);
    }
    const QString project = QString::fromStdString((config.path() / "line 3.kfx").string());
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QString::fromStdString(program.string()), {project});
    EXPECT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(second.readAllStandardError().count("norvane.messages"), 0);

    QString log;
    const QRegularExpression message("norvane\\.messages: message 163 ");
    clock.restart();
    while (!message.match(log).hasMatch() && clock.elapsed() < 15000 &&
           first.state() == QProcess::Running) {
        first.waitForReadyRead(100);
        log += QString::fromUtf8(first.readAllStandardError());
    }
    first.kill();
    first.waitForFinished(5000);
    ASSERT_TRUE(message.match(log).hasMatch()) << log.toStdString();
    // The message names the file on its second line.
    EXPECT_TRUE(log.contains("To work on " + project + ", choose Open")) << log.toStdString();
}

}  // namespace
}  // namespace norvane::testing
