// The start by an engineering system through the tool calling interface.
#include "base/messages.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

bool CNorvaneCRCToolDlg::StartTciMode(const CommandLineInfo& info) {
    if (info.count < 2) {
        ShowMessageId(this, kMsgInvalidArguments, QMessageBox::Critical);
        return false;
    }
    SetViewMode(ViewMode::Tci);
    // Reading TPF files is not there yet: every file is refused as one the tool cannot read,
    // rather than showing a module that was never decoded.
    ShowMessageId(this, kMsgNoTpfFormat, QMessageBox::Critical, QMessageBox::Ok,
                  {QString::fromStdString(info.fileName)});
    return false;
}

}  // namespace norvane
