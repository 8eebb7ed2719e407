// Settings -> Self-test: the checks run on this machine, their page shown in a print preview.
#include "window/selftest_commands.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QtGlobal>
#include <ctime>
#include <exception>

#include "base/messages.h"
#include "base/whole_file.h"
#include "window/dialog_seam.h"
#include "window/language_resources.h"
#include "window/main_window.h"
#include "window/printed_page.h"

namespace norvane {

namespace {

// The wait cursor while the checks run (some seconds), put back however the run ends.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

QString SelfTestPage(const std::vector<SelfTestCheck>& checks) {
    const std::string qt = std::string(qVersion()) + " (built with " QT_VERSION_STR ")";
    return QString::fromStdString(
        MakeSelfTestHtml(CurrentSelfTestEnvironment(std::time(nullptr), qt), checks));
}

void CNorvaneCRCToolDlg::OnSelfTest() {
    std::vector<SelfTestCheck> checks;
    {
        const WaitCursor wait;
        checks = RunSelfTest(DefaultSelfTestSetup());
    }
    const QString html = SelfTestPage(checks);
    const QString title = ResourceText("text.selftest.title");
    std::string folder;
    try {
        folder = m_settings.ReadProjectFolderPath();
    } catch (const std::exception&) {
        folder.clear();  // the chooser then starts where the platform puts it
    }

    PrintPreviewRequest request;
    request.title = title;
    // A seam may keep the request beyond this call: both functions hold their own copies.
    request.paint = [html](QPrinter* printer) { PrintHtmlPage(html, printer); };
    request.commandText = ResourceText("text.record.savepdf");
    // Runs inside the preview's own event loop: nothing may escape from here.
    request.command = [this, html, title, folder] {
        QWidget* parent = QApplication::activeModalWidget();
        if (parent == nullptr) {
            parent = this;
        }
        FileDialogRequest save;
        save.save = true;
        save.title = ResourceText("text.selftest.savetitle");
        save.folder = QFile::decodeName(QByteArray::fromStdString(folder));
        save.filters = {ResourceText("text.record.pdffilter")};
        save.defaultSuffix = QStringLiteral("pdf");
        const QString chosen = ChooseFile(parent, save);
        if (chosen.isEmpty()) {
            return;
        }
        const QByteArray pdf = HtmlPagePdf(html, title);
        try {
            WriteWholeFile(std::string_view(pdf.constData(), static_cast<size_t>(pdf.size())),
                           QFile::encodeName(chosen).toStdString());
        } catch (const FileError&) {
            ShowMessageId(parent, kMsgSelfTestSaveFailed, QMessageBox::Critical);
        }
    };
    Dialogs().ShowPrintPreview(this, request);
}

}  // namespace norvane
