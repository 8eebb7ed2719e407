// The tool's settings file: where it lives, the COMMON keys the main window cannot do
// without (SettingsFile), and the keys other code reads with a default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace norvane {

inline constexpr std::string_view kSettingsFileName = "NorvaneSafetyCRCTool.ini";
inline constexpr std::string_view kCommonSection = "COMMON";

// Text buffer sizes of the settings' readers, counting the terminator.
inline constexpr size_t kPathBufferSize = 260;
inline constexpr size_t kDisplayNameBufferSize = 40;
inline constexpr size_t kDigestBufferSize = 80;

// The settings file's path for a value of XDG_CONFIG_DIRS (empty when the variable is unset):
// "<first folder>/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini", with /etc/xdg as the
// folder when the variable names none.
std::string SettingsFilePathFor(std::string_view xdgConfigDirs);
// The settings file's path when that file exists, for the given value of XDG_CONFIG_DIRS or,
// without one, for the process's environment.
std::optional<std::string> FindSettingsFile(std::string_view xdgConfigDirs);
std::optional<std::string> FindSettingsFile();

// The per-user settings file for values of XDG_CONFIG_HOME and HOME (empty when unset):
// "<XDG_CONFIG_HOME or HOME/.config>/Norvane/Safety Configurator/NorvaneSafetyCRCTool.ini".
// A relative XDG_CONFIG_HOME does not count; empty when neither gives an absolute folder.
std::string UserSettingsFilePathFor(std::string_view xdgConfigHome, std::string_view home);
// The same for the process's environment; without HOME, the home folder of the user account.
std::string UserSettingsFilePath();

// A required setting could not be read or written. The text is the message to show, in the
// current language.
class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The settings, by the paths of their two files. The machine-wide file is the administrator's
// and is only read. The keys the program writes itself (SelectedLanguage, CrcDisplayFormat,
// ProjectFolderPath) go to the per-user file, which is created with its folders on the first
// write, readable by its owner alone; they are read from it when it holds the key, else from
// the machine-wide file. Every other key comes from the machine-wide file only, so a user's file
// cannot switch edit mode on or change a digest.
//
// Every call reads or writes the files themselves, so a change made while the program runs is
// seen; copies share nothing but the paths.
class SettingsFile {
  public:
    SettingsFile() = default;
    // One file in both parts (a demo or test setup): it is read and written.
    explicit SettingsFile(std::string path) : path_(path), userPath_(std::move(path)) {}
    // An empty `userPath` (no home folder known) makes every write fail.
    SettingsFile(std::string machinePath, std::string userPath)
        : path_(std::move(machinePath)), userPath_(std::move(userPath)) {}

    // The machine-wide file.
    const std::string& Path() const { return path_; }
    const std::string& UserPath() const { return userPath_; }

    // The COMMON keys that must be present; each failure raises SettingsError. An integer
    // setting of 255 counts as missing.
    bool ReadEditModeEnabled() const;
    bool ReadCloseCommitDialog() const;
    uint32_t ReadCrcDisplayFormat() const;
    void WriteCrcDisplayFormat(uint32_t format) const;
    // At most 259 characters; an empty value counts as missing.
    std::string ReadProjectFolderPath() const;
    void WriteProjectFolderPath(const std::string& folder) const;

    // COMMON keys with defaults; these never fail.
    uint32_t ReadSelectedLanguage(uint32_t defaultValue) const;
    // Stores language 0 to 9 as its digit; false for other numbers or when the write fails.
    bool WriteSelectedLanguage(int language) const;
    uint32_t ReadDebugTpf() const;

    // The keys of the section of language 1 to 4, with their defaults. Any other language
    // number has no section, so its reads give the defaults.
    uint32_t ReadEnableLanguage(int language) const;
    std::string ReadDisplayName(int language) const;
    std::string ReadConfigurationFile(int language) const;
    std::string ReadResourceDll(int language) const;
    std::string ReadMd5CheckSumDll(int language) const;
    std::string ReadMd5CheckSumConf(int language) const;

  private:
    // The file that answers for one of the user's keys.
    const std::string& SourceOf(std::string_view key) const;
    // Writes one of the user's keys into the per-user file, creating it first when needed.
    bool WriteUserKey(std::string_view key, std::string_view value) const;

    std::string path_;
    std::string userPath_;
};

// "LANGUAGE01" to "LANGUAGE04" for languages 1 to 4; empty for any other number.
std::string LanguageSectionName(int language);
// "Language 01" to "Language 04": the menu text of a language without a DisplayName; empty
// for any other number.
std::string DefaultLanguageDisplayName(int language);

}  // namespace norvane
