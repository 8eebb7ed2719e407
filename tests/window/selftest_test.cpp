#include <QMenu>
#include <QPrinter>
#include <filesystem>

#include "base/messages.h"
#include "window/selftest_commands.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

class SelfTestWindowTest : public WindowTest {
  protected:
    std::string PathIn(const std::string& name) const { return (dir_.path() / name).string(); }
};

TEST_F(SelfTestWindowTest, OfferedInTheSettingsMenuWhateverIsSelected) {
    Start();
    QAction* action = Action("1044");
    EXPECT_TRUE(action->isEnabled());
    EXPECT_EQ(action->text(), "Self-&test…");
    const QList<QAction*> settings = Control<QMenu>("menu.1")->actions();
    // After Help, before the about box.
    ASSERT_GE(settings.size(), 3);
    EXPECT_EQ(settings[0]->objectName(), "57670");
    EXPECT_EQ(settings[1], action);
}

// The whole run, as the user starts it: the page in a preview, printed or saved as PDF.
TEST_F(SelfTestWindowTest, ShowsThePageToPrintOrSaveAsPdf) {
    Start();
    dialogs_.runPreviewCommand = true;
    const std::string pdf = WriteFile(PathIn("selftest.pdf"), "old");
    dialogs_.files = {pdf};
    Action("1044")->trigger();
    ASSERT_EQ(dialogs_.previews.size(), 1u);
    EXPECT_EQ(dialogs_.previews[0].title, "Self-test");
    EXPECT_EQ(dialogs_.previews[0].commandText, "Save as &PDF…");
    ASSERT_EQ(dialogs_.fileRequests.size(), 1u);
    EXPECT_EQ(dialogs_.fileRequests[0].title, "Save self-test report as PDF");
    EXPECT_EQ(dialogs_.fileRequests[0].filters, QStringList({"PDF files (*.pdf)"}));
    EXPECT_EQ(dialogs_.fileRequests[0].defaultSuffix, "pdf");
    EXPECT_EQ(ReadFile(pdf).rfind("%PDF", 0), 0u);
    EXPECT_GT(ReadFile(pdf).size(), 1000u);
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone again

    const std::string printed = PathIn("printed.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(printed));
    dialogs_.previews[0].paint(&printer);
    EXPECT_EQ(ReadFile(printed).rfind("%PDF", 0), 0u);

    // A folder that is not there: the message, and no file.
    const std::string nowhere = PathIn("missing/selftest.pdf");
    dialogs_.files = {nowhere};
    dialogs_.previews[0].command();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSelfTestSaveFailed});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}

TEST_F(SelfTestWindowTest, ThePageNamesThisProgramAndItsQt) {
    const QString page = SelfTestPage({{"one", "checks one", false, "went wrong"}});
    EXPECT_TRUE(page.contains(QStringLiteral("<td>") + qVersion() + " (built with "));
    EXPECT_TRUE(page.contains(QString::fromStdString(FileSha256("/proc/self/exe"))));
    EXPECT_TRUE(page.contains("FAIL: went wrong"));
    EXPECT_TRUE(page.contains("0 passed, 1 failed"));
}

}  // namespace
}  // namespace norvane::testing
