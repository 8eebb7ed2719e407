// The edit-mode start: the window opens for the user's own work, and a file named on the
// command line is opened as a project.
#include "base/messages.h"
#include "tci/tpf_file.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"
#include "xml/whole_file.h"

namespace norvane {

bool CNorvaneCRCToolDlg::StartEditMode(const CommandLineInfo& info) {
    SetViewMode(ViewMode::Edit);
    if (info.count < 2) {
        return true;
    }
    const QString file = QString::fromStdString(info.fileName);
    bool isTpf = false;
    try {
        isTpf = IsTpfFile(info.fileName);
    } catch (const FileError&) {
        ShowMessageId(this, kMsgFileNotFound, QMessageBox::Warning, QMessageBox::Ok, {file});
        return false;
    } catch (const std::exception&) {
        return false;
    }
    if (isTpf) {
        ShowMessageId(this, kMsgProfibusInEditMode, QMessageBox::Critical, QMessageBox::Ok, {file});
        return false;
    }
    // Project files cannot be read yet: the file is refused as a project that cannot be
    // opened, and the window stays open for new work.
    ShowMessageId(this, kMsgProjectOpenFailed, QMessageBox::Critical);
    return true;
}

}  // namespace norvane
