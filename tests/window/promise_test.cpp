// The window keeps the tool's promise on every path a user takes: the CRC field shows a CRC
// only while it is the CRC of exactly the values shown and verified, and "N/A" otherwise.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTest>

#include "base/messages.h"
#include "safety/param_stream.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

class PromiseTest : public WindowTest {
  protected:
    // File -> Open of a project whose module the catalog does not have.
    void OpenProjectWithFailure() {
        ProjectData project = window_->CurrentProject();
        project.moduleId = "0x9999";
        const std::string path = (dir_.path() / "other.kfx").string();
        WriteProjectFile(project, path);
        dialogs_.files = {path};
        Action("57601")->trigger();
        EXPECT_EQ(dialogs_.Ids().back(), kMsgProjectOpenFailed);
    }
};

// Every path that makes the CRC invalid leaves "N/A", never the old number.
TEST_F(PromiseTest, ACrcThatIsNoLongerValidIsNotShown) {
    const std::pair<const char*, std::function<void()>> paths[] = {
        {"another module",
         [this] {
             Combo("1001")->setCurrentIndex(1);
             window_->OnModuleChanged();
         }},
        {"another vendor",
         [this] {
             Combo("1000")->setCurrentIndex(1);
             window_->OnVendorChanged();
         }},
        {"File New", [this] { Action("57600")->trigger(); }},
        {"a project that does not fit", [this] { OpenProjectWithFailure(); }},
    };
    for (const auto& [name, path] : paths) {
        SCOPED_TRACE(name);
        Start();
        AcceptAll();
        Button("1018")->click();
        ASSERT_NE(Edit("1019")->text(), "N/A");
        path();
        EXPECT_FALSE(Model().Crc().valid);
        EXPECT_EQ(Edit("1019")->text(), "N/A");
        EXPECT_FALSE(Button("1018")->isEnabled());
        EXPECT_FALSE(Action("1041")->isEnabled());
    }
}

// What the user types replaces the value shown, and only whole numbers are taken.
TEST_F(PromiseTest, TypingReplacesTheValueAndOnlyNumbersAreTaken) {
    CNorvaneCRCToolDlg& window = Start();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* input = Edit("1009");

    Select(ItemOf("F_WD_Time (ms)"));
    input->setFocus();
    QTest::keyClicks(input, "150");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(Model().Parameters()[2].value, 150u);
    // Back on the item: the value shown is selected, so typing replaces it.
    Select(ItemOf("F_WD_Time (ms)"));
    input->setFocus();
    QTest::keyClicks(input, "200");
    EXPECT_EQ(input->text(), "200");
    QTest::keyClick(input, Qt::Key_Return);
    EXPECT_EQ(Model().Parameters()[2].value, 200u);

    // Not a number: refused with its own message, nothing changes, no mark.
    dialogs_.shown.clear();
    Select(ItemOf("Short-circuit test mask"));
    for (const char* text : {"gg", "0xff zz", "", "12 13"}) {
        Type(text);
        Accept();
    }
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>(4, kMsgNotANumber));
    EXPECT_EQ(dialogs_.shown[0].text, "The entered text is not a number.");
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
    EXPECT_FALSE(Checked(ItemOf("Short-circuit test mask")));
    // A hex field reads hex with or without the prefix.
    Type("ff");
    Accept();
    EXPECT_EQ(Model().Parameters()[14].value, 0xFFu);
    EXPECT_TRUE(Checked(ItemOf("Short-circuit test mask")));
}

// Hex and Dec follow the button however its mark changed: a click, a key, or an action of an
// assistive technology (switch access and voice control use the Toggle action).
TEST_F(PromiseTest, HexAndDecFollowAnAccessibilityToggle) {
    Start();
    AcceptAll();
    Button("1018")->click();
    ASSERT_EQ(Edit("1019")->text(), "299C144A");
    QAccessibleActionInterface* dec =
        QAccessible::queryAccessibleInterface(Radio("1038"))->actionInterface();
    ASSERT_NE(dec, nullptr);
    ASSERT_TRUE(dec->actionNames().contains(QAccessibleActionInterface::toggleAction()));
    dec->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(Radio("1038")->isChecked());
    EXPECT_EQ(Edit("1019")->text(), QString::number(0x299C144Au));
    EXPECT_NE(Settings().find("CrcDisplayFormat=1"), std::string::npos);

    // A write that is refused puts the mark back on the form in use.
    FileHooks().write = [](int, const void*, size_t) -> ssize_t { return -1; };
    QAccessible::queryAccessibleInterface(Radio("1037"))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgSettingWriteFailed});
    EXPECT_TRUE(Radio("1038")->isChecked());
    EXPECT_FALSE(Radio("1037")->isChecked());
    EXPECT_EQ(Edit("1019")->text(), QString::number(0x299C144Au));
}

// A description keeps its bytes: a Latin-1 text read from a project is saved unchanged, and a
// typed one is cut before a character that would not fit.
TEST_F(PromiseTest, TheDescriptionKeepsItsBytes) {
    Start();
    OpenProjectWith([](ProjectData& project) { project.description = "Halle 3, K\xfchlung"; });
    EXPECT_EQ(Edit("1026")->text(), QString::fromLatin1("Halle 3, K\xfchlung"));
    const std::string path = (dir_.path() / "saved.kfx").string();
    dialogs_.files = {path};
    Action("57604")->trigger();
    EXPECT_EQ(ReadProjectFile(path).description, "Halle 3, K\xfchlung");

    // Typed: a character whose bytes would not fit the 79-byte field is not taken.
    TypeDescription(QString(78, QLatin1Char('a')));
    QKeyEvent umlaut(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\xc3\xbc"));
    QApplication::sendEvent(Edit("1026"), &umlaut);
    EXPECT_EQ(Model().Description(), std::string(78, 'a'));
    EXPECT_EQ(Edit("1026")->text(), QString(78, QLatin1Char('a')));
}

// A catalog with two records of the same name: the one chosen is the one shown.
TEST_F(PromiseTest, RecordsOfTheSameNameAreShownAsThemselves) {
    std::string catalog = ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml"));
    const std::string device = "name=\"NV-PN 300 PROFINET head\"";
    catalog.replace(catalog.find(device), device.size(), "name=\"NV-DP 200 PROFIBUS head\"");
    UseCatalog(catalog);
    CNorvaneCRCToolDlg& window = Start();
    ASSERT_EQ(Combo("1005")->itemText(1), "NV-DP 200 PROFIBUS head");
    Combo("1005")->setCurrentIndex(1);
    window.OnDeviceChanged();
    EXPECT_EQ(Combo("1005")->currentIndex(), 1);
    EXPECT_EQ(Model().SelectedDevice().identNumber, "0x0C02");
    EXPECT_EQ(ModuleItem()->text(0), "F-DI 16x24VDC");

    // Saved and opened again, the project finds the second device by its identifier.
    AcceptAll();
    Button("1018")->click();
    const std::string crc = Edit("1019")->text().toStdString();
    OpenProjectWith([](ProjectData&) {});
    EXPECT_EQ(Combo("1005")->currentIndex(), 1);
    EXPECT_EQ(Edit("1019")->text().toStdString(), crc);
}

}  // namespace
}  // namespace norvane::testing
