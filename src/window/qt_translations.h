// Qt's own texts (the buttons of message boxes, file dialogs, the print preview, key names
// such as "Ctrl") in the language of the window, from the translations Qt installs on the
// system (Debian: qt6-translations-l10n).
#pragma once

#include <QString>

namespace norvane {

// Installs Qt's translations for `language` ("de", "en", ...) in place of any installed
// before. False when the system has none for it: Qt then speaks English, its own language.
bool LoadQtTranslations(const QString& language);
// Back to Qt's English texts.
void ReleaseQtTranslations();

}  // namespace norvane
