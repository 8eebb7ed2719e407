// Catalog texts in any encoding: what the window shows of them and whether the walk through
// the tree still reaches a CRC.
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

#include "safety/param_stream.h"
#include "window/window_fixture.h"

namespace norvane::testing {
namespace {

using EncodingTest = WindowTest;

struct Names {
    std::string vendor, device, module, parameter, item;
};

// One vendor, device and module with an enumeration (whose second item is the one to choose)
// and a number; a second vendor to change to and back.
std::string CatalogWith(const Names& names) {
    return "<Catalog><Hersteller name=\"" + names.vendor + "\" identNumber=\"1\"><Device name=\"" +
           names.device +
           "\" identNumber=\"2\" enableBusAddress=\"yes\" busAddress=\"3\" minAddr=\"1\""
           " maxAddr=\"125\" dataFormat=\"Motorola\"><Modul name=\"" +
           names.module +
           "\" identNumber=\"3\" lenUserParam=\"3\"><ParameterList><Parameter name=\"" +
           names.parameter +
           "\" type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" max=\"2\""
           " bitOffset=\"32\" bitLength=\"8\"><Item valueText=\"rot\" valueItem=\"0\"/>"
           "<Item valueText=\"" +
           names.item +
           "\" valueItem=\"2\"/><Item valueText=\"blau\" valueItem=\"1\"/></Parameter>"
           "<Parameter name=\"F_Dest_Add\" type=\"UInt\" defaultValue=\"5\" min=\"1\""
           " max=\"100\" bitOffset=\"40\" bitLength=\"16\"/></ParameterList></Modul></Device>"
           "</Hersteller><Hersteller name=\"Zweiter\"/></Catalog>";
}

TEST_F(EncodingTest, NamesInAnyEncodingAreShownAndFound) {
    const std::string a78(78, 'a');
    const struct {
        const char* label;
        Names bytes;  // as the catalog file holds them
        Names shown;  // as the window shows them (UTF-8 here)
    } cases[] = {
        {"UTF-8",
         {"M\xC3\xBCller GmbH", "Ger\xC3\xA4t 7", "Eingang gr\xC3\xBCn",
          "Farbe (Gr\xC3\xB6\xC3\x9F"
          "e)",
          "gr\xC3\xBCn"},
         {"M\xC3\xBCller GmbH", "Ger\xC3\xA4t 7", "Eingang gr\xC3\xBCn",
          "Farbe (Gr\xC3\xB6\xC3\x9F"
          "e)",
          "gr\xC3\xBCn"}},
        {"Latin-1",
         {"M\xFCller GmbH", "Ger\xE4t 7", "Eingang gr\xFCn",
          "Farbe (Gr\xF6\xDF"
          "e)",
          "gr\xFCn"},
         {"M\xC3\xBCller GmbH", "Ger\xC3\xA4t 7", "Eingang gr\xC3\xBCn",
          "Farbe (Gr\xC3\xB6\xC3\x9F"
          "e)",
          "gr\xC3\xBCn"}},
        // 81 bytes with "ü" on bytes 79 and 80: cut before it, not inside it.
        {"long UTF-8",
         {a78 + "\xC3\xBC" + "b", "D", a78 + "\xC3\xBC" + "b", a78 + "\xC3\xBC" + "b",
          a78 + "\xC3\xBC" + "b"},
         {a78, "D", a78, a78, a78}},
        // Not UTF-8: cut at the byte width, "ü" (one byte) included.
        {"long Latin-1",
         {a78 + "\xFC" + "b", "D", a78 + "\xFC" + "b", a78 + "\xFC" + "b", a78 + "\xFC" + "b"},
         {a78 + "\xC3\xBC", "D", a78 + "\xC3\xBC", a78 + "\xC3\xBC", a78 + "\xC3\xBC"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        // Each row runs to its end even when one before it stopped early.
        [&] {
            UseCatalog(CatalogWith(c.bytes));
            dialogs_.shown.clear();
            CNorvaneCRCToolDlg& window = Start();
            ASSERT_FALSE(window.IsClosed());
            const auto shown = [](const std::string& utf8) { return QString::fromStdString(utf8); };
            EXPECT_EQ(Control<QComboBox>("1000")->currentText(), shown(c.shown.vendor));
            EXPECT_EQ(Control<QComboBox>("1005")->currentText(), shown(c.shown.device));
            EXPECT_EQ(Control<QComboBox>("1001")->currentText(), shown(c.shown.module));
            EXPECT_EQ(Control<QLineEdit>("1022")->text(), shown(c.shown.vendor));
            EXPECT_EQ(Control<QLineEdit>("1023")->text(), shown(c.shown.device));
            EXPECT_EQ(Control<QLineEdit>("1024")->text(), shown(c.shown.module));
            ASSERT_NE(ModuleItem(), nullptr);
            EXPECT_EQ(VendorItem()->text(0), shown(c.shown.vendor));
            EXPECT_EQ(DeviceItem()->text(0), shown(c.shown.device));
            EXPECT_EQ(ModuleItem()->text(0), shown(c.shown.module));
            ASSERT_EQ(ModuleItem()->childCount(), 2);
            EXPECT_EQ(ModuleItem()->child(0)->text(0), shown(c.shown.parameter));
            EXPECT_EQ(Row(0), (QStringList{shown(c.shown.parameter), "blau", "rot", "blau", "UInt",
                                           "enum"}));

            // The enumeration shows its items; the one chosen is accepted by its own bytes.
            Select(ModuleItem()->child(0));
            EXPECT_EQ(Control<QGroupBox>("1003")->title(), shown(c.shown.parameter));
            ASSERT_EQ(Control<QComboBox>("1008")->count(), 3);
            EXPECT_EQ(Control<QComboBox>("1008")->itemText(1), shown(c.shown.item));
            EXPECT_EQ(Control<QComboBox>("1008")->currentText(), "blau");

            Select(VendorItem());
            for (int i = 0; i < 4; ++i) {
                Accept();  // vendor, device, bus address, module
            }
            ASSERT_EQ(Control<QTreeWidget>("1002")->currentItem(), ModuleItem()->child(0));
            Control<QComboBox>("1008")->setCurrentIndex(1);
            Accept();
            EXPECT_EQ(Model().Parameters()[0].value, 2u);
            EXPECT_EQ(Row(0)[1], shown(c.shown.item));
            Accept();  // F_Dest_Add
            EXPECT_TRUE(dialogs_.shown.empty());
            ASSERT_TRUE(Control<QPushButton>("1018")->isEnabled());
            Control<QPushButton>("1018")->click();
            EXPECT_TRUE(Model().Crc().valid);
            const ParamStream image =
                BuildParamStream(DataFormat::Motorola, 7, Model().Parameters());
            EXPECT_EQ(image.data[4], 2);
            EXPECT_EQ(Model().Crc().value, RecordSafetyCrc(image.data, 3));
            Select(ModuleItem()->child(0));
            EXPECT_EQ(Control<QComboBox>("1008")->currentText(), shown(c.shown.item));
            EXPECT_EQ(Control<QLineEdit>("1017")->text(), shown(c.shown.item));

            // A refused vendor change finds its way back to the name's own entry.
            dialogs_.answers = {QMessageBox::No};
            Control<QComboBox>("1000")->setCurrentIndex(1);
            window.OnVendorChanged();
            EXPECT_EQ(Control<QComboBox>("1000")->currentIndex(), 0);
        }();
    }
}

}  // namespace
}  // namespace norvane::testing
