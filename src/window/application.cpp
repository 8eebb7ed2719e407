#include "window/application.h"

#include <exception>
#include <utility>

#include "base/messages.h"
#include "settings/app_locations.h"
#include "settings/settings_file.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane {

CNorvaneCRCToolApp::CNorvaneCRCToolApp(int& argc, char** argv, std::vector<std::string> arguments,
                                       const SingleInstanceGuard& guard)
    : QApplication(argc, argv), m_guard(guard), m_arguments(std::move(arguments)) {}

bool CNorvaneCRCToolApp::InitInstance() {
    if (m_guard.IsAlreadyRunning()) {
        return false;  // a second instance ends without a word
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
    SetHelpFilePath(settings, settings.ReadSelectedLanguage(0));

    CNorvaneCRCToolDlg window;
    window.SetSettings(settings);
    window.SetArguments(m_arguments);
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
