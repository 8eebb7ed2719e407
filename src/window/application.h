// The application object: refuses to run beside another instance, finds the settings file,
// loads the language, and runs the main window.
#pragma once

#include <QApplication>
#include <string>
#include <vector>

#include "base/single_instance.h"

namespace norvane {

class CNorvaneCRCToolApp : public QApplication {
    Q_OBJECT

  public:
    // `arguments` are the process's arguments as it received them, the program first (Qt
    // takes its own switches out of argv); `guard` is the process's single-instance guard,
    // made before the application object.
    CNorvaneCRCToolApp(int& argc, char** argv, std::vector<std::string> arguments,
                       const SingleInstanceGuard& guard);

    // The whole run, from the instance check to the release of the loaded data. Always false:
    // there is nothing to do after the main window has closed.
    bool InitInstance();

    const std::string& ProgramDir() const { return m_programDir; }
    const std::string& SettingsPath() const { return m_settingsPath; }

  private:
    const SingleInstanceGuard& m_guard;
    std::vector<std::string> m_arguments;
    std::string m_programDir;
    std::string m_settingsPath;
};

}  // namespace norvane
