// make_screenshots FOLDER: the documentation's pictures, made by driving the real window as the
// window tests do: the window half verified, all verified with the CRC shown, on a small
// screen and called by an engineering system, the about box, the help window, Qt's German
// buttons and the record's preview, in both languages, and the verification record as PDF.
// A tool, not a test: run it on an X server (scripts/screenshots) to get real fonts.
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/messages.h"
#include "base/single_instance.h"
#include "support/big_module_catalog.h"
#include "window/about_dialog.h"
#include "window/application.h"
#include "window/help_window.h"
#include "window/qt_translations.h"
#include "window/record_printout.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

QString g_folder;  // where the pictures go, from the command line

using Screenshots = WindowTest;

TEST_F(Screenshots, WindowStates) {
    const QString folder = g_folder;
    const std::filesystem::path packs(NORVANE_PACK_DIR);
    for (const std::string language : {"EN", "DE"}) {
        StartInLanguage(language, ReadFile(packs / ("SafetyConfigurator" + language + ".xml")));
        TypeDescription(language == "EN" ? "Line 3, cabinet +A2" : "Linie 3, Schrank +A2");

        Select(VendorItem());
        for (int i = 0; i < 8; ++i) {
            Accept();
        }
        Control<QLineEdit>("1009")->setText("12");
        window_->grab().save(folder +
                             QString("/window-half-verified-%1.png").arg(language.c_str()));

        AcceptAll();
        Control<QPushButton>("1018")->click();
        window_->grab().save(folder + QString("/window-crc-%1.png").arg(language.c_str()));
        // On a 1024 x 768 screen (less the desktop's panel).
        const QSize before = window_->size();
        window_->resize(1024, 740);
        window_->grab().save(folder + QString("/window-1024x768-%1.png").arg(language.c_str()));
        window_->resize(before);
        // The verification record, saved as PDF from its preview (a page of it as a picture
        // is made from this file by hand: pdftoppm -png -r 60 -f 1 -l 1).
        dialogs_.runPreviewCommand = true;
        dialogs_.files = {folder.toStdString() + "/verification-record-" + language + ".pdf"};
        dialogs_.shown.clear();
        Control<QAction>("1041")->trigger();
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgRecordSaved});  // saved, and said so
        {
            CAboutDlg about(window_.get());  // gone before its parent window is replaced
            about.adjustSize();
            about.grab().save(folder + QString("/about-%1.png").arg(language.c_str()));
        }

        // Called by an engineering system: the line under the banner says who and for what.
        std::string text = ReadFile(settingsPath_);
        text.replace(text.find("EditModeEnabled=1"), 17, "EditModeEnabled=0\nDebugTpf=1");
        WriteFile(settingsPath_, text);
        const std::string call =
            WriteFile(dir_.path() / "call.tpf", ReadFile(SourcePath("examples/ProfinetCall.tpf")));
        window_ = std::make_unique<CNorvaneCRCToolDlg>();
        window_->SetSettingsPath(settingsPath_);
        window_->SetArguments({"NorvaneSafetyCRCTool", call});
        window_->OnInitDialog();
        ASSERT_FALSE(window_->IsClosed());
        Select(ItemOf(language == "EN" ? "Output mask" : "Ausgangsmaske"));
        window_->grab().save(folder + QString("/window-tci-%1.png").arg(language.c_str()));
    }
}

// The help window, Qt's German buttons and the record's preview.
TEST_F(Screenshots, HelpAndGermanDialogs) {
    const QString folder = g_folder;
    for (const std::string language : {"EN", "DE"}) {
        StartInLanguage(language,
                        ReadFile(SourcePath("examples/SafetyConfigurator" + language + ".xml")));
        LoadQtTranslations(ResourceText("text.record.language"));
        const QString guide = QStringLiteral(NORVANE_PACK_DIR) + "/NorvaneSafetyCRCToolHelp" +
                              language.c_str() + ".html";
        CHelpWindow* help = CHelpWindow::Open(window_.get(), guide);
        ASSERT_NE(help, nullptr);
        help->resize(900, 640);
        help->findChild<QLineEdit*>("help.find")->setText("CRC");
        help->Find();
        help->grab().save(folder + QString("/help-window-%1.png").arg(language.c_str()));
        QMessageBox box(QMessageBox::Question, window_->windowTitle(), "?",
                        QMessageBox::Yes | QMessageBox::No, window_.get());
        box.grab().save(folder + QString("/message-buttons-%1.png").arg(language.c_str()));
        AcceptAll();
        Control<QPushButton>("1018")->click();
        Control<QAction>("1041")->trigger();
        ASSERT_FALSE(dialogs_.previews.empty());
        QPrinter printer(QPrinter::HighResolution);
        {
            // Gone before the window, whose child it is.
            const auto preview =
                MakePrintPreview(window_.get(), &printer, dialogs_.previews.back());
            preview->resize(900, 700);
            preview->show();
            QCoreApplication::processEvents();
            preview->grab().save(folder + QString("/record-preview-%1.png").arg(language.c_str()));
        }
        dialogs_.previews.clear();
    }
    ReleaseQtTranslations();
}

// A 64-parameter record: its first and last page as pictures, and the whole file to look at.
TEST_F(Screenshots, SixtyFourParameterRecord) {
    for (const std::string language : {"EN", "DE"}) {
        StartInLanguage(
            language,
            WithBigModule(ReadFile(SourcePath("examples/SafetyConfigurator" + language + ".xml"))));
        const std::string pdf =
            g_folder.toStdString() + "/verification-record-64-" + language + ".pdf";
        dialogs_.runPreviewCommand = true;
        dialogs_.files = {pdf};
        AcceptAll();
        Control<QPushButton>("1018")->click();
        Control<QAction>("1041")->trigger();
        ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgRecordSaved});
        QProcess info;
        info.start("pdfinfo", {QString::fromStdString(pdf)});
        info.waitForFinished(30000);
        const QRegularExpressionMatch count =
            QRegularExpression("Pages:\\s+(\\d+)").match(info.readAllStandardOutput());
        ASSERT_TRUE(count.hasMatch());
        for (const auto& [number, name] :
             {std::pair{1, "first"}, std::pair{count.captured(1).toInt(), "last"}}) {
            const QString out =
                g_folder + QString("/verification-record-64-%1-%2").arg(name, language.c_str());
            QProcess::execute(
                "pdftoppm", {"-png", "-r", "60", "-singlefile", "-f", QString::number(number), "-l",
                             QString::number(number), QString::fromStdString(pdf), out});
        }
        dialogs_.previews.clear();
        dialogs_.shown.clear();
    }
}

}  // namespace
}  // namespace norvane::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_screenshots FOLDER\n");
        return 2;
    }
    norvane::testing::g_folder = QString::fromLocal8Bit(argv[1]);
    // The demo catalogs and samples come from this source tree, wherever the tool is started.
    if (qEnvironmentVariableIsEmpty("NORVANE_SOURCE_DIR")) {
        qputenv("NORVANE_SOURCE_DIR", NORVANE_PROJECT_SOURCE_DIR);
    }
    QDir().mkpath(norvane::testing::g_folder);
    // The program's own application object, under a name of this process alone.
    static const norvane::SingleInstanceGuard guard("norvane-screenshots-" +
                                                    std::to_string(::getpid()));
    norvane::CNorvaneCRCToolApp application(argc, argv, {argv, argv + argc}, guard);
    return RUN_ALL_TESTS();
}
