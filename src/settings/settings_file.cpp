#include "settings/settings_file.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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
constexpr std::string_view kSelectedLanguage = "SelectedLanguage";

constexpr std::string_view kSettingsSubfolders[] = {"Norvane", "Safety Configurator"};

// A value never holds a line break, so this default comes back only for a missing key.
constexpr std::string_view kAbsent = "\n";

bool HasCommonKey(const std::string& path, std::string_view key) {
    return IniReadString(path, kCommonSection, key, kAbsent, kAbsent.size() + 1) != kAbsent;
}

// Creates the per-user file, empty, with every missing folder above it: the folders 0700 and the
// file 0600 whatever the umask, since the file tells others where the user keeps projects.
// True when the file exists afterwards, whoever made it; `created` says whether this call did.
bool CreatePrivateFile(const std::string& path, bool& created) {
    namespace fs = std::filesystem;
    created = false;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) {
        return true;  // whatever it is, the write itself decides whether it can be used
    }
    fs::path folder;
    for (const fs::path& part : fs::path(path).parent_path()) {
        folder /= part;
        if (::mkdir(folder.c_str(), 0700) == 0) {
            if (::chmod(folder.c_str(), 0700) != 0) {
                return false;
            }
        } else if (errno != EEXIST) {
            return false;
        }
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return errno == EEXIST;
    }
    created = true;
    const bool ok = ::fchmod(fd, 0600) == 0;
    return ::close(fd) == 0 && ok;
}

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
    for (const std::string_view subfolder : kSettingsSubfolders) {
        folder /= subfolder;
    }
    return (folder / kSettingsFileName).string();
}

std::string UserSettingsFilePathFor(std::string_view xdgConfigHome, std::string_view home) {
    namespace fs = std::filesystem;
    fs::path folder;
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == '/') {
        folder = xdgConfigHome;
    } else if (!home.empty() && home.front() == '/') {
        folder = fs::path(home) / ".config";
    } else {
        return {};
    }
    for (const std::string_view subfolder : kSettingsSubfolders) {
        folder /= subfolder;
    }
    return (folder / kSettingsFileName).string();
}

std::string UserSettingsFilePath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        // Started without a login environment (by a service, say): the account still has one.
        const passwd* account = ::getpwuid(::getuid());
        home = account != nullptr ? account->pw_dir : nullptr;
    }
    return UserSettingsFilePathFor(configHome != nullptr ? configHome : "",
                                   home != nullptr ? home : "");
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

const std::string& SettingsFile::SourceOf(std::string_view key) const {
    return !userPath_.empty() && HasCommonKey(userPath_, key) ? userPath_ : path_;
}

bool SettingsFile::WriteUserKey(std::string_view key, std::string_view value) const {
    if (userPath_.empty()) {
        return false;
    }
    if (userPath_ == path_) {
        // The one file of a demo or test setup: it exists, and is never made here.
        return IniWriteString(path_, kCommonSection, key, value);
    }
    bool created = false;
    if (!CreatePrivateFile(userPath_, created)) {
        return false;
    }
    if (IniWriteString(userPath_, kCommonSection, key, value)) {
        return true;
    }
    if (created) {
        ::unlink(userPath_.c_str());  // a failed write leaves nothing behind
    }
    return false;
}

uint32_t SettingsFile::ReadCrcDisplayFormat() const {
    return ReadRequiredInt(SourceOf(kCrcDisplayFormat), kCrcDisplayFormat);
}

void SettingsFile::WriteCrcDisplayFormat(uint32_t format) const {
    if (!WriteUserKey(kCrcDisplayFormat, std::to_string(format))) {
        ThrowSettingError(kMsgSettingWriteFailed, kCrcDisplayFormat);
    }
}

std::string SettingsFile::ReadProjectFolderPath() const {
    std::string folder = IniReadString(SourceOf(kProjectFolderPath), kCommonSection,
                                       kProjectFolderPath, "", kPathBufferSize);
    if (folder.empty()) {
        ThrowSettingError(kMsgSettingReadFailed, kProjectFolderPath);
    }
    return folder;
}

void SettingsFile::WriteProjectFolderPath(const std::string& folder) const {
    if (!WriteUserKey(kProjectFolderPath, folder)) {
        ThrowSettingError(kMsgSettingWriteFailed, kProjectFolderPath);
    }
}

uint32_t SettingsFile::ReadSelectedLanguage(uint32_t defaultValue) const {
    return IniReadInt(SourceOf(kSelectedLanguage), kCommonSection, kSelectedLanguage, defaultValue);
}

bool SettingsFile::WriteSelectedLanguage(int language) const {
    if (language < 0 || language > 9) {
        return false;
    }
    const char digit[] = {static_cast<char>('0' + language), '\0'};
    return WriteUserKey(kSelectedLanguage, digit);
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
        return {};
    }
    return "LANGUAGE0" + std::to_string(language);
}

std::string DefaultLanguageDisplayName(int language) {
    if (language < 1 || language > 4) {
        return {};
    }
    return "Language 0" + std::to_string(language);
}

}  // namespace norvane
