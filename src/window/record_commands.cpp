// File -> Verification record: the record of the verified module as the window shows it, in a
// print preview from which the user prints it or saves it as PDF. Preview, printer and PDF file
// get the same pages from one CRecordPrintout layout.
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QPdfWriter>
#include <QPrinter>
#include <ctime>
#include <exception>
#include <filesystem>

#include "base/messages.h"
#include "base/program_version.h"
#include "base/whole_file.h"
#include "project/project_file.h"
#include "report/verification_record.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"
#include "window/printed_page.h"
#include "window/record_printout.h"

namespace norvane {

namespace {

RecordLanguage WindowLanguage() {
    return ResourceText("text.record.language") == QLatin1String("de") ? RecordLanguage::German
                                                                       : RecordLanguage::English;
}

// The record on the pages of `printer`, laid out for its page layout (the user may change it
// in the preview).
void PrintRecord(const RecordDocument& document, QPrinter* printer) {
    CRecordPrintout(document, printer->pageLayout()).Print(printer);
}

}  // namespace

VerificationRecord CNorvaneCRCToolDlg::CurrentRecord() const {
    VerificationRecord record;
    FillRecordEnvironment(record, std::time(nullptr));
    record.tciMode = m_viewMode == ViewMode::Tci;
    if (record.tciMode) {
        record.tpfFileName = std::filesystem::path(m_tpfPath).filename().string();
        record.slot = m_model.Tci().slot;
        record.ipAddress = m_model.Tci().ipAddress;
    }
    record.projectPath = m_projectPath;
    FillRecordCatalog(record, m_catalogPath, m_catalog.catalogText);
    FillRecordModule(record, m_model, ResourceText("text.invalid").toStdString());
    record.crc = m_model.Crc().value;
    return record;
}

void CNorvaneCRCToolDlg::OnVerificationRecord() {
    if (!m_model.Crc().valid || !m_model.AllVerified()) {
        return;  // the command is greyed then
    }
    // The record states the CRC as the values' CRC: it must be that, whatever happened since
    // it was computed or read from a project file.
    int refusal = 0;
    const std::optional<uint32_t> crc = m_model.CurrentSafetyCrc(&refusal);
    if (!crc) {
        ShowMessageId(this, refusal, QMessageBox::Critical);
        return;
    }
    if (*crc != m_model.Crc().value) {
        ShowMessageId(this, kMsgRecordCrcDiffers, QMessageBox::Warning);
        return;
    }

    const VerificationRecord record = CurrentRecord();
    const RecordDocument document = MakeRecordDocument(record, WindowLanguage());
    const QString title = ResourceText("text.record.title");
    std::string folder;
    if (!m_projectPath.empty()) {
        folder = ProjectFolder(m_projectPath);
    } else {
        try {
            folder = m_settings.ReadProjectFolderPath();
        } catch (const std::exception&) {
            folder.clear();  // the chooser then starts where the platform puts it
        }
    }
    const QString fileName = QFile::decodeName(
        QByteArray::fromStdString(RecordPdfFileName(m_projectPath, record.moduleName)));

    PrintPreviewRequest request;
    request.title = title;
    request.pageLayout = RecordPageLayout();
    // A seam may keep the request beyond this call: both functions hold their own copies.
    request.paint = [document](QPrinter* printer) { PrintRecord(document, printer); };
    request.printName = ResourceText("text.record.print");
    request.commandText = ResourceText("text.record.savepdf");
    request.commandName = ResourceText("text.record.savepdfname");
    request.commandShortcut = QKeySequence::Save;
    // Runs inside the preview's own event loop: nothing may escape from here.
    request.command = [this, document, title, folder, fileName] {
        // Over the preview, which is the modal window at this moment.
        QWidget* parent = QApplication::activeModalWidget();
        if (parent == nullptr) {
            parent = this;
        }
        FileDialogRequest save;
        save.save = true;
        save.title = ResourceText("text.record.savetitle");
        save.folder = QFile::decodeName(QByteArray::fromStdString(folder));
        save.filters = {ResourceText("text.record.pdffilter")};
        save.defaultSuffix = QStringLiteral("pdf");
        save.fileName = fileName;
        const QString chosen = ChooseFile(parent, save);
        if (chosen.isEmpty()) {
            return;
        }
        const QByteArray pdf =
            PdfInMemory(title, RecordPageLayout(), 1200, [&document](QPdfWriter* writer) {
                CRecordPrintout(document, RecordPageLayout()).Print(writer);
            });
        try {
            WriteWholeFile(std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())),
                           QFile::encodeName(chosen).toStdString());
        } catch (const FileError&) {
            ShowMessageId(parent, kMsgRecordSaveFailed, QMessageBox::Critical);
            return;
        }
        ShowMessageId(parent, kMsgRecordSaved, QMessageBox::Information, QMessageBox::Ok, {chosen});
    };
    Dialogs().ShowPrintPreview(this, request);
}

}  // namespace norvane
