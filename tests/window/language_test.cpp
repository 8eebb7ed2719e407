#include <filesystem>

#include "base/messages.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

class LanguageTest : public WindowTest {
  protected:
    // The German pack as the build made it, copied into the test's program folder.
    void SetUp() override {
        WindowTest::SetUp();
        const std::filesystem::path pack =
            std::filesystem::path(NORVANE_PACK_DIR) / "NorvaneSafetyCRCToolDE.rcc";
        ASSERT_TRUE(std::filesystem::exists(pack)) << pack;
        std::filesystem::copy_file(pack, programDir_ / "de.rcc");
        packDigest_ = FileMd5((programDir_ / "de.rcc").string()).value_or("");
    }

    SettingsValues German(const std::string& digest) {
        SettingsValues values;
        values.selectedLanguage = "2";
        values.extraLanguage = "ResourceDll=de.rcc\nMD5CheckSumDll=" + digest +
                               "\nMD5CheckSumConf=" + FileMd5(CatalogPath()).value_or("") + "\n";
        return values;
    }

    std::string packDigest_;
};

TEST_F(LanguageTest, CheckedPackTranslatesWindowAndMessages) {
    std::filesystem::copy_file(CatalogPath(), programDir_ / "KatalogDE.xml");
    WriteSettings(German(packDigest_));
    const SettingsFile settings(settingsPath_);
    LoadLanguageResources(settings, settings.ReadSelectedLanguage(0));
    EXPECT_TRUE(dialogs_.shown.empty());
    ASSERT_TRUE(ResourceLibraryLoaded());
    EXPECT_EQ(ExpectedResourceDigest(), packDigest_);

    window_ = std::make_unique<CNorvaneCRCToolDlg>();
    window_->SetSettingsPath(settingsPath_);
    window_->OnInitDialog();
    ASSERT_FALSE(window_->IsClosed());
    EXPECT_EQ(Control<QPushButton>("1012")->text(), "&Übernehmen");
    EXPECT_EQ(Control<QPushButton>("1012")->accessibleName(), "Übernehmen");
    EXPECT_EQ(Control<QMenu>("menu.0")->title(), "&Datei");
    EXPECT_EQ(VendorItem()->data(0, Qt::AccessibleDescriptionRole).toString(), "nicht verifiziert");
    EXPECT_EQ(MessageText(kMsgParametersDoNotFit),
              "Die Parameter dieser Baugruppe passen nicht in ihren Parameterdatensatz. Bitte "
              "prüfen Sie den Gerätekatalog.");
    // The German catalog's name selects the German help file.
    SetHelpFilePath(settings, 2);
    EXPECT_EQ(HelpFilePath(), programDir_.string() + "/NorvaneSafetyCRCToolHelpDE.html");

    window_->findChild<QAction*>("32780")->trigger();
    EXPECT_EQ(dialogs_.shown.back().text,
              "Bitte starten Sie die Anwendung neu, um die gewählte Sprache zu aktivieren.");
}

TEST_F(LanguageTest, PackWithAnotherDigestIsNotUsed) {
    for (const std::string& digest :
         {std::string(32, '0'), QString::fromStdString(packDigest_).toUpper().toStdString()}) {
        WriteSettings(German(digest));
        const SettingsFile settings(settingsPath_);
        dialogs_.shown.clear();
        LoadLanguageResources(settings, 2);
        EXPECT_FALSE(ResourceLibraryLoaded());
        ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgResourceModified});
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
        EXPECT_EQ(ResourceText("control.1012"), "&Accept");
        ReleaseLanguageResources();
    }
}

TEST_F(LanguageTest, LanguageNumbersOutsideOneToFourLoadNothing) {
    WriteSettings(German(packDigest_));
    const SettingsFile settings(settingsPath_);
    LoadLanguageResources(settings, 65538);  // taken modulo 65536: language 2
    EXPECT_TRUE(ResourceLibraryLoaded());
    ReleaseLanguageResources();
    for (uint32_t language : {0u, 5u, 65536u}) {
        LoadLanguageResources(settings, language);
        EXPECT_FALSE(ResourceLibraryLoaded()) << language;
        EXPECT_EQ(ExpectedCatalogDigest(), "") << language;
    }
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(CatalogPathFor(settings, 65538), programDir_.string() + "/");
    SetHelpFilePath(settings, 0);
    EXPECT_EQ(HelpFilePath(), programDir_.string() + "/NorvaneSafetyCRCToolHelp.html");
}

TEST_F(LanguageTest, BuiltInTextsMatchTheMessageTable) {
    for (const auto& [id, text] : BuiltInMessages()) {
        EXPECT_EQ(ResourceText("string." + std::to_string(id)).toStdString(), text) << id;
    }
}

}  // namespace
}  // namespace norvane::testing
