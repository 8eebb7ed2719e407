#include "window/dialog_seam.h"

#include <QDesktopServices>
#include <QLoggingCategory>
#include <QUrl>
#include <string>
#include <vector>

#include "base/messages.h"
#include "settings/app_locations.h"

namespace norvane {

namespace {

// Every message shown, for a log when asked for (QT_LOGGING_RULES="norvane.messages.info=true").
Q_LOGGING_CATEGORY(lcMessages, "norvane.messages", QtWarningMsg)

class RealDialogs : public DialogSeam {
  public:
    QMessageBox::StandardButton ShowMessage(QWidget* parent,
                                            const MessageRequest& request) override {
        qCInfo(lcMessages).noquote() << "message" << request.id << request.text;
        QMessageBox box(request.icon, request.caption, request.text, request.buttons, parent);
        box.setAccessibleName(request.caption);
        box.setAccessibleDescription(request.text);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }
    bool OpenHelp(const QString& path) override {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

DialogSeam* g_seam = nullptr;

QString DefaultCaption(const QString& caption) {
    return caption.isEmpty() ? QString::fromStdString(Locations().exeBaseName) : caption;
}

}  // namespace

DialogSeam& Dialogs() {
    static RealDialogs real;
    return g_seam != nullptr ? *g_seam : real;
}

void SetDialogSeam(DialogSeam* seam) {
    g_seam = seam;
}

QMessageBox::StandardButton ShowMessageId(QWidget* parent, int id, QMessageBox::Icon icon,
                                          QMessageBox::StandardButtons buttons,
                                          const QStringList& args, const QString& caption) {
    std::vector<std::string> utf8;
    for (const QString& arg : args) {
        utf8.push_back(arg.toStdString());
    }
    std::string text;
    switch (utf8.size()) {
        case 0:
            text = FormatMessage(id);
            break;
        case 1:
            text = FormatMessage(id, {utf8[0]});
            break;
        default:
            text = FormatMessage(id, {utf8[0], utf8[1]});
            break;
    }
    MessageRequest request{id, QString::fromStdString(text), DefaultCaption(caption), icon,
                           buttons};
    return Dialogs().ShowMessage(parent, request);
}

QMessageBox::StandardButton ShowMessageText(QWidget* parent, const QString& text,
                                            QMessageBox::Icon icon, const QString& caption,
                                            int id) {
    MessageRequest request{id, text, DefaultCaption(caption), icon, QMessageBox::Ok};
    return Dialogs().ShowMessage(parent, request);
}

}  // namespace norvane
