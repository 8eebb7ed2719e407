// The project state of the window: the question before unsaved work is dropped, and the
// checks made before the window closes.
#include "base/messages.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

bool CNorvaneCRCToolDlg::ConfirmDiscard() {
    return ShowMessageId(this, kMsgProjectUnsaved, QMessageBox::Warning,
                         QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

namespace {

// Whether the window may close: an unsaved project must be given up first, and the settings
// may ask for a confirmation. A setting that cannot be read ends the run (SettingsError).
bool MayClose(CNorvaneCRCToolDlg& window) {
    bool ask = window.m_settings.ReadCloseCommitDialog();
    if (window.m_projectUnsaved) {
        if (!window.ConfirmDiscard()) {
            return false;
        }
        ask = false;
    }
    return !ask || ShowMessageId(&window, kMsgExitProgram, QMessageBox::Question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

void CNorvaneCRCToolDlg::OnExit() {
    if (MayClose(*this)) {
        Close(QDialog::Accepted);
    }
}

void CNorvaneCRCToolDlg::reject() {
    if (m_closing) {
        QDialog::reject();
        return;
    }
    Guarded([this] {
        if (MayClose(*this)) {
            Close(QDialog::Rejected);
        }
    });
}

}  // namespace norvane
