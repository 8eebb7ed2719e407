#include "window/second_start.h"

#include <QApplication>
#include <QSocketNotifier>
#include <filesystem>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "base/messages.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

namespace {

// How long a second start may take to say what it wants; it writes all at once.
constexpr int kRequestTimeoutMs = 500;

}  // namespace

void ListenForSecondStarts(CNorvaneCRCToolDlg& window, const SingleInstanceGuard& guard) {
    if (guard.ListeningSocket() < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(static_cast<qintptr>(guard.ListeningSocket()),
                                         QSocketNotifier::Read, &window);  // owned by the window
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, &guard, notifier] {
        // Quiet while one request is answered: its message box runs an event loop of its own.
        notifier->setEnabled(false);
        if (const std::optional<InstanceRequest> request =
                guard.ReceiveRequest(kRequestTimeoutMs)) {
            window.OnSecondStart(request->fileName);
        }
        notifier->setEnabled(true);
    });
}

InstanceRequest SecondStartRequest(const std::vector<std::string>& arguments) {
    InstanceRequest request;
    const std::string file = ParseCommandLine(arguments).fileName;
    if (!file.empty()) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(file, error);
        request.fileName = error ? file : absolute.lexically_normal().string();
    }
    return request;
}

void CNorvaneCRCToolDlg::OnSecondStart(const std::string& fileName) {
    if (IsClosed()) {
        return;
    }
    // The window, and any dialog open over it, to the front. Where the desktop does not hand
    // the focus over to a program that did not ask for it, the window is flagged instead.
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    QWidget* top = QApplication::activeModalWidget();
    if (top != nullptr && top != this) {
        top->raise();
        top->activateWindow();
    }
    QApplication::alert(this);
    if (fileName.empty()) {
        return;
    }
    // The file is not opened behind the user's back: work in the window may be unsaved.
    const int message =
        m_viewMode == ViewMode::Tci ? kMsgSecondStartWhileCalled : kMsgSecondStartWithFile;
    ShowMessageId(top != nullptr ? top : this, message, QMessageBox::Information, QMessageBox::Ok,
                  {QString::fromStdString(fileName)});
}

}  // namespace norvane
