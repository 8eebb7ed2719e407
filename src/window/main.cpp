#include <QByteArray>
#include <QtGlobal>
#include <string>
#include <utility>
#include <vector>

#include "base/single_instance.h"
#include "window/application.h"

namespace {

// Made before anything else runs, so that a second copy finds the name taken at once.
const norvane::SingleInstanceGuard g_singleInstance;

}  // namespace

int main(int argc, char** argv) {
    // In a Wayland session the window is a Wayland client of its own, with X11 (XWayland)
    // only when Qt's Wayland plugin is missing; Qt alone would choose X11 on some desktops.
    // A platform the user named stays the user's choice.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qgetenv("XDG_SESSION_TYPE") == "wayland" &&
        (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
         !qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))) {
        qputenv("QT_QPA_PLATFORM", "wayland;xcb");
    }
    // Taken before Qt sees them: Qt removes the switches it knows (-style, -reverse, ...) from
    // argv, and the program must count every argument it was given.
    std::vector<std::string> arguments(argv, argv + argc);
    norvane::CNorvaneCRCToolApp application(argc, argv, std::move(arguments), g_singleInstance);
    application.InitInstance();
    return 0;
}
