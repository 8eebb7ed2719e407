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

// A required setting could not be read or written. The text is the message to show, in the
// current language.
class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The settings file, by its path. Every call reads or writes the file itself, so a change made
// while the program runs is seen; copies share nothing but the path.
class SettingsFile {
  public:
    SettingsFile() = default;
    explicit SettingsFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }

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
    std::string path_;
};

// "LANGUAGE01" to "LANGUAGE04" for languages 1 to 4; empty for any other number.
std::string LanguageSectionName(int language);
// "Language 01" to "Language 04": the menu text of a language without a DisplayName; empty
// for any other number.
std::string DefaultLanguageDisplayName(int language);

}  // namespace norvane
