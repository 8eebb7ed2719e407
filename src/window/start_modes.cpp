// The edit-mode start: the window opens for the user's own work, and a file named on the
// command line is opened as a project.
#include <exception>
#include <filesystem>
#include <system_error>

#include "base/messages.h"
#include "base/whole_file.h"
#include "tci/tpf_file.h"
#include "window/dialog_seam.h"
#include "window/main_window.h"

namespace norvane {

bool CNorvaneCRCToolDlg::StartEditMode(const CommandLineInfo& info) {
    SetViewMode(ViewMode::Edit);
    // The first module as the catalog shows it counts as saved: nothing to lose yet.
    m_savedProject = CurrentProject();
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
    // The project path is kept in full, as the file choosers give it: the title shows where
    // the file is, and the remembered folder stays valid whatever the current folder.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(info.fileName, ec);
    const std::string path = ec ? info.fileName : absolute.lexically_normal().string();
    try {
        OpenProjectFile(path);
    } catch (const std::exception&) {
        // Whatever went wrong, the window stays open for new work.
        ReportProjectFailure(kMsgProjectOpenFailed, path);
        NewProject();
    }
    return true;
}

}  // namespace norvane
