// The verification record on pages: a 64-parameter module as preview, print and PDF, the
// preview's own controls, the name the PDF is offered under, and what the record states of
// the window. Controls are found by their object names.
#include <QCoreApplication>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <filesystem>

#include "base/messages.h"
#include "base/program_version.h"
#include "project/project_file.h"
#include "support/big_module_catalog.h"
#include "window/about_dialog.h"
#include "window/record_printout.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

// The text of every page of a PDF file, as poppler's pdftotext reads it.
QStringList PdfPages(const std::string& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    EXPECT_FALSE(tool.isEmpty()) << "pdftotext (poppler-utils, scripts/setup) is missing";
    QProcess run;
    run.start(tool, {QStringLiteral("-layout"), QString::fromStdString(path), QStringLiteral("-")});
    run.waitForFinished(30000);
    QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

class RecordPagesTest : public WindowTest {
  protected:
    // Every item verified, the CRC computed, the record asked for: its preview request.
    PrintPreviewRequest Record() {
        AcceptAll();
        Control<QPushButton>("1018")->click();
        Control<QAction>("1041")->trigger();
        EXPECT_EQ(dialogs_.previews.size(), 1u);
        return dialogs_.previews.empty() ? PrintPreviewRequest() : dialogs_.previews.back();
    }

    std::string PathIn(const std::string& name) const { return (dir_.path() / name).string(); }
};

// Preview, print and PDF break a 64-parameter record on the same pages: the table's head on
// every page with rows, no row split, the signature block whole on the last page, a footer
// with module, CRC and page number on every page; in both languages.
TEST_F(RecordPagesTest, SixtyFourParametersOnPages) {
    const std::string demo[] = {"examples/SafetyConfiguratorEN.xml",
                                "examples/SafetyConfiguratorDE.xml"};
    const struct {
        std::string language;
        QString head;
        QString page;
        QStringList signature;
    } cases[] = {
        {"EN",
         "Name Value min. max. Verified",
         "Page %1 of %2",
         {"Verified by", "Date", "Signature"}},
        {"DE",
         "Name Wert min. max. Verifiziert",
         "Seite %1 von %2",
         {"Verifiziert von", "Datum", "Unterschrift"}},
    };
    for (size_t c = 0; c < std::size(cases); ++c) {
        const auto& expected = cases[c];
        SCOPED_TRACE(expected.language);
        StartInLanguage(expected.language, WithBigModule(ReadFile(SourcePath(demo[c]))));
        ASSERT_EQ(Control<QComboBox>("1001")->currentText(), kBigModuleName);
        // The parameters' names as the overview lists them.
        QStringList names;
        auto* overview = Control<QTableWidget>("1025");
        for (int row = 0; row < overview->rowCount(); ++row) {
            names << overview->item(row, 0)->text();
        }
        ASSERT_EQ(names.size(), 64);
        dialogs_.runPreviewCommand = true;
        const std::string pdf = PathIn("record-" + expected.language + ".pdf");
        dialogs_.files = {pdf};
        const PrintPreviewRequest request = Record();
        ASSERT_TRUE(request.paint);
        ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgRecordSaved});

        // Print: the preview's own printing, on a PDF printer.
        const std::string printed = PathIn("printed-" + expected.language + ".pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printed));
        {
            const auto dialog = MakePrintPreview(window_.get(), &printer, request);
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            ASSERT_NE(preview, nullptr);
            preview->updatePreview();
            const QStringList saved = PdfPages(pdf);
            EXPECT_EQ(preview->pageCount(), saved.size());
            preview->print();
        }
        const QStringList pages = PdfPages(pdf);
        ASSERT_GE(pages.size(), 2);
        EXPECT_EQ(PdfPages(printed), pages);

        const QString crc = Control<QLineEdit>("1019")->text();
        std::vector<int> seen(size_t(names.size()), 0);
        for (int p = 0; p < pages.size(); ++p) {
            const QString text = pages[p].simplified();
            EXPECT_TRUE(text.endsWith(expected.page.arg(p + 1).arg(pages.size()))) << p;
            EXPECT_TRUE(text.contains("CRC " + crc)) << p;
            EXPECT_TRUE(text.contains(kBigModuleName)) << p;
            bool rows = false;
            for (size_t i = 0; i < seen.size(); ++i) {
                // A name starts its row's first cell at the start of a line; a long one goes
                // on below, so its first three words tell it.
                const QStringList words = names[qsizetype(i)].split(' ').mid(0, 3);
                QStringList escaped;
                for (const QString& word : words) {
                    escaped << QRegularExpression::escape(word);
                }
                const QRegularExpression start("(^|\\n) *" + escaped.join("\\s+") + "\\s");
                if (start.match(pages[p]).hasMatch()) {
                    ++seen[i];
                    rows = true;
                }
            }
            // The rows whose cells take several lines have all of them on the page: the
            // last words of their name and value stand with the first.
            const qsizetype starts =
                pages[p].count(QRegularExpression("(^|\\n) *Channel \\d+ sensor supply"));
            EXPECT_EQ(pages[p].count("discrepancy"), starts) << p;
            EXPECT_EQ(pages[p].count(QRegularExpression("tested\\s")), starts) << p;
            EXPECT_EQ(rows, text.contains(expected.head)) << p;
            for (const QString& label : expected.signature) {
                // Each label alone on its line, the line to sign on.
                const QRegularExpression line("(^|\\n)\\s*" + label + "\\s*(\\n|$)");
                EXPECT_EQ(line.match(pages[p]).hasMatch(), p + 1 == pages.size())
                    << p << label.toStdString();
            }
        }
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), ptrdiff_t(seen.size()));
        // Numbers stay whole: the largest 32-bit value of every mask on one line.
        EXPECT_EQ(pages.join("").count("0xffffffff"), 15);

        dialogs_.previews.clear();
        dialogs_.shown.clear();
    }
}

TEST_F(RecordPagesTest, PreviewFitsTheWidthAndNamesItsCommands) {
    StartInLanguage("EN", ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml")));
    const PrintPreviewRequest request = Record();
    QPrinter printer(QPrinter::HighResolution);
    const auto dialog = MakePrintPreview(window_.get(), &printer, request);
    auto* preview = dialog->findChild<QPrintPreviewWidget*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->zoomMode(), QPrintPreviewWidget::FitToWidth);
    EXPECT_EQ(dialog->windowTitle(), "Verification record");
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);

    auto* bar = dialog->findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    const auto command = [&](const QKeySequence& keys) -> QAction* {
        for (QAction* action : dialog->findChildren<QAction*>()) {
            if (action->shortcut() == keys) {
                return action;
            }
        }
        return nullptr;
    };
    const struct {
        QKeySequence keys;
        QString name;
    } expected[] = {{QKeySequence::Print, "Print"}, {QKeySequence::Save, "Save as PDF"}};
    for (const auto& e : expected) {
        QAction* action = command(e.keys);
        ASSERT_NE(action, nullptr) << e.name.toStdString();
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        ASSERT_NE(button, nullptr) << e.name.toStdString();
        EXPECT_EQ(button->accessibleName(), e.name);
        EXPECT_EQ(action->toolTip(),
                  e.name + " (" + e.keys.toString(QKeySequence::NativeText) + ")");
    }
    // The shortcut's command is the request's: it asks where to save.
    command(QKeySequence::Save)->trigger();
    EXPECT_EQ(dialogs_.fileRequests.size(), 1u);
}

TEST_F(RecordPagesTest, ThePdfIsOfferedUnderTheProjectsOrTheModulesName) {
    StartInLanguage("EN", ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml")));
    dialogs_.runPreviewCommand = true;
    Record();
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs_.fileRequests[0].fileName, "F-DI 8x24VDC.pdf");

    const std::string project = PathIn("Line 3 cabinet 2.kfx");
    WriteProjectFile(window_->CurrentProject(), project);
    window_->OpenProjectFile(project);
    Control<QAction>("1041")->trigger();
    ASSERT_EQ(dialogs_.fileRequests.size(), 2u);
    EXPECT_EQ(dialogs_.fileRequests[1].fileName, "Line 3 cabinet 2.pdf");

    const struct {
        std::string project;
        std::string module;
        std::string name;
    } names[] = {
        {"", "F-DO 4x24VDC/2A", "F-DO 4x24VDC_2A.pdf"},
        {"", "..hidden", "hidden.pdf"},
        {"", "", "record.pdf"},
        {"", "tab\there", "tab_here.pdf"},
        {"/a/b/.kfx", "M", "kfx.pdf"},  // a stem that is all dots takes the extension
        {"/a/b/p.kfx", "M", "p.pdf"},
    };
    for (const auto& n : names) {
        EXPECT_EQ(RecordPdfFileName(n.project, n.module), n.name) << n.project << n.module;
    }
}

// The program's name and version read the same wherever the program states them.
TEST_F(RecordPagesTest, NameAndVersionReadTheSameEverywhere) {
    const QString name = QString::fromUtf8(kProgramName.data(), qsizetype(kProgramName.size()));
    const QString named = name + ", Version " + QString::fromUtf8(kProgramVersion.data());
    for (const std::string language : {"EN", "DE"}) {
        StartInLanguage(language,
                        ReadFile(SourcePath("examples/SafetyConfigurator" + language + ".xml")));
        EXPECT_EQ(window_->windowTitle(), name) << language;
        const VerificationRecord record = window_->CurrentRecord();
        EXPECT_EQ(QString::fromStdString(record.programName), name);
        const RecordDocument document = MakeRecordDocument(record, RecordLanguage::English);
        EXPECT_EQ(QString::fromStdString(document.sections[0].facts[0].value), named);
        CAboutDlg about(window_.get());
        auto* picture = about.findChild<QLabel*>("148");
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->accessibleDescription(), named) << language;
    }
}

}  // namespace
}  // namespace norvane::testing
