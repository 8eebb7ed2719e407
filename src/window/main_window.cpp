#include "window/main_window.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTreeWidget>
#include <algorithm>
#include <exception>
#include <filesystem>

#include "base/md5_digest.h"
#include "base/messages.h"
#include "base/whole_file.h"
#include "window/about_dialog.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"

namespace norvane {

// "ready" once start-up is over: every start-up message has been answered and the window waits
// for the user. Checks of the real program wait for this line instead of for a while.
Q_LOGGING_CATEGORY(lcStart, "norvane.start", QtWarningMsg)

CNorvaneCRCToolDlg::CNorvaneCRCToolDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("103"));
    // A window with caption and system menu, without minimise and maximise boxes.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    CreateControls();
    CreateMenu();
    PlaceControls();
    ApplyTexts();
    ApplyControlColours();
    ConnectHandlers();
}

CNorvaneCRCToolDlg::~CNorvaneCRCToolDlg() = default;

void CNorvaneCRCToolDlg::SetSettingsPath(const std::string& path) {
    m_settings = SettingsFile(path);
}

void CNorvaneCRCToolDlg::SetSettings(SettingsFile settings) {
    m_settings = std::move(settings);
}

void CNorvaneCRCToolDlg::SetArguments(std::vector<std::string> arguments) {
    m_arguments = std::move(arguments);
}

void CNorvaneCRCToolDlg::Guarded(const std::function<void()>& handler) {
    // Qt must not see an exception leave a slot; one that no handler caught ends the run and
    // its text is shown by the application, as for any failure nobody handles.
    try {
        handler();
    } catch (const std::exception& error) {
        m_escapedError = error.what();
        Close(QDialog::Rejected);
    }
}

void CNorvaneCRCToolDlg::Close(int result) {
    m_closed = true;
    m_closing = true;
    done(result);
}

void CNorvaneCRCToolDlg::accept() {
    Close(QDialog::Accepted);
}

int CNorvaneCRCToolDlg::DoModal() {
    setModal(true);
    try {
        OnInitDialog();
    } catch (const std::exception& error) {
        m_escapedError = error.what();
        m_closed = true;
    }
    if (m_closed) {
        hide();
        return result();
    }
    qCInfo(lcStart) << "ready";
    return exec();
}

bool CNorvaneCRCToolDlg::OnInitDialog() {
    // Centre the window on the screen, as large as its contents ask but never beyond it.
    QSize size = sizeHint().expandedTo(QSize(1180, 720));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size());
        resize(size);
        move(area.center() - rect().center());
    } else {
        resize(size);
    }

    const auto language = static_cast<int32_t>(m_settings.ReadSelectedLanguage(1));
    m_catalogPath = CatalogPathFor(m_settings, language);

    int32_t format = 0;
    try {
        m_editModeEnabled = m_settings.ReadEditModeEnabled();
        format = static_cast<int32_t>(m_settings.ReadCrcDisplayFormat());
    } catch (const SettingsError& error) {
        ShowMessageText(this, QString::fromStdString(error.what()), QMessageBox::Critical,
                        QString::fromStdString(MessageText(kMsgApplicationError)));
        Close();
        return true;
    }

    SetCrcDisplayFormat(format);
    RenderCrc();
    BuildLanguageMenu();
    show();

    std::string catalogText;
    try {
        catalogText = ReadWholeFile(m_catalogPath);
    } catch (const FileError&) {
        ShowMessageId(this, kMsgCatalogLoadFailed, QMessageBox::Critical);
        Close();
        return true;
    }
    // The digest is taken of the bytes that were read and are parsed next: a file changed
    // between a check and a second read cannot slip through.
    if (!DigestMatches(catalogText, ExpectedCatalogDigest())) {
        ShowMessageId(this, kMsgConfigurationCorrupt, QMessageBox::Warning);
        Close();
        return true;
    }
    m_catalog.Load(std::move(catalogText));

    const auto first =
        std::find_if(m_catalog.manufacturerList.begin(), m_catalog.manufacturerList.end(),
                     [](const CatalogManufacturer& record) { return !record.name.empty(); });
    if (first == m_catalog.manufacturerList.end()) {
        ShowMessageId(this, kMsgNoManufacturer, QMessageBox::Warning);
        Close();
        return true;
    }
    m_model.SelectManufacturer(static_cast<size_t>(first - m_catalog.manufacturerList.begin()));
    RenderSelection();
    m_vendorCombo->setEnabled(true);
    ShowModule();

    const CommandLineInfo info = ParseCommandLine(m_arguments);
    const bool ok = m_editModeEnabled ? StartEditMode(info) : StartTciMode(info);
    if (!ok) {
        Close();
    }
    m_tree->setFocus();  // the walk starts in the tree
    return true;
}

void CNorvaneCRCToolDlg::SetViewMode(ViewMode mode) {
    m_viewMode = mode;
    const bool tci = mode == ViewMode::Tci;
    if (mode != ViewMode::Tci && mode != ViewMode::Edit) {
        return;
    }
    // Project files are the editor's: a TCI call offers none of the File commands. Save and
    // Delete need a current project file.
    m_newAction->setEnabled(!tci);
    m_openAction->setEnabled(!tci);
    m_saveAsAction->setEnabled(!tci);
    m_saveAction->setEnabled(false);
    m_deleteAction->setEnabled(false);

    for (QComboBox* combo : {m_vendorCombo, m_deviceCombo, m_moduleCombo}) {
        combo->setVisible(!tci);
    }
    m_description->setVisible(true);
    m_description->setEnabled(true);
    m_description->setReadOnly(tci);
    ApplyControlColours();
    for (QLineEdit* edit : {m_vendorEdit, m_deviceEdit, m_moduleEdit}) {
        edit->setVisible(tci);
    }
    if (tci) {
        for (QWidget* widget :
             std::initializer_list<QWidget*>{m_valueLabel, m_inputLabel, m_minLabel, m_maxLabel,
                                             m_valueEdit, m_minEdit, m_maxEdit, m_input}) {
            widget->setVisible(false);
        }
        m_enumInput->setVisible(false);
        m_enumInput->setEnabled(false);
    } else {
        m_input->setEnabled(true);
        m_enumInput->setVisible(false);
        m_enumInput->setEnabled(true);
    }
    m_accept->setVisible(true);
    m_accept->setEnabled(true);
    m_overview->setEnabled(true);
    m_tree->setEnabled(true);
    m_model.SetMode(tci ? VerificationMode::Tci : VerificationMode::Edit);
    RenderCrc();
}

void CNorvaneCRCToolDlg::ReleaseLoadedData() {
    m_tree->clear();
    m_headerItems.fill(nullptr);
    m_parameterItems.clear();
    m_model = VerificationModel(m_catalog);
    m_catalog.Release();
    m_tpf = TpfDocument();
}

void CNorvaneCRCToolDlg::OnLanguageCommand(int language) {
    // A failed write is not reported: the message below asks for a restart either way.
    m_settings.WriteSelectedLanguage(language);
    ShowMessageId(this, kMsgRestartForLanguage, QMessageBox::Information);
}

void CNorvaneCRCToolDlg::OnHelp() {
    const std::string& path = HelpFilePath();
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec)) {
        ShowMessageId(this, kMsgFileNotFound, QMessageBox::Warning, QMessageBox::Ok,
                      {QString::fromStdString(path)});
        return;
    }
    Dialogs().OpenHelp(this, QString::fromStdString(path));
}

void CNorvaneCRCToolDlg::OnAbout() {
    CAboutDlg about(this);
    about.exec();
}

}  // namespace norvane
