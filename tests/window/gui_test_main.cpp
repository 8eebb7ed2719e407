// Window tests run the real window on Qt's offscreen platform, without any display.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QApplication>
#include <string>

#include "base/single_instance.h"
#include "window/application.h"

namespace {

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform says for every window that it cannot pass size hints on; that is
// noise here.
void QuietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains(QLatin1String("propagateSizeHints"))) {
        return;
    }
    g_previousHandler(type, context, text);
}

}  // namespace

int main(int argc, char** argv) {
    g_previousHandler = qInstallMessageHandler(QuietOffscreenNotes);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    ::testing::InitGoogleTest(&argc, argv);
    // The application object under test, guarded by a name of this process alone.
    static const norvane::SingleInstanceGuard guard("norvane-gui-test-" +
                                                    std::to_string(::getpid()));
    norvane::CNorvaneCRCToolApp application(argc, argv, {argv, argv + argc}, guard);
    return RUN_ALL_TESTS();
}
