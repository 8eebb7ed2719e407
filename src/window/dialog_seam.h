// Every message box, file dialog and help request of the window passes through here, so that
// tests can answer them and see what the user would have been shown.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace norvane {

struct MessageRequest {
    int id = 0;  // number in the message table; 0 for a text that comes from elsewhere
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

class DialogSeam {
  public:
    virtual ~DialogSeam() = default;
    virtual QMessageBox::StandardButton ShowMessage(QWidget* parent,
                                                    const MessageRequest& request) = 0;
    // Opens a help file in the desktop's browser; false when that failed.
    virtual bool OpenHelp(const QString& path) = 0;
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
// Shows a text that does not come from the table, such as a settings failure.
QMessageBox::StandardButton ShowMessageText(QWidget* parent, const QString& text,
                                            QMessageBox::Icon icon, const QString& caption = {},
                                            int id = 0);

}  // namespace norvane
