// The File menu and the project state of the window: new, open, save, save as and delete, the
// current project path with the window title, the question before unsaved work is dropped,
// and the checks made before the window closes.
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cerrno>
#include <exception>

#include "base/messages.h"
#include "project/project_file.h"
#include "settings/app_locations.h"
#include "verification/project_opening.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"

namespace norvane {

namespace {

QString Message(int id) {
    return QString::fromStdString(MessageText(id));
}

// File names are bytes; Qt's file dialogs hand them over in the file system's encoding.
std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString ShownPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// Why reading or writing the project file at `path` failed, in one line under message 123 or
// 147: the file, and what kept it from being read or written, as far as it is known.
QString FailureCause(const std::exception_ptr& failure, const std::string& path) {
    const QString file = ShownPath(path);
    try {
        std::rethrow_exception(failure);
    } catch (const ProjectMatchFailure& mismatch) {
        return ResourceText("text.cause.catalog")
            .arg(file, QString::fromStdString(MessageText(mismatch.MessageId())));
    } catch (const ProjectFileFailure& problem) {
        switch (problem.Problem()) {
            case ProjectFileProblem::Unreadable:
                return ResourceText("text.cause.unreadable").arg(file);
            case ProjectFileProblem::NotAProject:
                return problem.Line() > 0 ? ResourceText("text.cause.notprojectat")
                                                .arg(file)
                                                .arg(problem.Line())
                                                .arg(problem.Column())
                                          : ResourceText("text.cause.notproject").arg(file);
            case ProjectFileProblem::Changed:
                return ResourceText("text.cause.changed").arg(file);
            case ProjectFileProblem::NotWritten:
                switch (problem.Error()) {
                    case EACCES:
                    case EPERM:
                    case EROFS:
                        return ResourceText("text.cause.denied").arg(file);
                    case ENOSPC:
                    case EDQUOT:
                        return ResourceText("text.cause.full").arg(file);
                    default:
                        return ResourceText("text.cause.notwritten").arg(file);
                }
        }
    } catch (...) {
        // Any other failure: the file is all that can be said.
    }
    return ResourceText("text.cause.notwritten").arg(file);
}

}  // namespace

void CNorvaneCRCToolDlg::ReportProjectFailure(int message, const std::string& path) {
    const QString text = QString::fromStdString(MessageText(message)) + QLatin1Char('\n') +
                         FailureCause(std::current_exception(), path);
    ShowMessageText(this, text, QMessageBox::Critical, QString(), message);
}

bool CNorvaneCRCToolDlg::ConfirmDiscard() {
    return ShowMessageId(this, kMsgProjectUnsaved, QMessageBox::Warning,
                         QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void CNorvaneCRCToolDlg::SetProjectPath(const std::string& path) {
    m_projectPath = path;
    const QString program = QString::fromStdString(Locations().exeBaseName);
    if (path.empty()) {
        setWindowTitle(program);
        return;
    }
    setWindowTitle(ShownPath(path) + QStringLiteral(" - ") + program);
    try {
        m_settings.WriteProjectFolderPath(ProjectFolder(path));
    } catch (const SettingsError& error) {
        ShowMessageText(this, QString::fromStdString(error.what()), QMessageBox::Critical,
                        Message(kMsgApplicationError), kMsgSettingWriteFailed);
    }
}

bool CNorvaneCRCToolDlg::ProjectUnsaved() const {
    // Unsaved is what a user means by it: Save would write something else than what the last
    // New, Open or Save left. An Accept that changes nothing changes nothing here either.
    return m_viewMode == ViewMode::Edit && CurrentProject() != m_savedProject;
}

void CNorvaneCRCToolDlg::NewProject() {
    SetViewMode(ViewMode::Edit);
    m_model.ClearVerification();
    m_model.ResetValuesToDefaults();
    m_model.SetDescription({});
    RenderSelection();
    RenderMarks();
    RefreshOverview();
    RenderCrc();
    SetProjectPath({});
    m_savedProject = CurrentProject();
}

void CNorvaneCRCToolDlg::OpenProjectFile(const std::string& path) {
    SetProjectPath(path);
    const ProjectData project = ReadProjectFile(path);
    const OpenResult result = m_model.Open(project);
    // What was matched before a failure stays selected, as the lists show.
    RenderSelection();
    ShowModule();
    if (result.failure != 0) {
        throw ProjectMatchFailure(result.failure);
    }
    m_saveAction->setEnabled(true);
    m_deleteAction->setEnabled(true);
    m_savedProject = CurrentProject();
    if (result.crcMessage != 0) {
        ShowMessageId(this, result.crcMessage, QMessageBox::Warning);
    }
}

void CNorvaneCRCToolDlg::OnNew() {
    if (ProjectUnsaved() && !ConfirmDiscard()) {
        return;
    }
    NewProject();
}

void CNorvaneCRCToolDlg::OnOpen() {
    if (ProjectUnsaved() && !ConfirmDiscard()) {
        return;
    }
    FileDialogRequest request;
    request.title = Message(kMsgOpenProjectTitle);
    // A folder setting that cannot be read ends the run, as every unhandled settings failure.
    request.folder = ShownPath(m_settings.ReadProjectFolderPath());
    request.filters = FileDialogFilters(Message(kMsgProjectFilterSave));
    const QString chosen = ChooseFile(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = LocalPath(chosen);
    try {
        OpenProjectFile(path);
    } catch (const std::exception&) {
        ReportProjectFailure(kMsgProjectOpenFailed, path);
        NewProject();
    }
}

void CNorvaneCRCToolDlg::OnSave() {
    if (m_projectPath.empty()) {
        return;  // the command is greyed then
    }
    const ProjectData project = CurrentProject();
    try {
        WriteProjectFile(project, m_projectPath);
    } catch (const ProjectFileFailure&) {
        ReportProjectFailure(kMsgProjectSaveFailed, m_projectPath);
        return;
    }
    m_savedProject = project;
}

void CNorvaneCRCToolDlg::OnSaveAs() {
    FileDialogRequest request;
    request.save = true;
    request.title = Message(kMsgSaveProjectTitle);
    request.folder = ShownPath(m_settings.ReadProjectFolderPath());
    request.filters = FileDialogFilters(Message(kMsgProjectFilter));
    request.defaultSuffix = Message(kMsgProjectExtension);
    const QString chosen = ChooseFile(this, request);
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = LocalPath(chosen);
    const ProjectData project = CurrentProject();
    try {
        WriteProjectFile(project, path);
    } catch (const ProjectFileFailure&) {
        // Nothing was saved, so nothing else changes: title, path, folder and menu stay.
        ReportProjectFailure(kMsgProjectSaveFailed, path);
        return;
    }
    SetProjectPath(path);
    m_savedProject = project;
    m_saveAction->setEnabled(true);
    m_deleteAction->setEnabled(true);
}

void CNorvaneCRCToolDlg::OnDelete() {
    if (m_projectPath.empty()) {
        return;
    }
    if (!AskYesNo(this, kMsgDeleteProjectQuestion, {ShownPath(m_projectPath)})) {
        return;
    }
    if (!DeleteProjectFile(m_projectPath)) {
        ShowMessageId(this, kMsgProjectDeleteFailed, QMessageBox::Warning);
        return;
    }
    SetProjectPath({});
    m_saveAction->setEnabled(false);
    m_deleteAction->setEnabled(false);
}

namespace {

// Whether the window may close: an unsaved project must be given up first, and the settings
// may ask for a confirmation. A setting that cannot be read ends the run (SettingsError).
bool MayClose(CNorvaneCRCToolDlg& window) {
    bool ask = window.m_settings.ReadCloseCommitDialog();
    if (window.ProjectUnsaved()) {
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
