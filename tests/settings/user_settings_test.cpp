// The machine-wide settings file with the user's own file beside it.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <sys/stat.h>

#include "base/whole_file.h"
#include "settings/settings_file.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const SettingsError& error) {
        return error.what();
    }
    return {};
}

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

class UserSettingsTest : public ::testing::Test {
  protected:
    void TearDown() override { ResetFileHooks(); }

    fs::path MachinePath() const { return dir_.path() / "machine.ini"; }
    fs::path UserHome() const { return dir_.path() / "home" / ".config"; }
    fs::path UserPath() const {
        return UserSettingsFilePathFor(UserHome().string(), "/nonexistent");
    }
    SettingsFile Settings() const { return {MachinePath(), UserPath()}; }

    TempDir dir_;
};

// Which file answers for each key, and where a write goes.
TEST_F(UserSettingsTest, UserKeysComeFromTheUserFileOtherKeysNever) {
    struct Key {
        std::string section;
        std::string name;
        std::function<std::string(const SettingsFile&)> read;
        // Writes "1" (or "/written"); empty for keys the program never writes.
        std::function<void(const SettingsFile&)> write;
    };
    const Key selectedLanguage{
        "COMMON", "SelectedLanguage",
        [](const SettingsFile& s) { return std::to_string(s.ReadSelectedLanguage(0)); },
        [](const SettingsFile& s) { ASSERT_TRUE(s.WriteSelectedLanguage(1)); }};
    const Key crcFormat{
        "COMMON", "CrcDisplayFormat",
        [](const SettingsFile& s) { return std::to_string(s.ReadCrcDisplayFormat()); },
        [](const SettingsFile& s) { s.WriteCrcDisplayFormat(1); }};
    const Key projectFolder{"COMMON", "ProjectFolderPath",
                            [](const SettingsFile& s) { return s.ReadProjectFolderPath(); },
                            [](const SettingsFile& s) { s.WriteProjectFolderPath("/written"); }};
    const Key editMode{
        "COMMON",
        "EditModeEnabled",
        [](const SettingsFile& s) { return std::to_string(int(s.ReadEditModeEnabled())); },
        {}};
    const Key closeCommit{
        "COMMON",
        "CloseCommitDialog",
        [](const SettingsFile& s) { return std::to_string(int(s.ReadCloseCommitDialog())); },
        {}};
    const Key debugTpf{"COMMON",
                       "DebugTpf",
                       [](const SettingsFile& s) { return std::to_string(s.ReadDebugTpf()); },
                       {}};
    const Key catalogDigest{"LANGUAGE01",
                            "MD5CheckSumConf",
                            [](const SettingsFile& s) { return s.ReadMd5CheckSumConf(1); },
                            {}};
    const Key catalogName{"LANGUAGE02",
                          "ConfigurationFile",
                          [](const SettingsFile& s) { return s.ReadConfigurationFile(2); },
                          {}};
    const Key packName{"LANGUAGE01",
                       "ResourceDll",
                       [](const SettingsFile& s) { return s.ReadResourceDll(1); },
                       {}};

    const struct {
        const Key& key;
        std::optional<std::string> machine;
        std::optional<std::string> user;  // nothing: the user file lacks the key (or is absent)
        std::string expected;
        std::string written;  // the write's line in the user file; empty: no write
    } cases[] = {
        {selectedLanguage, "2", "3", "3", "SelectedLanguage=1"},
        {selectedLanguage, "2", std::nullopt, "2", "SelectedLanguage=1"},
        {selectedLanguage, std::nullopt, std::nullopt, "0", "SelectedLanguage=1"},
        {selectedLanguage, std::nullopt, "4", "4", ""},
        {crcFormat, "0", "1", "1", "CrcDisplayFormat=1"},
        {crcFormat, "1", std::nullopt, "1", "CrcDisplayFormat=1"},
        {crcFormat, "0", "0", "0", "CrcDisplayFormat=1"},
        {projectFolder, "/srv/projects", "/home/u/kfx", "/home/u/kfx",
         "ProjectFolderPath=/written"},
        {projectFolder, "/srv/projects", std::nullopt, "/srv/projects",
         "ProjectFolderPath=/written"},
        {editMode, "0", "1", "0", ""},
        {closeCommit, "1", "0", "1", ""},
        {debugTpf, "0", "1", "0", ""},
        {catalogDigest, "0123456789abcdef0123456789abcdef", "ffffffffffffffffffffffffffffffff",
         "0123456789abcdef0123456789abcdef", ""},
        {catalogName, "KatalogDE.xml", "Mine.xml", "KatalogDE.xml", ""},
        {packName, std::nullopt, "evil.rcc", " ", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.name + " machine " + c.machine.value_or("-") + " user " +
                     c.user.value_or("-"));
        fs::remove_all(dir_.path() / "home");
        const auto line = [&](const std::optional<std::string>& value) {
            return "[" + c.key.section + "]\n" + (value ? c.key.name + "=" + *value + "\n" : "");
        };
        const std::string machine = WriteFile(MachinePath(), line(c.machine));
        if (c.user) {
            fs::create_directories(fs::path(UserPath()).parent_path());
            WriteFile(UserPath(), line(c.user));
        }
        EXPECT_EQ(c.key.read(Settings()), c.expected);

        if (c.key.write && !c.written.empty()) {
            c.key.write(Settings());
            EXPECT_NE(ReadFile(UserPath()).find(c.written + "\n"), std::string::npos);
            EXPECT_EQ(ReadFile(MachinePath()), line(c.machine)) << "the machine-wide file changed";
            EXPECT_EQ(c.key.read(Settings()), c.written.substr(c.written.find('=') + 1));
        }
    }
}

TEST_F(UserSettingsTest, FirstWriteMakesFoldersAndFileForTheUserAlone) {
    WriteFile(MachinePath(), "[COMMON]\nCrcDisplayFormat=0\n");
    // The user's config folder exists already; its own mode is not ours to change.
    fs::create_directories(dir_.path() / "home");
    ::chmod((dir_.path() / "home").c_str(), 0755);
    const mode_t previous = ::umask(0);  // a careless umask must not open the file to others
    Settings().WriteCrcDisplayFormat(1);
    ::umask(previous);

    EXPECT_EQ(ReadFile(UserPath()), "[COMMON]\nCrcDisplayFormat=1\n");
    EXPECT_EQ(ModeOf(UserPath()), 0600u);
    for (const fs::path& folder :
         {UserHome(), UserHome() / "Norvane", UserHome() / "Norvane" / "Safety Configurator"}) {
        EXPECT_EQ(ModeOf(folder), 0700u) << folder;
    }
    EXPECT_EQ(ModeOf(dir_.path() / "home"), 0755u);

    // The next write replaces the file and keeps it private.
    Settings().WriteProjectFolderPath("/home/u/projects");
    EXPECT_EQ(ReadFile(UserPath()),
              "[COMMON]\nCrcDisplayFormat=1\nProjectFolderPath=/home/u/projects\n");
    EXPECT_EQ(ModeOf(UserPath()), 0600u);
}

TEST_F(UserSettingsTest, UserFileThatCannotBeWrittenIsTheWriteError) {
    const std::string machineText = "[COMMON]\nCrcDisplayFormat=0\nProjectFolderPath=/srv\n";
    WriteFile(MachinePath(), machineText);
    // A plain file where the config folder should be: nothing can be made below it.
    fs::create_directories(UserHome().parent_path());
    WriteFile(UserHome(), "not a folder");
    EXPECT_EQ(ErrorOf([&] { Settings().WriteCrcDisplayFormat(1); }),
              "Failed to write application setting <CrcDisplayFormat>.");
    EXPECT_EQ(ErrorOf([&] { Settings().WriteProjectFolderPath("/x"); }),
              "Failed to write application setting <ProjectFolderPath>.");
    EXPECT_FALSE(Settings().WriteSelectedLanguage(2));
    EXPECT_EQ(ReadFile(MachinePath()), machineText);
    EXPECT_EQ(Settings().ReadCrcDisplayFormat(), 0u);

    // A write that fails after the file was made leaves no empty file behind.
    fs::remove(UserHome());
    FileHooks().fsync = [](int) {
        errno = EIO;
        return -1;
    };
    EXPECT_FALSE(ErrorOf([&] { Settings().WriteCrcDisplayFormat(1); }).empty());
    EXPECT_FALSE(fs::exists(UserPath()));

    // Without any home folder there is no user file to write, and the reads still work.
    const SettingsFile homeless(MachinePath(), "");
    EXPECT_FALSE(ErrorOf([&] { homeless.WriteCrcDisplayFormat(1); }).empty());
    EXPECT_EQ(homeless.ReadProjectFolderPath(), "/srv");
    EXPECT_EQ(ReadFile(MachinePath()), machineText);
}

TEST_F(UserSettingsTest, BothPathsNamingOneFileAreOneFile) {
    const fs::path folder = dir_.path() / "Norvane" / "Safety Configurator";
    fs::create_directories(folder);
    const std::string path = WriteFile(folder / "NorvaneSafetyCRCTool.ini", "[COMMON]\n");
    const std::string spelledOtherwise =
        (dir_.path() / "." / "Norvane" / "Safety Configurator" / "NorvaneSafetyCRCTool.ini")
            .string();
    ASSERT_EQ(UserSettingsFilePathFor(dir_.path().string(), ""), path);

    for (const SettingsFile& settings :
         {SettingsFile(path), SettingsFile(path, path), SettingsFile(path, spelledOtherwise)}) {
        WriteFile(path, "[COMMON]\nCrcDisplayFormat=0\n");
        settings.WriteCrcDisplayFormat(1);
        EXPECT_EQ(ReadFile(path), "[COMMON]\nCrcDisplayFormat=1\n");
        EXPECT_EQ(settings.ReadCrcDisplayFormat(), 1u);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST(UserSettingsLocationTest, XdgConfigHomeElseHomeDotConfig) {
    const std::string tail = "/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini";
    const struct {
        std::string configHome;
        std::string home;
        std::string folder;  // empty: no user file
    } cases[] = {
        {"/cfg", "/home/u", "/cfg"},
        {"", "/home/u", "/home/u/.config"},
        {"relative/cfg", "/home/u", "/home/u/.config"},
        {"", "", ""},
        {"", "relative", ""},
        {"/cfg/", "", "/cfg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UserSettingsFilePathFor(c.configHome, c.home),
                  c.folder.empty() ? "" : c.folder + tail)
            << c.configHome << " " << c.home;
    }
}

}  // namespace
}  // namespace norvane
