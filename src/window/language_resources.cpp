#include "window/language_resources.h"

#include <QFile>
#include <QResource>
#include <filesystem>
#include <map>
#include <optional>

#include "base/md5_digest.h"
#include "base/messages.h"
#include "base/text_table.h"
#include "base/whole_file.h"
#include "settings/app_locations.h"
#include "window/dialog_seam.h"

// The built-in resources live in a static library, so they must be pulled in by name.
static void InitBuiltinResources() {
    Q_INIT_RESOURCE(builtin);
}

namespace norvane {

namespace {

constexpr const char* kPackRoot = "/pack";

struct LanguageState {
    std::string packPath;  // registered pack, empty while the built-in texts are used
    // The pack's bytes as they were checked: Qt reads the registered resources from here,
    // so what is used is exactly what the digest covered.
    std::string packData;
    std::string expectedResourceDigest;
    std::string expectedCatalogDigest;
    std::string helpFilePath;
    std::optional<std::map<std::string, std::string>> builtinTexts;
    std::optional<std::map<std::string, std::string>> packTexts;
};

LanguageState& State() {
    static LanguageState state;
    return state;
}

std::map<std::string, std::string> LoadTable(const QString& resource) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray bytes = file.readAll();
    return ParseTextTable(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

const std::map<std::string, std::string>& BuiltinTexts() {
    LanguageState& state = State();
    if (!state.builtinTexts) {
        InitBuiltinResources();
        state.builtinTexts = LoadTable(QStringLiteral(":/builtin/strings.txt"));
    }
    return *state.builtinTexts;
}

// The message table follows the pack: its "string.NNN" entries replace the built-in texts.
void InstallPackMessages(const std::map<std::string, std::string>& texts) {
    std::map<int, std::string> messages;
    for (const auto& [key, text] : texts) {
        if (key.rfind("string.", 0) == 0) {
            const std::string number = key.substr(7);
            if (!number.empty() && number.size() < 7 &&
                number.find_first_not_of("0123456789") == std::string::npos) {
                messages[std::stoi(number)] = text;
            }
        }
    }
    InstallMessageTexts(messages);
}

uint32_t LanguageNumber(uint32_t language) {
    return language % 65536;
}

}  // namespace

void LoadLanguageResources(const SettingsFile& settings, uint32_t language) {
    const auto number = static_cast<int>(LanguageNumber(language));
    if (number < 1 || number > 4 || settings.ReadEnableLanguage(number) != 1) {
        return;
    }
    const std::string pack = settings.ReadResourceDll(number);
    LanguageState& state = State();
    state.expectedResourceDigest = settings.ReadMd5CheckSumDll(number);
    state.expectedCatalogDigest = settings.ReadMd5CheckSumConf(number);
    const std::string path = Locations().programDir + pack;
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const FileError&) {
        bytes.clear();  // a pack that cannot be read is not the pack the digest names
    }
    if (!bytes.empty() && DigestMatches(bytes, state.expectedResourceDigest)) {
        LoadResourceLibrary(path, std::move(bytes));
    } else {
        ShowMessageId(nullptr, kMsgResourceModified, QMessageBox::Critical);
    }
}

void LoadResourceLibrary(const std::string& path, std::string bytes) {
    LanguageState& state = State();
    if (!state.packPath.empty()) {
        return;
    }
    state.packData = std::move(bytes);
    if (!QResource::registerResource(reinterpret_cast<const uchar*>(state.packData.data()),
                                     kPackRoot)) {
        state.packData.clear();
        return;  // a pack that cannot be registered leaves the built-in texts in force
    }
    state.packPath = path;
    state.packTexts = LoadTable(QStringLiteral(":/pack/strings.txt"));
    InstallPackMessages(*state.packTexts);
}

bool ResourceLibraryLoaded() {
    return !State().packPath.empty();
}

const std::string& ExpectedCatalogDigest() {
    return State().expectedCatalogDigest;
}
const std::string& ExpectedResourceDigest() {
    return State().expectedResourceDigest;
}

void SetHelpFilePath(const SettingsFile& settings, uint32_t language) {
    const auto number = static_cast<int>(LanguageNumber(language));
    std::string name;
    if (number >= 1 && number <= 4) {
        name = settings.ReadConfigurationFile(number);
    }
    const std::string stem = std::filesystem::path(name).stem().string();
    const std::string suffix = stem.size() >= 2 ? stem.substr(stem.size() - 2) : stem;
    State().helpFilePath =
        Locations().programDir + Locations().exeBaseName + "Help" + suffix + ".html";
}

const std::string& HelpFilePath() {
    return State().helpFilePath;
}

std::string CatalogPathFor(const SettingsFile& settings, int32_t language) {
    std::string name;
    if (language >= 1 && language <= 4) {
        name = settings.ReadConfigurationFile(language);
    }
    return Locations().programDir + name;
}

QString ResourceText(std::string_view key) {
    const std::string k(key);
    const LanguageState& state = State();
    if (state.packTexts) {
        if (const auto found = state.packTexts->find(k); found != state.packTexts->end()) {
            return QString::fromStdString(found->second);
        }
    }
    const auto& builtin = BuiltinTexts();
    if (const auto found = builtin.find(k); found != builtin.end()) {
        return QString::fromStdString(found->second);
    }
    return QString::fromStdString(k);
}

QPixmap ResourceImage(std::string_view name, qreal devicePixelRatio) {
    BuiltinTexts();  // makes sure the built-in resources are registered
    const QString base = QString::fromUtf8(name.data(), static_cast<int>(name.size()));
    const auto load = [](QPixmap& image, const QString& file) {
        return (ResourceLibraryLoaded() && image.load(QStringLiteral(":/pack") + file)) ||
               image.load(QStringLiteral(":/builtin") + file);
    };
    QPixmap image;
    // A screen scaled beyond 1 gets the picture drawn at twice the size where there is one,
    // so that it stays sharp instead of being blown up.
    if (devicePixelRatio > 1.0 && load(image, QStringLiteral("/images/%1@2x.png").arg(base))) {
        image.setDevicePixelRatio(2.0);
        return image;
    }
    load(image, QStringLiteral("/images/%1.png").arg(base));
    return image;
}

void ReleaseLanguageResources() {
    LanguageState& state = State();
    if (!state.packPath.empty()) {
        QResource::unregisterResource(reinterpret_cast<const uchar*>(state.packData.data()),
                                      kPackRoot);
    }
    state.packPath.clear();
    state.packData.clear();
    state.packTexts.reset();
    state.expectedResourceDigest.clear();
    state.expectedCatalogDigest.clear();
    state.helpFilePath.clear();
    ResetMessageTexts();
}

}  // namespace norvane
