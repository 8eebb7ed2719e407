#include "settings/settings_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/messages.h"
#include "settings/ini_file.h"

namespace norvane {

namespace {

// The integer that stands for "key missing": the profile readers cannot tell a missing key
// from its default, so the default is one that no valid setting uses.
constexpr uint32_t kMissing = 255;

constexpr std::string_view kEditModeEnabled = "EditModeEnabled";
constexpr std::string_view kCloseCommitDialog = "CloseCommitDialog";
constexpr std::string_view kCrcDisplayFormat = "CrcDisplayFormat";
constexpr std::string_view kProjectFolderPath = "ProjectFolderPath";

[[noreturn]] void ThrowSettingError(int messageId, std::string_view key) {
    const std::string bracketed = "<" + std::string(key) + ">";
    throw SettingsError(FormatMessage(messageId, {bracketed}));
}

uint32_t ReadRequiredInt(const std::string& path, std::string_view key) {
    const uint32_t value = IniReadInt(path, kCommonSection, key, kMissing);
    if (value == kMissing) {
        ThrowSettingError(kMsgSettingReadFailed, key);
    }
    return value;
}

void WriteRequired(const std::string& path, std::string_view key, std::string_view value) {
    if (!IniWriteString(path, kCommonSection, key, value)) {
        ThrowSettingError(kMsgSettingWriteFailed, key);
    }
}

// A key of a language's section, or `defaultValue` for a number without a section (an empty
// section name would otherwise match a "[]" line).
std::string ReadLanguageText(const std::string& path, int language, std::string_view key,
                             std::string_view defaultValue, size_t bufferSize) {
    const std::string section = LanguageSectionName(language);
    if (section.empty()) {
        return std::string(defaultValue.substr(0, bufferSize - 1));
    }
    return IniReadString(path, section, key, defaultValue, bufferSize);
}

}  // namespace

std::string SettingsFilePathFor(std::string_view xdgConfigDirs) {
    namespace fs = std::filesystem;
    // XDG base directory rules: a relative entry is invalid and must be ignored, and an
    // empty entry is not a folder at all: the first absolute entry wins.
    fs::path folder = "/etc/xdg";
    while (!xdgConfigDirs.empty()) {
        const size_t colon = xdgConfigDirs.find(':');
        const std::string_view entry = xdgConfigDirs.substr(0, colon);
        if (!entry.empty() && entry.front() == '/') {
            folder = entry;
            break;
        }
        xdgConfigDirs.remove_prefix(colon == std::string_view::npos ? xdgConfigDirs.size()
                                                                    : colon + 1);
    }
    return (folder / "Norvane" / "Safety Configurator" / kSettingsFileName).string();
}

std::optional<std::string> FindSettingsFile(std::string_view xdgConfigDirs) {
    std::string path = SettingsFilePathFor(xdgConfigDirs);
    std::error_code ec;
    // A folder of that name is no settings file; better to stop at start-up than at the first
    // read.
    if (!std::filesystem::is_regular_file(path, ec)) {
        return std::nullopt;
    }
    return path;
}

std::optional<std::string> FindSettingsFile() {
    const char* dirs = std::getenv("XDG_CONFIG_DIRS");
    return FindSettingsFile(dirs != nullptr ? std::string_view(dirs) : std::string_view());
}

bool SettingsFile::ReadEditModeEnabled() const {
    return (ReadRequiredInt(path_, kEditModeEnabled) & 1u) != 0;
}

bool SettingsFile::ReadCloseCommitDialog() const {
    return (ReadRequiredInt(path_, kCloseCommitDialog) & 1u) != 0;
}

uint32_t SettingsFile::ReadCrcDisplayFormat() const {
    return ReadRequiredInt(path_, kCrcDisplayFormat);
}

void SettingsFile::WriteCrcDisplayFormat(uint32_t format) const {
    WriteRequired(path_, kCrcDisplayFormat, std::to_string(format));
}

std::string SettingsFile::ReadProjectFolderPath() const {
    std::string folder =
        IniReadString(path_, kCommonSection, kProjectFolderPath, "", kPathBufferSize);
    if (folder.empty()) {
        ThrowSettingError(kMsgSettingReadFailed, kProjectFolderPath);
    }
    return folder;
}

void SettingsFile::WriteProjectFolderPath(const std::string& folder) const {
    WriteRequired(path_, kProjectFolderPath, folder);
}

uint32_t SettingsFile::ReadSelectedLanguage(uint32_t defaultValue) const {
    return IniReadInt(path_, kCommonSection, "SelectedLanguage", defaultValue);
}

bool SettingsFile::WriteSelectedLanguage(int language) const {
    if (language < 0 || language > 9) {
        return false;
    }
    const char digit[] = {static_cast<char>('0' + language), '\0'};
    return IniWriteString(path_, kCommonSection, "SelectedLanguage", digit);
}

uint32_t SettingsFile::ReadDebugTpf() const {
    return IniReadInt(path_, kCommonSection, "DebugTpf", 0);
}

uint32_t SettingsFile::ReadEnableLanguage(int language) const {
    const std::string section = LanguageSectionName(language);
    return section.empty() ? 0 : IniReadInt(path_, section, "EnableLanguage", 0);
}

std::string SettingsFile::ReadDisplayName(int language) const {
    return ReadLanguageText(path_, language, "DisplayName", DefaultLanguageDisplayName(language),
                            kDisplayNameBufferSize);
}

std::string SettingsFile::ReadConfigurationFile(int language) const {
    return ReadLanguageText(path_, language, "ConfigurationFile", "SafetyConfigurator.ini",
                            kPathBufferSize);
}

// The digest and library defaults are one blank: never a digest, so a missing key fails its
// check instead of matching something by accident.
std::string SettingsFile::ReadResourceDll(int language) const {
    return ReadLanguageText(path_, language, "ResourceDll", " ", kPathBufferSize);
}

std::string SettingsFile::ReadMd5CheckSumDll(int language) const {
    return ReadLanguageText(path_, language, "MD5CheckSumDll", " ", kDigestBufferSize);
}

std::string SettingsFile::ReadMd5CheckSumConf(int language) const {
    return ReadLanguageText(path_, language, "MD5CheckSumConf", " ", kDigestBufferSize);
}

std::string LanguageSectionName(int language) {
    if (language < 1 || language > 4) {
        return std::string();
    }
    return "LANGUAGE0" + std::to_string(language);
}

std::string DefaultLanguageDisplayName(int language) {
    if (language < 1 || language > 4) {
        return std::string();
    }
    return "Language 0" + std::to_string(language);
}

}  // namespace norvane
