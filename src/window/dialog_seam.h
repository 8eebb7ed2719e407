// Every message box, file dialog and help request of the window passes through here, so that
// tests can answer them and see what the user would have been shown.
#pragma once

#include <QKeySequence>
#include <QMessageBox>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QPrintPreviewDialog;
class QPrinter;
class QWidget;

namespace norvane {

struct MessageRequest {
    int id = 0;  // number in the message table; 0 for a text that comes from elsewhere
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    // The button that Enter presses; none: the box's own choice.
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// A file chooser as a command asks for it. Open asks for an existing file; Save as asks before
// an existing file is replaced and adds the default suffix to a name without one.
struct FileDialogRequest {
    bool save = false;
    QString title;
    QString folder;       // where the chooser starts
    QStringList filters;  // Qt name filters, the first one selected
    QString defaultSuffix;
    QString fileName;  // the name the chooser suggests, if any
};

// A print preview as a command asks for it: the preview lets the user print, and offers one
// command of its own (saving the document as PDF), which runs while the preview stays open.
// It opens on the given page layout, fitted to the page's width.
struct PrintPreviewRequest {
    QString title;
    QPageLayout pageLayout;
    std::function<void(QPrinter*)> paint;  // renders the document on the printer handed over
    QString printName;                     // Print, as assistive technology announces it
    QString commandText;
    QString commandName;  // the command without mnemonic, for assistive technology
    QKeySequence commandShortcut;
    std::function<void()> command;
};

// The preview dialog of a request, ready to be run, with `printer` as its printer. Print has
// the platform's shortcut (Ctrl+P), the request's command its own; both are named for
// assistive technology and show their shortcuts in their tool tips. The dialog is a child of
// `parent` for its place on the screen: let it go before the parent does.
std::unique_ptr<QPrintPreviewDialog> MakePrintPreview(QWidget* parent, QPrinter* printer,
                                                      const PrintPreviewRequest& request);

class DialogSeam {
  public:
    virtual ~DialogSeam() = default;
    virtual QMessageBox::StandardButton ShowMessage(QWidget* parent,
                                                    const MessageRequest& request) = 0;
    // Opens a help file in the program's help window over `parent`; false when that failed.
    virtual bool OpenHelp(QWidget* parent, const QString& path) = 0;
    // The chosen file's full path; empty when the user cancelled.
    virtual QString ChooseFile(QWidget* parent, const FileDialogRequest& request);
    // Shows the preview until the user closes it or prints.
    virtual void ShowPrintPreview(QWidget* parent, const PrintPreviewRequest& request);
};

// The seam in use: the real dialogs unless a test installed its own (nullptr restores them).
DialogSeam& Dialogs();
void SetDialogSeam(DialogSeam* seam);

// Shows message `id` of the current table (with %1, %2 filled) and the program's name as
// caption unless another is given.
QMessageBox::StandardButton ShowMessageId(QWidget* parent, int id, QMessageBox::Icon icon,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                          const QStringList& args = {},
                                          const QString& caption = {});
// Asks for a file through the seam in use; empty when the user cancelled.
QString ChooseFile(QWidget* parent, const FileDialogRequest& request);
// Qt name filters from a filter text of the message table: description and pattern pairs
// separated by "|". "*.*" stands for every file, with or without a dot in its name.
QStringList FileDialogFilters(const QString& table);

// Asks message `id` (with %1, %2 filled) with Yes and No, No the default, so that a hasty Enter
// keeps what is there. True for Yes.
bool AskYesNo(QWidget* parent, int id, const QStringList& args = {});

// Shows a text that does not come from the table, such as a settings failure.
QMessageBox::StandardButton ShowMessageText(QWidget* parent, const QString& text,
                                            QMessageBox::Icon icon, const QString& caption = {},
                                            int id = 0);

}  // namespace norvane
