// The user-interface language of a run: the language pack (a data-only Qt resource file,
// checked against its digest before it is registered), the texts and images looked up in it
// or in the built-in English resources, the expected catalog digest, and the help file.
#pragma once

#include <QPixmap>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_file.h"

namespace norvane {

// At start-up, for the number read from COMMON/SelectedLanguage (0 when it is missing):
// reads the language's pack name and digests and registers the pack when its digest matches.
// A mismatch (or a missing pack) shows message 121; the built-in texts then stay in force.
void LoadLanguageResources(const SettingsFile& settings, uint32_t language);
// Registers the pack read from `path`, whose bytes were checked (none is registered twice).
void LoadResourceLibrary(const std::string& path, std::string bytes);
bool ResourceLibraryLoaded();

const std::string& ExpectedCatalogDigest();
const std::string& ExpectedResourceDigest();

// The help file of the language: program folder, program name, "Help", the last two
// characters of the catalog's base name, ".html".
void SetHelpFilePath(const SettingsFile& settings, uint32_t language);
const std::string& HelpFilePath();

// The catalog of a language (1 to 4; any other number names no file).
std::string CatalogPathFor(const SettingsFile& settings, int32_t language);

// A text of the current language ("control.1012", "text.verified", ...); the built-in text
// when the pack lacks it; the key itself when neither has it.
QString ResourceText(std::string_view key);
// An image of the current language: "banner", "question", "check", "icon", "about". On a
// screen with a device pixel ratio above 1 the twice-as-large picture is taken where the
// language has one (the banner).
QPixmap ResourceImage(std::string_view name, qreal devicePixelRatio = 1.0);

// Back to the state before start-up: pack unregistered, digests and help path empty,
// built-in messages. Used when the program's data are released, and by tests.
void ReleaseLanguageResources();

}  // namespace norvane
