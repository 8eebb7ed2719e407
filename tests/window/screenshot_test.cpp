// Pictures of the window for the documentation, made only when NORVANE_SCREENSHOT_DIR names a
// folder: the window half verified, and all verified with the CRC shown, in both languages,
// and the verification record as PDF.
#include <QDir>
#include <QPixmap>
#include <filesystem>

#include "base/messages.h"
#include "window/about_dialog.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using ScreenshotTest = WindowTest;

TEST_F(ScreenshotTest, WindowStates) {
    const QString folder = qEnvironmentVariable("NORVANE_SCREENSHOT_DIR");
    if (folder.isEmpty()) {
        GTEST_SKIP() << "set NORVANE_SCREENSHOT_DIR to make the pictures";
    }
    QDir().mkpath(folder);
    const std::filesystem::path packs(NORVANE_PACK_DIR);
    for (const std::string language : {"EN", "DE"}) {
        const auto pack = packs / ("NorvaneSafetyCRCTool" + language + ".rcc");
        std::filesystem::copy_file(pack, programDir_ / "pack.rcc",
                                   std::filesystem::copy_options::overwrite_existing);
        UseCatalog(ReadFile(packs / ("SafetyConfigurator" + language + ".xml")));
        const std::string section = language == "EN" ? "LANGUAGE01" : "LANGUAGE02";
        settingsPath_ = WriteFile(
            dir_.path() / "NorvaneSafetyCRCTool.ini",
            "[COMMON]\nSelectedLanguage=" + std::string(language == "EN" ? "1" : "2") +
                "\nEditModeEnabled=1\nCrcDisplayFormat=0\nCloseCommitDialog=0\n"
                "ProjectFolderPath=/tmp\n[" +
                section +
                "]\nEnableLanguage=1\nDisplayName=" + (language == "EN" ? "English" : "Deutsch") +
                "\nConfigurationFile=Catalog.xml\nResourceDll=pack.rcc\nMD5CheckSumDll=" +
                FileMd5((programDir_ / "pack.rcc").string()).value_or("") +
                "\nMD5CheckSumConf=" + FileMd5(CatalogPath()).value_or("") + "\n");
        const SettingsFile settings(settingsPath_);
        ReleaseLanguageResources();
        LoadLanguageResources(settings, settings.ReadSelectedLanguage(0));
        ASSERT_TRUE(ResourceLibraryLoaded()) << language;
        window_ = std::make_unique<CNorvaneCRCToolDlg>();
        window_->SetSettingsPath(settingsPath_);
        window_->OnInitDialog();
        ASSERT_FALSE(window_->IsClosed());
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

}  // namespace
}  // namespace norvane::testing
