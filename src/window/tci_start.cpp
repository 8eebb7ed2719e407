// The start by an engineering system through the tool calling interface.
#include "app/dialog_seam.h"
#include "app/main_window.h"
#include "app/messages.h"

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
