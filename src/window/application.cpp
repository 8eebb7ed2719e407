#include "window/application.h"

#include <exception>
#include <utility>

#include "base/messages.h"
#include "settings/app_locations.h"
#include "settings/settings_file.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"
#include "window/qt_translations.h"
#include "window/second_start.h"

namespace norvane {

CNorvaneCRCToolApp::CNorvaneCRCToolApp(int& argc, char** argv, std::vector<std::string> arguments,
                                       const SingleInstanceGuard& guard)
    : QApplication(argc, argv), m_guard(guard), m_arguments(std::move(arguments)) {}

bool CNorvaneCRCToolApp::InitInstance() {
    if (m_guard.IsAlreadyRunning()) {
        // A second instance shows no window: the running one comes to the front and says
        // what to do with the file this one was given.
        SendInstanceRequest(m_guard.Name(), SecondStartRequest(m_arguments));
        return false;
    }
    m_programDir = Locations().programDir;
    setApplicationName(QString::fromStdString(Locations().exeBaseName));

    const std::optional<std::string> settingsPath = FindSettingsFile();
    if (!settingsPath) {
        ShowMessageId(nullptr, kMsgSettingsReadFailed, QMessageBox::Critical);
        return false;
    }
    m_settingsPath = *settingsPath;
    // The user's own choices go beside the machine-wide file, which ordinary users cannot write.
    const SettingsFile settings(m_settingsPath, UserSettingsFilePath());
    LoadLanguageResources(settings, settings.ReadSelectedLanguage(0));
    // Qt's own dialogs and buttons in the language of the window.
    LoadQtTranslations(ResourceText("text.record.language"));
    SetHelpFilePath(settings, settings.ReadSelectedLanguage(0));

    CNorvaneCRCToolDlg window;
    window.SetSettings(settings);
    window.SetArguments(m_arguments);
    ListenForSecondStarts(window, m_guard);
    try {
        window.DoModal();
    } catch (const std::exception& error) {
        ShowMessageText(nullptr, QString::fromStdString(error.what()), QMessageBox::Critical);
    }
    if (!window.EscapedError().empty()) {
        ShowMessageText(nullptr, QString::fromStdString(window.EscapedError()),
                        QMessageBox::Critical);
    }
    window.ReleaseLoadedData();
    return false;
}

}  // namespace norvane
