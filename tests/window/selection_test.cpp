#include <QAction>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include "base/messages.h"
#include "base/single_instance.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using SelectionTest = WindowTest;

TEST_F(SelectionTest, ListsCascadeFromVendorToModule) {
    CNorvaneCRCToolDlg& window = Start();
    TypeDescription("Line 3, cabinet 2");
    EXPECT_EQ(Model().SelectedDevice().description, "Line 3, cabinet 2");

    Control<QComboBox>("1000")->setCurrentIndex(1);
    window.OnVendorChanged();
    EXPECT_EQ(Control<QLineEdit>("1022")->text(), "Kestrel Safety Systems");
    EXPECT_EQ(Control<QComboBox>("1005")->count(), 1);
    EXPECT_EQ(Control<QComboBox>("1005")->currentText(), "KS-PN 1000 PROFINET coupler");
    EXPECT_EQ(Control<QComboBox>("1001")->currentText(), "KS F-DO 8x0.5A PM");
    EXPECT_EQ(Model().SelectedManufacturer().identNumber, "0x1A40");
    EXPECT_EQ(Model().SelectedDevice().dataFormat, DataFormat::Intel);
    EXPECT_EQ(Model().SelectedModule().lenUserParam, 10);
    EXPECT_EQ(VendorItem()->text(0), "Kestrel Safety Systems");
    // A new vendor is a new device selection: its description is gone, on screen too.
    EXPECT_EQ(Model().SelectedDevice().description, "");
    EXPECT_EQ(Control<QLineEdit>("1026")->text(), "");

    // A device change keeps the description.
    Control<QComboBox>("1000")->setCurrentIndex(0);
    window.OnVendorChanged();
    TypeDescription("kept");
    Control<QComboBox>("1005")->setCurrentIndex(1);
    window.OnDeviceChanged();
    EXPECT_EQ(Model().SelectedDevice().description, "kept");
    EXPECT_EQ(Control<QComboBox>("1001")->count(), 1);
    EXPECT_EQ(ModuleItem()->text(0), "F-DI 16x24VDC");
    EXPECT_EQ(ModuleItem()->childCount(), 8);
    EXPECT_FALSE(Model().IsVerified({ItemKind::Vendor}));
}

TEST_F(SelectionTest, ChangingTheModuleClearsVerificationAndCrc) {
    CNorvaneCRCToolDlg& window = Start();
    AcceptAll();
    Control<QPushButton>("1018")->click();
    ASSERT_TRUE(Model().Crc().valid);
    Control<QComboBox>("1001")->setCurrentIndex(1);
    window.OnModuleChanged();
    EXPECT_FALSE(Model().Crc().valid);
    EXPECT_EQ(Control<QLineEdit>("1019")->text(), "N/A");
    EXPECT_FALSE(Control<QPushButton>("1018")->isEnabled());
    EXPECT_FALSE(Model().IsVerified({ItemKind::Vendor}) || Model().IsVerified({ItemKind::Device}) ||
                 Model().IsVerified({ItemKind::Module}) ||
                 Model().IsVerified({ItemKind::BusAddress}));
    for (const CatalogParameter& parameter : Model().Parameters()) {
        EXPECT_EQ(parameter.verified, 0);
        EXPECT_EQ(parameter.value, parameter.defaultValue);
    }
    EXPECT_EQ(VendorItem()->data(0, Qt::AccessibleDescriptionRole).toString(), "not verified");
}

TEST_F(SelectionTest, AChangeThatDiscardsMarksAsksFirst) {
    CNorvaneCRCToolDlg& window = Start();
    // Nothing verified: nothing to lose, no question.
    Control<QComboBox>("1001")->setCurrentIndex(1);
    window.OnModuleChanged();
    EXPECT_TRUE(dialogs_.shown.empty());
    Control<QComboBox>("1001")->setCurrentIndex(0);
    window.OnModuleChanged();

    // The lists ignore the mouse wheel unless the user works in them.
    ASSERT_GT(Control<QComboBox>("1001")->count(), 1);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    Control<QComboBox>("1001")->clearFocus();
    QApplication::sendEvent(Control<QComboBox>("1001"), &wheel);
    EXPECT_EQ(Control<QComboBox>("1001")->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>("1001")->focusPolicy(), Qt::StrongFocus);

    AcceptAll();
    const size_t marks = 4 + Model().Parameters().size();
    // No (the default) at the question: the list goes back and nothing else changes.
    dialogs_.answers = {QMessageBox::No};
    Control<QComboBox>("1000")->setCurrentIndex(1);
    window.OnVendorChanged();
    ASSERT_EQ(dialogs_.Ids(), std::vector<int>{kMsgDiscardVerification});
    EXPECT_EQ(dialogs_.shown[0].text,
              QString("Changing the selection discards the verification of %1 items. Continue?")
                  .arg(marks));
    EXPECT_EQ(dialogs_.shown[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(dialogs_.shown[0].defaultButton, QMessageBox::No);
    EXPECT_EQ(Control<QComboBox>("1000")->currentText(), "Norvane Automation");
    EXPECT_EQ(Model().SelectedManufacturer().name, "Norvane Automation");
    EXPECT_TRUE(Model().AllVerified());

    // The record shown, chosen again, asks nothing and keeps the marks.
    dialogs_.shown.clear();
    window.OnModuleChanged();
    EXPECT_TRUE(dialogs_.shown.empty());
    EXPECT_TRUE(Model().AllVerified());

    // Yes: one question for one change of the list.
    Control<QComboBox>("1000")->setCurrentIndex(1);
    window.OnVendorChanged();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgDiscardVerification});
    EXPECT_EQ(Model().SelectedManufacturer().name, "Kestrel Safety Systems");

    // A refused device change returns to the very record that is shown.
    Control<QComboBox>("1000")->setCurrentIndex(0);
    window.OnVendorChanged();
    Control<QComboBox>("1005")->setCurrentIndex(1);
    window.OnDeviceChanged();
    ASSERT_EQ(Control<QLineEdit>("1023")->text(), "NV-PN 300 PROFINET head");
    Select(VendorItem());
    Accept();
    dialogs_.shown.clear();
    dialogs_.answers = {QMessageBox::No};
    Control<QComboBox>("1005")->setCurrentIndex(0);
    window.OnDeviceChanged();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgDiscardVerification});
    EXPECT_EQ(Control<QComboBox>("1005")->currentIndex(), 1);
    EXPECT_EQ(Model().SelectedDevice().name, "NV-PN 300 PROFINET head");
}

TEST_F(SelectionTest, DescriptionRefusesQuotesAndLongTexts) {
    Start();
    Control<QLineEdit>("1026")->clear();
    QTest::keyClicks(Control<QLineEdit>("1026"), "Hall \"B\"");
    EXPECT_EQ(Control<QLineEdit>("1026")->text(), "Hall B");
    QTest::keyClicks(Control<QLineEdit>("1026"), QString(100, QLatin1Char('x')));
    EXPECT_EQ(Control<QLineEdit>("1026")->text().toUtf8().size(), 79);
    EXPECT_EQ(Model().SelectedDevice().description.size(), 79u);
    Control<QLineEdit>("1026")->clear();
    for (int i = 0; i < 50; ++i) {
        QTest::sendKeyEvent(QTest::Click, Control<QLineEdit>("1026"), Qt::Key_unknown,
                            QString(QChar(0x00FC)), Qt::NoModifier);  // two bytes each
    }
    EXPECT_EQ(Model().SelectedDevice().description.size(), 78u);
}

TEST_F(SelectionTest, ControlsCarryTheirNamesForScreenReaders) {
    CNorvaneCRCToolDlg& window = Start();
    const std::pair<const char*, const char*> names[] = {
        {"1000", "Vendor"},     {"1005", "Device"},     {"1026", "Description"},
        {"1001", "Module"},     {"1017", "Value"},      {"1009", "Input"},
        {"1008", "Input"},      {"1015", "min. Value"}, {"1016", "max. Value"},
        {"1019", "CRC module"}, {"1002", "Parameter"},  {"1025", "Overview"},
        {"1012", "Accept"},     {"1018", "Calc-CRC"},   {"1037", "Hex"},
        {"1038", "Dec"},        {"1", "Exit"},
    };
    for (const auto& [id, name] : names) {
        auto* widget = window.findChild<QWidget*>(id);
        ASSERT_NE(widget, nullptr) << id;
        EXPECT_EQ(widget->accessibleName(), name) << id;
    }
    EXPECT_TRUE(Control<QPushButton>("1012")->isDefault());
    EXPECT_EQ(Control<QLabel>("1030")->buddy(), Control<QComboBox>("1000"));
    EXPECT_TRUE(Control<QMenu>("menu.0")->title().contains('&'));
}

TEST_F(SelectionTest, EnterPressesTheFocusedButtonElseAccepts) {
    enum class Effect { Accepts, Exits, ComputesCrc };
    const struct {
        const char* focus;
        Qt::Key key;
        Effect effect;
    } cases[] = {
        {"1002", Qt::Key_Return, Effect::Accepts},  // the tree
        {"1009", Qt::Key_Enter, Effect::Accepts},   // the input
        {"1037", Qt::Key_Return, Effect::Accepts},  // a radio button is no push button
        {"1012", Qt::Key_Return, Effect::Accepts},    {"1", Qt::Key_Return, Effect::Exits},
        {"1018", Qt::Key_Enter, Effect::ComputesCrc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        CNorvaneCRCToolDlg& window = Start();
        window.show();
        window.activateWindow();
        AcceptAll();
        Select(ItemOf("F_Dest_Add"));
        Type("55");
        auto* focus = Control<QWidget>(c.focus);
        focus->setFocus();
        QTest::keyClick(focus, c.key);
        EXPECT_EQ(Model().Parameters()[1].value == 55u, c.effect == Effect::Accepts);
        EXPECT_EQ(window.IsClosed(), c.effect == Effect::Exits);
        EXPECT_EQ(Model().Crc().valid, c.effect == Effect::ComputesCrc);
        // Leaving with verified work not saved asks first.
        EXPECT_EQ(dialogs_.Ids(), c.effect == Effect::Exits ? std::vector<int>{kMsgProjectUnsaved}
                                                            : std::vector<int>{});
    }
}

TEST_F(SelectionTest, ExitAsksWhatTheSettingsAndTheProjectCallFor) {
    {
        CNorvaneCRCToolDlg& window = Start();
        Control<QPushButton>("1")->click();
        EXPECT_TRUE(window.IsClosed());
        EXPECT_TRUE(dialogs_.shown.empty());
    }
    {
        SettingsValues values;
        values.closeCommit = "1";
        CNorvaneCRCToolDlg& window = Start(values);
        dialogs_.answers = {QMessageBox::No};
        Control<QPushButton>("1")->click();
        EXPECT_FALSE(window.IsClosed());
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgExitProgram});
        EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Question);
        window.reject();  // Escape or the window's close button: the same question
        EXPECT_TRUE(window.IsClosed());

        CNorvaneCRCToolDlg& unsaved = Start(values);
        TypeDescription("unsaved work");
        dialogs_.shown.clear();
        Control<QPushButton>("1")->click();
        EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgProjectUnsaved});
        EXPECT_TRUE(unsaved.IsClosed());
    }
}

TEST_F(SelectionTest, LanguageMenuStoresTheChoiceForTheNextStart) {
    CNorvaneCRCToolDlg& window = Start();
    auto* english = window.findChild<QAction*>("32780");
    auto* german = window.findChild<QAction*>("32781");
    ASSERT_NE(english, nullptr);
    ASSERT_NE(german, nullptr);
    EXPECT_EQ(window.findChild<QAction*>("32782"), nullptr);
    EXPECT_EQ(english->text(), "English");
    EXPECT_EQ(german->text(), "Deutsch");
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(german->isChecked());
    const QList<QAction*> items = Control<QMenu>("menu.1")->actions();
    EXPECT_EQ(items.indexOf(german), items.size() - 1);

    german->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgRestartForLanguage});
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Information);
    EXPECT_NE(Settings().find("SelectedLanguage=2"), std::string::npos);
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(german->isChecked());
}

TEST_F(SelectionTest, HelpOpensTheLanguagesHelpFile) {
    Start();
    const std::string help = programDir_.string() + "/NorvaneSafetyCRCToolHelpog.html";
    EXPECT_EQ(HelpFilePath(), help);  // "Catalog.xml" ends in "og"
    Control<QAction>("57670")->trigger();
    EXPECT_EQ(dialogs_.Ids(), std::vector<int>{kMsgFileNotFound});
    EXPECT_EQ(dialogs_.shown[0].text,
              QString("File %1 not found.").arg(QString::fromStdString(help)));
    EXPECT_EQ(dialogs_.shown[0].icon, QMessageBox::Warning);
    WriteFile(help, "<html></html>");
    Control<QAction>("57670")->trigger();
    EXPECT_EQ(dialogs_.helpOpened, std::vector<QString>{QString::fromStdString(help)});
}

TEST(SingleInstance, SecondProgramEndsSilently) {
    const QString program = QStringLiteral(NORVANE_PROGRAM_PATH);
    const SingleInstanceGuard first;  // the program's own name
    ASSERT_FALSE(first.IsAlreadyRunning()) << "another copy of the program is running";
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_CONFIG_DIRS", "/nonexistent");  // would show message 152
    second.setProcessEnvironment(environment);
    second.start(program, {});
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
}

}  // namespace
}  // namespace norvane::testing
