#include "window/dialog_seam.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QLoggingCategory>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <string>
#include <vector>

#include "base/messages.h"
#include "settings/app_locations.h"
#include "window/help_window.h"

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
        if (request.defaultButton != QMessageBox::NoButton) {
            box.setDefaultButton(request.defaultButton);
        }
        box.setAccessibleName(request.caption);
        box.setAccessibleDescription(request.text);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }
    bool OpenHelp(QWidget* parent, const QString& path) override {
        return CHelpWindow::Open(parent, path) != nullptr;
    }
};

DialogSeam* g_seam = nullptr;

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
    QFileDialog dialog(parent, request.title, request.folder);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Open takes only a file that exists; Save as asks before replacing one (Qt's default).
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The descriptions already name their patterns; Qt would add them a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(request.filters);
    if (!request.filters.isEmpty()) {
        dialog.selectNameFilter(request.filters.front());
    }
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

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

QString DialogSeam::ChooseFile(QWidget* parent, const FileDialogRequest& request) {
    return RunFileDialog(parent, request);
}

void DialogSeam::ShowPrintPreview(QWidget* parent, const PrintPreviewRequest& request) {
    QPrinter printer(QPrinter::HighResolution);
    const std::unique_ptr<QPrintPreviewDialog> dialog = MakePrintPreview(parent, &printer, request);
    dialog->exec();
}

std::unique_ptr<QPrintPreviewDialog> MakePrintPreview(QWidget* parent, QPrinter* printer,
                                                      const PrintPreviewRequest& request) {
    if (request.pageLayout.isValid()) {
        printer->setPageLayout(request.pageLayout);
    } else {
        printer->setPageSize(QPageSize(QPageSize::A4));
    }
    auto dialog = std::make_unique<QPrintPreviewDialog>(printer, parent);
    dialog->setWindowTitle(request.title);
    dialog->setAccessibleName(request.title);
    QObject::connect(dialog.get(), &QPrintPreviewDialog::paintRequested, dialog.get(),
                     [paint = request.paint](QPrinter* target) { paint(target); });
    // Tall enough for a page's width to be read at once; never beyond the screen.
    QSize size(960, 1000);
    if (const QScreen* screen =
            parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    }
    dialog->resize(size);
    // Fitted to the width: the text is readable without zooming first. The dialog's own
    // action, so that its tool bar shows the mode that is in force.
    if (auto* fitWidth = dialog->findChild<QAction*>(QStringLiteral("fitWidthAction"))) {
        fitWidth->trigger();
    } else if (auto* preview = dialog->findChild<QPrintPreviewWidget*>()) {
        preview->fitToWidth();
    }
    const auto describe = [](QAction* action, const QString& name) {
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        action->setToolTip(keys.isEmpty() ? name : name + QStringLiteral(" (") + keys + ')');
        for (QObject* object : action->associatedObjects()) {
            if (auto* widget = qobject_cast<QWidget*>(object)) {
                widget->setAccessibleName(name);
            }
        }
    };
    auto* bar = dialog->findChild<QToolBar*>();
    // The preview's own Print, found by its text (Qt's, in the language Qt speaks).
    const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
    for (QAction* action : dialog->findChildren<QAction*>()) {
        if (action->text() == print) {
            action->setShortcut(QKeySequence::Print);
            action->setShortcutContext(Qt::WindowShortcut);
            describe(action, request.printName.isEmpty() ? print : request.printName);
        }
    }
    if (request.command) {
        // Beside Print, at the end of the tool bar; a plain button below the preview should a
        // Qt version build the dialog without one.
        auto* action = new QAction(request.commandText, dialog.get());  // owned by the dialog
        action->setObjectName(QStringLiteral("commandAction"));
        action->setShortcut(request.commandShortcut);
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, dialog.get(),
                         [command = request.command] { command(); });
        if (bar != nullptr) {
            bar->addSeparator();
            bar->addAction(action);
        } else if (dialog->layout() != nullptr) {
            dialog->addAction(action);
            auto* button = new QPushButton(request.commandText, dialog.get());  // owned by it
            dialog->layout()->addWidget(button);
            QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
        }
        describe(action, request.commandName.isEmpty() ? request.commandText : request.commandName);
    }
    return dialog;
}

QString ChooseFile(QWidget* parent, const FileDialogRequest& request) {
    return Dialogs().ChooseFile(parent, request);
}

QStringList FileDialogFilters(const QString& table) {
    const QStringList parts = table.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) {
            break;  // the empty entry that ends the list
        }
        QString pattern = parts[i + 1];
        if (pattern == QLatin1String("*.*")) {
            pattern = QStringLiteral("*");
        }
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
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

bool AskYesNo(QWidget* parent, int id, const QStringList& args) {
    std::vector<std::string> utf8;
    for (const QString& arg : args) {
        utf8.push_back(arg.toStdString());
    }
    const std::string text = utf8.empty() ? FormatMessage(id) : FormatMessage(id, {utf8[0]});
    MessageRequest request{id,
                           QString::fromStdString(text),
                           DefaultCaption({}),
                           QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No,
                           QMessageBox::No};
    return Dialogs().ShowMessage(parent, request) == QMessageBox::Yes;
}

QMessageBox::StandardButton ShowMessageText(QWidget* parent, const QString& text,
                                            QMessageBox::Icon icon, const QString& caption,
                                            int id) {
    MessageRequest request{id, text, DefaultCaption(caption), icon, QMessageBox::Ok};
    return Dialogs().ShowMessage(parent, request);
}

}  // namespace norvane
