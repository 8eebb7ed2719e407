#include "report/catalog_diff.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "safety/parameter_values.h"
#include "verification/verification_model.h"

namespace norvane {
namespace {

// Two devices; the first one's module M holds a parameter of each view.
constexpr const char* kCatalog =
    "<?xml version=\"1.0\"?><C>"
    "<Hersteller name=\"V\" identNumber=\"0x01\">"
    "<Device name=\"D\" identNumber=\"0x10\" dataFormat=\"Motorola\">"
    "<Modul name=\"M\" identNumber=\"0x100\" lenModulParam=\"10\" lenUserParam=\"4\">"
    "<ParameterList>"
    "<Parameter name=\"A\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"100\" "
    "bitOffset=\"32\" bitLength=\"16\"/>"
    "<Parameter name=\"B\" type=\"Int\" defaultValue=\"-1\" min=\"-5\" max=\"5\" "
    "bitOffset=\"48\" bitLength=\"8\"><Item valueText=\"ignored\" valueItem=\"1\"/></Parameter>"
    "<Parameter name=\"E\" type=\"UInt\" paramView=\"Enum\" defaultValue=\"1\" min=\"0\" "
    "max=\"3\" bitOffset=\"56\" bitLength=\"8\"><Item valueText=\"one\" valueItem=\"1\"/>"
    "<Item valueText=\"two\" valueItem=\"2\"/></Parameter>"
    "</ParameterList></Modul>"
    "<Modul name=\"N\" identNumber=\"0x101\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"X\" type=\"UInt\" min=\"0\" max=\"9\" bitOffset=\"32\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "</Device>"
    "<Device name=\"P\" identNumber=\"0x20\" dataFormat=\"Intel\">"
    "<Modul name=\"Q\" identNumber=\"0x200\" lenUserParam=\"1\"><ParameterList>"
    "<Parameter name=\"Y\" type=\"UInt\" min=\"0\" max=\"9\" bitOffset=\"32\" bitLength=\"8\"/>"
    "</ParameterList></Modul>"
    "</Device></Hersteller></C>";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    if (at == std::string::npos) {
        ADD_FAILURE() << "not found: " << from;
        return text;
    }
    return text.replace(at, from.size(), to);
}

// The diff in short: one line per module that is not unchanged, its differences indented,
// the default CRC only as "default-crc" (its values are checked apart).
std::string Outline(const CatalogDiff& diff) {
    static constexpr const char* kChange[] = {"added", "removed", "changed", "unchanged"};
    static constexpr const char* kSubject[] = {"parameter", "module", "device", "default-crc"};
    std::string text;
    for (const ModuleDiff& module : diff.modules) {
        if (module.change == ModuleChange::Unchanged) {
            continue;
        }
        text += std::string(kChange[static_cast<int>(module.change)]) + " " + module.module + "/" +
                module.moduleIdent + "\n";
        for (const CatalogDifference& d : module.differences) {
            text += std::string(" ") + kSubject[static_cast<int>(d.subject)];
            if (d.subject == CatalogDifference::Subject::DefaultCrc) {
                text += "\n";
                continue;
            }
            if (d.subject == CatalogDifference::Subject::Parameter) {
                text += " " + d.parameter;
            }
            if (d.item) {
                text += " item " + std::to_string(*d.item);
            }
            if (d.presence != CatalogDifference::Presence::Both) {
                text += d.presence == CatalogDifference::Presence::Added ? " added" : " removed";
            } else {
                text += " " + d.attribute + " " + d.before + " " + d.after;
            }
            text += "\n";
        }
    }
    return text;
}

// One row per kind of change: the new catalog made from the old one, and the outline of the
// diff.
TEST(DiffCatalogs, ReportsWhatCanChangeAVerification) {
    struct Case {
        const char* name;
        std::function<std::string(const std::string&)> change;
        const char* outline;
    };
    const Case cases[] = {
        {"nothing", [](const std::string& t) { return t; }, ""},
        {"a limit",
         [](const std::string& t) {
             return Replace(t, "min=\"0\" max=\"100\"", "min=\"1\" max=\"100\"");
         },
         "changed M/0x100\n parameter A min 0 1\n"},
        {"a default: the default CRC follows",
         [](const std::string& t) {
             return Replace(t, "defaultValue=\"1\" min=\"0\" max=\"100\"",
                            "defaultValue=\"2\" min=\"0\" max=\"100\"");
         },
         "changed M/0x100\n parameter A defaultValue 1 2\n default-crc\n"},
        {"a type: numbers as each catalog means them",
         [](const std::string& t) {
             return Replace(t, "name=\"B\" type=\"Int\"", "name=\"B\" type=\"UInt\"");
         },
         "changed M/0x100\n parameter B type Int UInt\n parameter B defaultValue -1 4294967295\n"
         " parameter B min -5 4294967291\n default-crc\n"},
        {"an unknown type by its text",
         [](const std::string& t) {
             return Replace(t, "name=\"A\" type=\"UInt\"", "name=\"A\" type=\"Real\"");
         },
         "changed M/0x100\n parameter A type UInt Real\n parameter A defaultValue 1 0\n"
         " parameter A max 100 0\n default-crc\n"},
        // The default still sets the same bits: the CRC stays.
        {"a field shortened",
         [](const std::string& t) {
             return Replace(t, "bitOffset=\"56\" bitLength=\"8\"",
                            "bitOffset=\"56\" bitLength=\"4\"");
         },
         "changed M/0x100\n parameter E bitLength 8 4\n"},
        {"a parameter renamed is one removed and one added",
         [](const std::string& t) { return Replace(t, "name=\"A\"", "name=\"A2\""); },
         "changed M/0x100\n parameter A2 added\n parameter A removed\n"},
        {"enumeration items by value",
         [](const std::string& t) {
             return Replace(t,
                            "<Item valueText=\"one\" valueItem=\"1\"/>"
                            "<Item valueText=\"two\" valueItem=\"2\"/>",
                            "<Item valueText=\"three\" valueItem=\"3\"/>"
                            "<Item valueText=\"One\" valueItem=\"1\"/>");
         },
         "changed M/0x100\n parameter E item 3 added\n parameter E item 1 valueText one One\n"
         " parameter E item 2 removed\n"},
        {"items of a parameter that is no enumeration do not count",
         [](const std::string& t) { return Replace(t, "\"ignored\"", "\"other\""); }, ""},
        {"a view",
         [](const std::string& t) {
             return Replace(t, "name=\"E\" type=\"UInt\" paramView=\"Enum\"",
                            "name=\"E\" type=\"UInt\" paramView=\"ValueHex\"");
         },
         "changed M/0x100\n parameter E paramView Enum ValueHex\n parameter E item 1 removed\n"
         " parameter E item 2 removed\n"},
        {"lengths",
         [](const std::string& t) {
             return Replace(t, "lenModulParam=\"10\" lenUserParam=\"4\"",
                            "lenModulParam=\"12\" lenUserParam=\"5\"");
         },
         "changed M/0x100\n module lenModulParam 10 12\n module lenUserParam 4 5\n default-crc\n"},
        {"a data format changes every module of the device",
         [](const std::string& t) {
             return Replace(t, "dataFormat=\"Motorola\"", "dataFormat=\"Intel\"");
         },
         "changed M/0x100\n device dataFormat Motorola Intel\n default-crc\n"
         "changed N/0x101\n device dataFormat Motorola Intel\n"},
        {"names are not compared",
         [](const std::string& t) {
             return Replace(Replace(t, "name=\"M\"", "name=\"M2\""), "name=\"V\"", "name=\"W\"");
         },
         ""},
        {"an identifier: a module added and one removed",
         [](const std::string& t) {
             return Replace(t, "identNumber=\"0x101\"", "identNumber=\"0x102\"");
         },
         "added N/0x102\nremoved N/0x101\n"},
        {"a module without a name takes no part",
         [](const std::string& t) { return Replace(t, "name=\"Q\"", "name=\"\""); },
         "removed Q/0x200\n"},
        {"a module that no longer fits its record has no default CRC",
         [](const std::string& t) {
             return Replace(t, "name=\"X\" type=\"UInt\" min=\"0\" max=\"9\" bitOffset=\"32\"",
                            "name=\"X\" type=\"UInt\" min=\"0\" max=\"9\" bitOffset=\"36\"");
         },
         "changed N/0x101\n parameter X bitOffset 32 36\n default-crc\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CatalogData before;
        before.Load(kCatalog);
        CatalogData after;
        after.Load(c.change(kCatalog));
        const CatalogDiff diff = DiffCatalogs(before, after);
        EXPECT_EQ(Outline(diff), c.outline);
        EXPECT_EQ(diff.added + diff.removed + diff.changed + diff.unchanged, diff.modules.size());
    }
}

TEST(DiffCatalogs, DefaultCrcIsTheModelsAndErrorWhereThereIsNone) {
    CatalogData before;
    before.Load(kCatalog);
    CatalogData after;
    // X no longer lies inside its one-byte record: no image, no CRC.
    after.Load(Replace(kCatalog,
                       "bitOffset=\"32\" bitLength=\"8\"/></ParameterList></Modul></Device>",
                       "bitOffset=\"36\" bitLength=\"8\"/></ParameterList></Modul></Device>"));
    const CatalogDiff diff = DiffCatalogs(before, after);
    ASSERT_EQ(diff.modules.size(), 3u);
    const CatalogDifference& crc = diff.modules[1].differences.back();
    ASSERT_EQ(crc.subject, CatalogDifference::Subject::DefaultCrc);
    VerificationModel model(before);
    model.SelectManufacturer(0);
    model.SelectDevice(0);
    model.SelectModule(1);
    EXPECT_EQ(crc.before, FormatCrc(true, model.CurrentSafetyCrc().value(), 0));
    EXPECT_EQ(crc.after, "error");
}

// Records a list holds twice are paired in turn: the n-th with the n-th.
TEST(DiffCatalogs, DuplicateIdentifiersArePairedInOrder) {
    const std::string twice = Replace(kCatalog, "identNumber=\"0x101\"", "identNumber=\"0x100\"");
    CatalogData before;
    before.Load(twice);
    CatalogData after;
    after.Load(Replace(twice, "min=\"0\" max=\"9\" bitOffset=\"32\"",
                       "min=\"1\" max=\"9\" bitOffset=\"32\""));
    const CatalogDiff diff = DiffCatalogs(before, after);
    EXPECT_EQ(Outline(diff), "changed N/0x100\n parameter X min 0 1\n");
    EXPECT_EQ(diff.unchanged, 2u);
    EXPECT_EQ(diff.modules[0].module, "M");
    EXPECT_EQ(diff.modules[1].module, "N");
}

}  // namespace
}  // namespace norvane
