#include "window/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "window/language_resources.h"
#include "window/widget_making.h"

namespace norvane {

CHelpWindow::CHelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("help"));
    m_back = Make<QPushButton>(this, "help.back");
    m_forward = Make<QPushButton>(this, "help.forward");
    m_contents = Make<QPushButton>(this, "help.contents");
    m_findLabel = Make<QLabel>(this, "help.findlabel");
    m_find = Make<QLineEdit>(this, "help.find");
    m_find->setClearButtonEnabled(true);
    m_findLabel->setBuddy(m_find);
    m_findNext = Make<QPushButton>(this, "help.next");
    m_findPrevious = Make<QPushButton>(this, "help.previous");
    m_notFound = Make<QLabel>(this, "help.notfound");
    m_notFound->hide();
    m_browser = Make<QTextBrowser>(this, "help.browser");
    // Every link of the guide leads into the guide itself.
    m_browser->setOpenExternalLinks(false);
    for (QPushButton* button : {m_back, m_forward, m_contents, m_findNext, m_findPrevious}) {
        button->setAutoDefault(false);
    }

    auto* bar = new QHBoxLayout;
    bar->addWidget(m_back);
    bar->addWidget(m_forward);
    bar->addWidget(m_contents);
    bar->addSpacing(24);
    bar->addWidget(m_findLabel);
    bar->addWidget(m_find, 1);
    bar->addWidget(m_findNext);
    bar->addWidget(m_findPrevious);
    bar->addWidget(m_notFound);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_browser, 1);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_contents, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_browser, &QTextBrowser::historyChanged, this, [this] { UpdateHistoryButtons(); });
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { UpdateHistoryButtons(); });
    connect(m_find, &QLineEdit::returnPressed, this, [this] { Find(); });
    connect(m_find, &QLineEdit::textChanged, m_notFound, &QWidget::hide);
    connect(m_findNext, &QPushButton::clicked, this, [this] { Find(); });
    connect(m_findPrevious, &QPushButton::clicked, this, [this] { Find(true); });
    const auto shortcut = [this](const QKeySequence& keys, auto slot) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Back, [this] { m_browser->backward(); });
    shortcut(QKeySequence::Forward, [this] { m_browser->forward(); });
    shortcut(QKeySequence::Find, [this] {
        m_find->setFocus();
        m_find->selectAll();
    });
    shortcut(QKeySequence::FindNext, [this] { Find(); });
    shortcut(QKeySequence::FindPrevious, [this] { Find(true); });
    shortcut(QKeySequence(Qt::Key_Escape), [this] { close(); });
    shortcut(QKeySequence::Close, [this] { close(); });

    ApplyTexts();
    UpdateHistoryButtons();
    QSize size(900, 760);
    if (const QScreen* screen = parent != nullptr ? parent->screen() : nullptr) {
        size = size.boundedTo(screen->availableGeometry().size());
    }
    resize(size);
}

void CHelpWindow::ApplyTexts() {
    setWindowTitle(ResourceText("text.help.title"));
    setAccessibleName(windowTitle());
    const std::pair<QWidget*, const char*> texts[] = {
        {m_back, "text.help.back"},         {m_forward, "text.help.forward"},
        {m_contents, "text.help.contents"}, {m_findLabel, "text.help.find"},
        {m_findNext, "text.help.next"},     {m_findPrevious, "text.help.previous"},
        {m_notFound, "text.help.notfound"},
    };
    for (const auto& [widget, key] : texts) {
        const QString text = ResourceText(key);
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(text);
        }
        widget->setAccessibleName(SpokenName(text));
    }
    m_find->setAccessibleName(SpokenName(ResourceText("text.help.find")));
    m_browser->setAccessibleName(windowTitle());
    // The keys of Back and Forward, as the platform writes them, in the tool tips.
    m_back->setToolTip(QKeySequence(QKeySequence::Back).toString(QKeySequence::NativeText));
    m_forward->setToolTip(QKeySequence(QKeySequence::Forward).toString(QKeySequence::NativeText));
}

void CHelpWindow::UpdateHistoryButtons() {
    m_back->setEnabled(m_browser->isBackwardAvailable());
    m_forward->setEnabled(m_browser->isForwardAvailable());
}

bool CHelpWindow::ShowFile(const QString& path) {
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) {
        return false;
    }
    m_browser->clearHistory();
    m_browser->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    UpdateHistoryButtons();
    return true;
}

bool CHelpWindow::Find(bool backward) {
    const QString text = m_find->text();
    if (text.isEmpty()) {
        m_notFound->hide();
        return false;
    }
    const QTextDocument::FindFlags flags =
        backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    bool found = m_browser->find(text, flags);
    if (!found) {
        // Once more from the other end.
        QTextCursor cursor = m_browser->textCursor();
        cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
        m_browser->setTextCursor(cursor);
        found = m_browser->find(text, flags);
    }
    m_notFound->setVisible(!found);
    return found;
}

CHelpWindow* CHelpWindow::Open(QWidget* parent, const QString& path) {
    CHelpWindow* window =
        parent != nullptr ? parent->findChild<CHelpWindow*>(QString(), Qt::FindDirectChildrenOnly)
                          : nullptr;
    if (window == nullptr) {
        window = new CHelpWindow(parent);  // owned by its Qt parent
        if (parent == nullptr) {
            window->setAttribute(Qt::WA_DeleteOnClose);  // nobody else would delete it
        }
    }
    // Help asked for again finds the guide where the user left it.
    const QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    if (window->m_browser->source().adjusted(QUrl::RemoveFragment) != url &&
        !window->ShowFile(path)) {
        return nullptr;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace norvane
