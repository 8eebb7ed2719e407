#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <unistd.h>

#include "base/messages.h"
#include "base/whole_file.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() / ("norvane_settings_" + std::to_string(::getpid()) +
                                               "_" + info->test_suite_name() + "_" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        settings_ = SettingsFile((folder_ / std::string(kSettingsFileName)).string());
    }
    void TearDown() override {
        ResetFileHooks();
        ResetMessageTexts();
        fs::remove_all(folder_);
    }

    void Write(std::string_view text) const {
        std::ofstream(settings_.Path(), std::ios::binary) << text;
    }
    std::string Contents() const {
        std::ifstream in(settings_.Path(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The text of the SettingsError that `call` raises; empty when it raises none.
    static std::string ErrorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const SettingsError& error) {
            return error.what();
        }
        return {};
    }

    fs::path folder_;
    SettingsFile settings_;
};

TEST_F(SettingsFileTest, BooleanSettingsUseBitZero) {
    Write("[COMMON]\nEditModeEnabled=3\nCloseCommitDialog=2\nCrcDisplayFormat=1\n");
    EXPECT_TRUE(settings_.ReadEditModeEnabled());
    EXPECT_FALSE(settings_.ReadCloseCommitDialog());
    EXPECT_EQ(settings_.ReadCrcDisplayFormat(), 1u);
}

TEST_F(SettingsFileTest, MissingOr255RequiredIntegerIsAReadError) {
    const struct {
        std::string key;
        std::function<void(const SettingsFile&)> read;
    } cases[] = {
        {"EditModeEnabled", [](const SettingsFile& s) { s.ReadEditModeEnabled(); }},
        {"CloseCommitDialog", [](const SettingsFile& s) { s.ReadCloseCommitDialog(); }},
        {"CrcDisplayFormat", [](const SettingsFile& s) { s.ReadCrcDisplayFormat(); }},
    };
    for (const auto& c : cases) {
        const std::string expected = "Failed to read application setting <" + c.key + ">.";
        Write("[COMMON]\n" + c.key + "=255\n");
        EXPECT_EQ(ErrorOf([&] { c.read(settings_); }), expected);
        Write("[COMMON]\n[OTHER]\n" + c.key + "=1\n");
        EXPECT_EQ(ErrorOf([&] { c.read(settings_); }), expected);
    }
    fs::remove(settings_.Path());
    EXPECT_EQ(ErrorOf([&] { settings_.ReadEditModeEnabled(); }),
              "Failed to read application setting <EditModeEnabled>.");
}

TEST_F(SettingsFileTest, ErrorTextFollowsTheInstalledLanguage) {
    InstallMessageTexts({{kMsgSettingReadFailed, "Einstellung %1 nicht lesbar."}});
    Write("[COMMON]\n");
    EXPECT_EQ(ErrorOf([&] { settings_.ReadCloseCommitDialog(); }),
              "Einstellung <CloseCommitDialog> nicht lesbar.");
}

TEST_F(SettingsFileTest, ProjectFolderPathMustHoldCharacters) {
    const std::string longPath = "/" + std::string(300, 'p');
    Write("[COMMON]\nProjectFolderPath=" + longPath + "\n");
    EXPECT_EQ(settings_.ReadProjectFolderPath(), longPath.substr(0, 259));

    const std::string expected = "Failed to read application setting <ProjectFolderPath>.";
    for (const std::string text :
         {"[COMMON]\nProjectFolderPath=\n", "[COMMON]\nProjectFolderPath=\"\"\n", "[COMMON]\n"}) {
        Write(text);
        EXPECT_EQ(ErrorOf([&] { settings_.ReadProjectFolderPath(); }), expected) << text;
    }
}

TEST_F(SettingsFileTest, WritesAreSeenByTheNextRead) {
    Write("[COMMON]\r\nCrcDisplayFormat=0\r\nProjectFolderPath=/old\r\nCloseCommitDialog=1\r\n");
    settings_.WriteCrcDisplayFormat(1);
    settings_.WriteProjectFolderPath("/home/user/projects");
    EXPECT_EQ(Contents(),
              "[COMMON]\r\nCrcDisplayFormat=1\r\nProjectFolderPath=/home/user/projects\r\n"
              "CloseCommitDialog=1\r\n");
    // An edit from outside while the program runs counts too.
    Write("[COMMON]\nCloseCommitDialog=0\n");
    EXPECT_FALSE(settings_.ReadCloseCommitDialog());
}

TEST_F(SettingsFileTest, FailedWriteRaisesTheWriteError) {
    Write("[COMMON]\nCrcDisplayFormat=0\n");
    FileHooks().fsync = [](int) {
        errno = EIO;
        return -1;
    };
    EXPECT_EQ(ErrorOf([&] { settings_.WriteCrcDisplayFormat(1); }),
              "Failed to write application setting <CrcDisplayFormat>.");
    EXPECT_EQ(ErrorOf([&] { settings_.WriteProjectFolderPath("/x"); }),
              "Failed to write application setting <ProjectFolderPath>.");
    ResetFileHooks();
    EXPECT_EQ(settings_.ReadCrcDisplayFormat(), 0u);

    fs::remove(settings_.Path());
    EXPECT_FALSE(ErrorOf([&] { settings_.WriteCrcDisplayFormat(1); }).empty());
    EXPECT_FALSE(fs::exists(settings_.Path()));
}

TEST_F(SettingsFileTest, DirectCommonReadsFallBackToTheirDefaults) {
    Write("[COMMON]\nEditModeEnabled=1\n");
    EXPECT_EQ(settings_.ReadSelectedLanguage(0), 0u);
    EXPECT_EQ(settings_.ReadSelectedLanguage(1), 1u);
    EXPECT_EQ(settings_.ReadDebugTpf(), 0u);

    EXPECT_TRUE(settings_.WriteSelectedLanguage(3));
    EXPECT_EQ(settings_.ReadSelectedLanguage(0), 3u);
    EXPECT_EQ(Contents(), "[COMMON]\nEditModeEnabled=1\nSelectedLanguage=3\n");
    EXPECT_FALSE(settings_.WriteSelectedLanguage(10));
    EXPECT_FALSE(settings_.WriteSelectedLanguage(-1));

    Write("[COMMON]\nSelectedLanguage=65537\nDebugTpf=1\n");
    EXPECT_EQ(settings_.ReadSelectedLanguage(0), 65537u);
    EXPECT_EQ(settings_.ReadDebugTpf(), 1u);
}

TEST_F(SettingsFileTest, LanguageSectionsHaveTheirDefaults) {
    Write(
        "[LANGUAGE01]\nEnableLanguage=1\nDisplayName=English\nConfigurationFile=CatalogEN.xml\n"
        "ResourceDll=lang/en.pack\nMD5CheckSumDll=0123456789abcdef0123456789abcdef\n"
        "[LANGUAGE02]\nDisplayName=" +
        std::string(50, 'n') + "\nMD5CheckSumConf=" + std::string(100, 'd') + "\n[]\n" +
        "EnableLanguage=1\nConfigurationFile=wrong.xml\n");
    EXPECT_EQ(settings_.ReadEnableLanguage(1), 1u);
    EXPECT_EQ(settings_.ReadDisplayName(1), "English");
    EXPECT_EQ(settings_.ReadConfigurationFile(1), "CatalogEN.xml");
    EXPECT_EQ(settings_.ReadResourceDll(1), "lang/en.pack");
    EXPECT_EQ(settings_.ReadMd5CheckSumDll(1), "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(settings_.ReadMd5CheckSumConf(1), " ");

    EXPECT_EQ(settings_.ReadEnableLanguage(2), 0u);
    EXPECT_EQ(settings_.ReadDisplayName(2), std::string(39, 'n'));
    EXPECT_EQ(settings_.ReadMd5CheckSumConf(2), std::string(79, 'd'));
    EXPECT_EQ(settings_.ReadConfigurationFile(2), "SafetyConfigurator.ini");
    EXPECT_EQ(settings_.ReadResourceDll(2), " ");
    EXPECT_EQ(settings_.ReadDisplayName(4), "Language 04");

    // Numbers without a section must not pick up a "[]" section.
    for (const int language : {0, 5, -1}) {
        EXPECT_EQ(settings_.ReadEnableLanguage(language), 0u) << language;
        EXPECT_EQ(settings_.ReadConfigurationFile(language), "SafetyConfigurator.ini");
        EXPECT_EQ(LanguageSectionName(language), "");
    }
    EXPECT_EQ(LanguageSectionName(1), "LANGUAGE01");
    EXPECT_EQ(LanguageSectionName(4), "LANGUAGE04");
}

TEST(SettingsLocationTest, FirstAbsoluteFolderOfXdgConfigDirsOrEtcXdg) {
    const std::string tail = "/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini";
    const struct {
        std::string dirs;
        std::string folder;
    } cases[] = {
        {"", "/etc/xdg"},          {"/opt/a:/opt/b", "/opt/a"}, {"/opt/a/", "/opt/a"},
        {"relative:/abs", "/abs"}, {"::/abs:", "/abs"},         {"relative", "/etc/xdg"},
        {":", "/etc/xdg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SettingsFilePathFor(c.dirs), c.folder + tail) << c.dirs;
    }
}

TEST_F(SettingsFileTest, FindSettingsFileWantsAnExistingFile) {
    const std::string dirs = "relative:" + folder_.string();
    const fs::path expected = folder_ / "Norvane" / "Safety Configurator" / kSettingsFileName;
    EXPECT_EQ(FindSettingsFile(dirs), std::nullopt);
    fs::create_directories(expected);
    EXPECT_EQ(FindSettingsFile(dirs), std::nullopt) << "a folder is no settings file";
    fs::remove(expected);
    std::ofstream(expected) << "[COMMON]\n";
    EXPECT_EQ(FindSettingsFile(dirs), expected.string());
}

}  // namespace
}  // namespace norvane
