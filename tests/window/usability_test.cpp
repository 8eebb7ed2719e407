// The window as its users meet it: the keyboard alone, words in the user's language, names as
// the catalog writes them, a small screen, and a call by an engineering system.
#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "base/messages.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using UsabilityTest = WindowTest;

// Tab walks the controls, never the cells of the overview; read-only fields that only show a
// value are no stops, the CRC field (whose number is copied) is one.
TEST_F(UsabilityTest, TabWalksTheControlsAndTheWalkStartsInTheTree) {
    CNorvaneCRCToolDlg& window = Start();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), Tree());

    AcceptAll();  // every button enabled, a parameter selected
    Tree()->setFocus();
    const auto walk = [&](Qt::KeyboardModifiers modifiers) {
        QStringList names;
        for (int step = 0; step < 7; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            names << QApplication::focusWidget()->objectName();
        }
        return names;
    };
    EXPECT_EQ(walk(Qt::NoModifier),
              (QStringList{"1009", "1025", "1012", "1018", "1019", "1037", "1"}));
    Button("1")->setFocus();
    EXPECT_EQ(walk(Qt::ShiftModifier),
              (QStringList{"1037", "1019", "1018", "1012", "1025", "1009", "1002"}));

    // The Input label's mnemonic reaches the input that is shown.
    Select(ItemOf("F_Dest_Add"));
    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Edit("1009"));
    Select(ItemOf("F_SIL"));
    QTest::keyClick(&window, Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), Combo("1008"));
}

// The words of the window are the language's: no German in the English window, and the
// German one says "Dez".
TEST_F(UsabilityTest, TheEnglishWindowSpeaksEnglish) {
    Start();
    QStringList headers;
    for (int column = 0; column < 6; ++column) {
        headers << Overview()->horizontalHeaderItem(column)->text();
    }
    EXPECT_EQ(headers, (QStringList{"Name", "Value", "min.", "max.", "Type", "View"}));
    OpenProjectWith([](ProjectData& project) { project.parameters[3].selectedValue = 9; });
    EXPECT_EQ(Row(3)[1], "Invalid");
    // The value that no item has: the message names the items there are.
    dialogs_.shown.clear();
    Select(ItemOf("F_SIL"));
    ASSERT_EQ(dialogs_.shown.size(), 1u);
    EXPECT_EQ(dialogs_.shown[0].text, "F_SIL = 9\nAllowed values: SIL1 (0), SIL2 (1), SIL3 (2)");
}

// Names are shown as the catalog writes them: an "&" is a character, and a name the tree or
// the overview cuts shows whole in a tooltip.
TEST_F(UsabilityTest, NamesShowAsWrittenAndWholeInATooltip) {
    // The dialect takes the "&" as it is written, without entities.
    std::string catalog = ReadFile(SourcePath("examples/SafetyConfiguratorEN.xml"));
    const std::string from = "name=\"F_Dest_Add\"";
    catalog.replace(catalog.find(from), from.size(),
                    "name=\"Destination & address of the F-Device, as the F-Host knows it\"");
    UseCatalog(catalog);
    Start();
    const std::string stored = Model().Parameters()[1].name;
    QTreeWidgetItem* item = ItemOf(stored);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->toolTip(0), item->text(0));
    EXPECT_EQ(Overview()->item(1, 0)->toolTip(), QString::fromStdString(stored));
    Select(item);
    auto* box = Control<QGroupBox>("1003");
    // Shown with its "&", not as a mnemonic: the title doubles it for the group box.
    EXPECT_EQ(stored, "Destination & address of the F-Device, as the F-Host knows it");
    EXPECT_EQ(box->title(), QString::fromStdString(stored).replace("&", "&&"));
}

// The labels are labels, a header line says what to do with it, and the window fits a
// 1024 x 768 screen with every control inside it.
TEST_F(UsabilityTest, LabelsHintsAndASmallScreen) {
    CNorvaneCRCToolDlg& window = Start();
    for (const char* id : {"1013", "1014", "1011", "1020"}) {
        EXPECT_EQ(Control<QLabel>(id)->frameShape(), QFrame::NoFrame) << id;
        EXPECT_FALSE(Control<QLabel>(id)->autoFillBackground()) << id;
    }
    const std::pair<QTreeWidgetItem*, QString> hints[] = {
        {VendorItem(), "Check the vendor shown and press Accept."},
        {DeviceItem(), "Check the device shown and press Accept."},
        {ModuleItem(), "Check the module shown and press Accept."}};
    for (const auto& [item, hint] : hints) {
        Select(item);
        EXPECT_TRUE(Control<QLabel>("1043")->isVisibleTo(&window));
        EXPECT_EQ(Control<QLabel>("1043")->text(), hint);
    }
    Select(ItemOf("F_Dest_Add"));
    EXPECT_FALSE(Control<QLabel>("1043")->isVisibleTo(&window));

    EXPECT_LE(window.minimumSizeHint().width(), 1000);
    window.show();
    window.resize(1024, 740);
    QApplication::processEvents();
    for (QWidget* control :
         {static_cast<QWidget*>(Button("1012")), static_cast<QWidget*>(Button("1")),
          static_cast<QWidget*>(Edit("1019")), static_cast<QWidget*>(Tree()),
          static_cast<QWidget*>(Overview()), static_cast<QWidget*>(Combo("1001"))}) {
        const QRect shown(control->mapTo(&window, QPoint(0, 0)), control->size());
        EXPECT_TRUE(window.rect().contains(shown)) << control->objectName().toStdString();
    }
}

// On a screen scaled by 2 the banner is drawn at twice the size, not blown up.
TEST_F(UsabilityTest, TheBannerIsSharpOnAScaledScreen) {
    Start();
    const QPixmap plain = ResourceImage("banner", 1.0);
    const QPixmap scaled = ResourceImage("banner", 2.0);
    EXPECT_EQ(plain.size(), QSize(1600, 42));
    EXPECT_EQ(scaled.size(), QSize(3200, 84));
    EXPECT_EQ(scaled.devicePixelRatio(), 2.0);
    EXPECT_EQ(scaled.deviceIndependentSize(), QSizeF(1600, 42));
    // A picture without a large one falls back to its own size.
    EXPECT_EQ(ResourceImage("icon", 2.0).size(), QSize(64, 64));
}

// In TCI mode a line says who called and for what, and the fields that show the call's vendor,
// device and module look read-only.
TEST_F(UsabilityTest, ATciCallSaysWhoCalled) {
    SettingsValues values;
    values.editMode = "0";
    values.debugTpf = "1";
    const std::pair<const char*, QString> calls[] = {
        {"examples/ProfibusCall.tpf",
         "Called by the engineering system: Conveyor safety station, module F-DI 8x24VDC light "
         "curtain, slot 3"},
        {"examples/ProfinetCall.tpf",
         "Called by the engineering system: Press line coupler, module KS F-DO 8x0.5A PM, IP "
         "address 192.168.0.41"},
    };
    for (const auto& [sample, line] : calls) {
        const std::string path = WriteFile(dir_.path() / "call.tpf", ReadFile(SourcePath(sample)));
        CNorvaneCRCToolDlg& window = Start(values, {path});
        ASSERT_FALSE(window.IsClosed()) << sample;
        EXPECT_TRUE(Control<QLabel>("1042")->isVisibleTo(&window));
        EXPECT_EQ(Control<QLabel>("1042")->text(), line);
        for (const char* id : {"1022", "1023", "1024"}) {
            const QPalette palette = Edit(id)->palette();
            EXPECT_EQ(palette.color(QPalette::Base), palette.color(QPalette::Window)) << id;
        }
    }
    Start();
    EXPECT_FALSE(Control<QLabel>("1042")->isVisibleTo(window_.get()));
}

}  // namespace
}  // namespace norvane::testing
