// The program's own help window: the user guide (an HTML file of the program folder) in a text
// browser with Back, Forward, Contents and a search field, so that help needs no web browser.
// One window per main window; asking for help again brings it to the front.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTextBrowser;

namespace norvane {

class CHelpWindow : public QWidget {
    Q_OBJECT

  public:
    // A window of its own that belongs to `parent`: it stays usable beside the modal main
    // window and goes when that goes.
    explicit CHelpWindow(QWidget* parent);

    // Shows `path` (an HTML file) from its top; false when the file cannot be read.
    bool ShowFile(const QString& path);
    // Selects the next place of the search field's text after the cursor (before it with
    // `backward`), starting over at the other end; false when the text is nowhere.
    bool Find(bool backward = false);

    // The help window of `parent` showing `path`, made when there is none yet, shown and raised.
    // Null when the file cannot be read.
    static CHelpWindow* Open(QWidget* parent, const QString& path);

  private:
    void ApplyTexts();
    void UpdateHistoryButtons();

    QTextBrowser* m_browser = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QPushButton* m_contents = nullptr;
    QLabel* m_findLabel = nullptr;
    QLineEdit* m_find = nullptr;
    QPushButton* m_findNext = nullptr;
    QPushButton* m_findPrevious = nullptr;
    QLabel* m_notFound = nullptr;
};

}  // namespace norvane
