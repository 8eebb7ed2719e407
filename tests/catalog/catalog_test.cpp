#include "catalog/catalog.h"

#include <gtest/gtest.h>

#include <string>

#include "base/whole_file.h"
#include "support/temp_dir.h"

namespace norvane {
namespace {

CatalogData Loaded(const std::string& text) {
    CatalogData catalog;
    catalog.Load(text);
    return catalog;
}

std::vector<std::string> Names(const auto& list) {
    std::vector<std::string> names;
    names.reserve(list.size());
    for (const auto& record : list) {
        names.push_back(record.name);
    }
    return names;
}

TEST(Catalog, FindsManufacturersAtAnyDepthInDocumentOrder) {
    CatalogData catalog = Loaded(
        "<?xml version='1.0'?><Root><FileVersion major=\"2\" minor=\"7\"/>"
        "<Hersteller name=\"A\" identNumber=\"0x01\"><In><Hersteller name=\"Inner\"/></In>"
        "</Hersteller>"
        "<Wrap><Deeper><Hersteller name=\"B\"/></Deeper></Wrap>"
        "<Hersteller identNumber=\"0x99\"/><Hersteller name=\"\"/><hersteller name=\"lower\"/>"
        "<Hersteller name=\"C\"/></Root>");
    ASSERT_EQ(Names(catalog.manufacturerList),
              (std::vector<std::string>{"A", "Inner", "B", "", "", "C"}));
    // Only records with a name get a list entry, numbered in order.
    EXPECT_EQ(catalog.manufacturerList[0].index, 0);
    EXPECT_EQ(catalog.manufacturerList[1].index, 1);
    EXPECT_EQ(catalog.manufacturerList[2].index, 2);
    EXPECT_EQ(catalog.manufacturerList[3].index, 0);
    EXPECT_EQ(catalog.manufacturerList[3].identNumber, "0x99");
    EXPECT_EQ(catalog.manufacturerList[5].index, 3);
    EXPECT_EQ(catalog.manufacturerList[0].identNumber, "0x01");
    EXPECT_TRUE(catalog.fileVersion.found);
    EXPECT_EQ(catalog.fileVersion.major, 2);
    EXPECT_EQ(catalog.fileVersion.minor, 7);
    EXPECT_EQ(catalog.LoadDevices(""), nullptr);  // unnamed records cannot be selected
}

TEST(Catalog, TextThatDoesNotParseHasNoManufacturer) {
    CatalogData catalog = Loaded("<Hersteller name=\"A\"></Device>");
    EXPECT_EQ(catalog.catalogDoc, nullptr);
    EXPECT_TRUE(catalog.manufacturerList.empty());
    EXPECT_TRUE(LoadCatalog(nullptr).empty());
}

constexpr const char* kTwoVendors =
    "<C><Hersteller name=\"Same\"><Device name=\"First\" enableBusAddress=\"yes\" busAddress=\"7\""
    " minAddr=\"1\" maxAddr=\"125\" busSpeed=\"1500\" offsetModulParamStream=\"65537\""
    " dataFormat=\"Motorola\"/><Other><Device name=\"Hidden\"/></Other>"
    "<Device identNumber=\"nameless\"/><Device name=\"Second\" enableBusAddress=\"Yes\""
    " busAddress=\"0x10\" dataFormat=\"intel\"/><Device name=\"Third\" dataFormat=\"Intel\"/>"
    "</Hersteller><Hersteller name=\"Same\"><Device name=\"OfTheSecond\"/></Hersteller></C>";

TEST(Catalog, DevicesComeFromTheFirstManufacturerOfThatName) {
    CatalogData catalog = Loaded(kTwoVendors);
    ASSERT_EQ(catalog.manufacturerList.size(), 2u);
    const CatalogManufacturer* vendor = catalog.LoadDevices("Same");
    ASSERT_EQ(vendor, &catalog.manufacturerList[0]);
    // A Device inside another element is not a device of the manufacturer.
    ASSERT_EQ(Names(catalog.deviceList),
              (std::vector<std::string>{"First", "", "Second", "Third"}));
    const CatalogDevice& first = catalog.deviceList[0];
    EXPECT_EQ(first.enableBusAddress, 1);
    EXPECT_EQ(first.busAddress, 7);
    EXPECT_EQ(first.minAddr, 1);
    EXPECT_EQ(first.maxAddr, 125);
    EXPECT_EQ(first.busSpeed, 1500);
    EXPECT_EQ(first.offsetModulParamStream, 1);  // a 16-bit field
    EXPECT_EQ(first.dataFormat, DataFormat::Motorola);
    const CatalogDevice& second = catalog.deviceList[2];
    EXPECT_EQ(second.enableBusAddress, 0);  // the vocabularies are case-sensitive
    EXPECT_EQ(second.busAddress, 0);        // no hexadecimal notation
    EXPECT_EQ(second.dataFormat, DataFormat::None);
    EXPECT_EQ(second.index, 1);
    EXPECT_EQ(catalog.deviceList[3].dataFormat, DataFormat::Intel);
    EXPECT_EQ(catalog.deviceList[3].index, 2);

    EXPECT_EQ(catalog.LoadDevices("same"), nullptr);
    EXPECT_TRUE(catalog.deviceList.empty());
}

constexpr const char* kModules =
    "<Hersteller name=\"V\"><Device name=\"D\">"
    "<Modul name=\"M1\" identNumber=\"0x40A1\" major=\"1\" minor=\"65539\" type=\"F-DI\""
    " modulPlcAddress=\"-4\" minAddr=\"1\" maxAddr=\"1022\" lenModulParam=\"14\""
    " lenUserParam=\"70000\"><ParameterListExtra>"
    "<Parameter name=\"U\" type=\"UInt\" paramView=\"ValueHex\" defaultValue=\"4294967295\""
    " min=\"0\" max=\"4294967295\" bitOffset=\"32\" bitLength=\"32\"/>"
    "<Parameter name=\"I\" type=\"Int\" paramView=\"Decimal\" defaultValue=\"-1\" min=\"-500\""
    " max=\"500\" bitOffset=\"64\" bitLength=\"16\"/>"
    "<Parameter name=\"B\" type=\"bool\" defaultValue=\"1\" min=\"0\" max=\"1\" bitOffset=\"80\""
    " bitLength=\"1\"/>"
    "<Parameter name=\"E\" type=\"UInt\" paramView=\"Enum\" minimum=\"5\" min=\"3\""
    " defaultValue=\" +2x\" bitOffset=\"81\" bitLength=\"2\">"
    "<Item valueText=\"first\" valueItem=\"0\"/><Other/><Item valueText='quoted' valueItem=\"-1\"/>"
    "</Parameter><Parameters name=\"not a parameter\"/>"
    "<Parameter type=\"UInt\" bitOffset=\"90\" bitLength=\"4\"/>"
    "</ParameterListExtra></Modul>"
    "<Modul name=\"Bare\"/></Device></Hersteller>";

TEST(Catalog, ModulesAndParametersDecodeEveryAttribute) {
    CatalogData catalog = Loaded(kModules);
    ASSERT_NE(catalog.LoadDevices("V"), nullptr);
    ASSERT_NE(catalog.LoadModules("D"), nullptr);
    ASSERT_EQ(Names(catalog.moduleList), (std::vector<std::string>{"M1", "Bare"}));
    const CatalogModule& m1 = catalog.moduleList[0];
    EXPECT_EQ(m1.identNumber, "0x40A1");
    EXPECT_EQ(m1.major, 1);
    EXPECT_EQ(m1.minor, 3);  // 16 bits
    EXPECT_EQ(m1.type, "F-DI");
    EXPECT_EQ(m1.modulPlcAddress, -4);
    EXPECT_EQ(m1.maxAddr, 1022);
    EXPECT_EQ(m1.lenModulParam, 14);
    EXPECT_EQ(m1.lenUserParam, 70000 - 65536);
    ASSERT_NE(m1.parameterListElement, nullptr);  // found by name prefix
    EXPECT_EQ(catalog.moduleList[1].index, 1);

    ASSERT_NE(catalog.LoadParameters("M1"), nullptr);
    ASSERT_EQ(Names(catalog.parameterList), (std::vector<std::string>{"U", "I", "B", "E", ""}));
    const CatalogParameter& u = catalog.parameterList[0];
    EXPECT_EQ(u.type, ParamType::UInt);
    EXPECT_EQ(u.paramView, ParamView::ValueHex);
    EXPECT_EQ(u.defaultValue, 0xFFFFFFFFu);
    EXPECT_EQ(u.max, 0xFFFFFFFFu);
    EXPECT_EQ(u.bitOffset, 32);
    EXPECT_EQ(u.bitLength, 32);
    EXPECT_EQ(u.value, 0u);
    EXPECT_EQ(u.verified, 0);
    const CatalogParameter& i = catalog.parameterList[1];
    EXPECT_EQ(i.type, ParamType::Int);
    EXPECT_EQ(AsSigned(i.defaultValue), -1);
    EXPECT_EQ(AsSigned(i.min), -500);
    const CatalogParameter& b = catalog.parameterList[2];
    EXPECT_EQ(b.type, ParamType::None);  // "bool" is not "Bool"
    EXPECT_EQ(b.defaultValue, 0u);
    EXPECT_EQ(b.max, 0u);
    EXPECT_EQ(b.bitOffset, 80);
    const CatalogParameter& e = catalog.parameterList[3];
    EXPECT_EQ(e.paramView, ParamView::Enum);
    EXPECT_EQ(e.min, 5u);           // "min" finds "minimum" first
    EXPECT_EQ(e.defaultValue, 2u);  // leading blanks and sign, up to the first non-digit

    ASSERT_NE(catalog.LoadEnumItems("E"), nullptr);
    ASSERT_EQ(catalog.enumItemList.size(), 2u);
    EXPECT_EQ(catalog.enumItemList[0].valueText, "first");
    EXPECT_EQ(catalog.enumItemList[1].valueText, "'quoted'");
    EXPECT_EQ(catalog.enumItemList[1].valueItem, -1);
    EXPECT_EQ(catalog.LoadEnumItems("missing"), nullptr);
    EXPECT_TRUE(catalog.enumItemList.empty());

    // A module without a ParameterList is found and has no parameters.
    EXPECT_NE(catalog.LoadParameters("Bare"), nullptr);
    EXPECT_TRUE(catalog.parameterList.empty());
    EXPECT_EQ(catalog.LoadParameters("Nope"), nullptr);
}

TEST(Catalog, LongTextsAreCutToTheirFields) {
    const std::string longName(100, 'n');
    const std::string longIdent(40, 'i');
    CatalogData catalog = Loaded(
        "<Hersteller name=\"" + longName + "\" identNumber=\"" + longIdent +
        "\"><Device name=\"D\"><Modul name=\"" + longName + "\" type=\"" + std::string(30, 't') +
        "\"><ParameterList><Parameter name=\"P\"><Item valueText=\"" + longName +
        "\"/></Parameter></ParameterList></Modul></Device>"
        "</Hersteller>");
    const CatalogManufacturer& vendor = catalog.manufacturerList.at(0);
    EXPECT_EQ(vendor.name, std::string(kNameWidth, 'n'));
    EXPECT_EQ(vendor.identNumber, std::string(kIdentWidth, 'i'));
    catalog.LoadDevices(vendor.name);
    catalog.LoadModules("D");
    EXPECT_EQ(catalog.moduleList.at(0).type, std::string(kModuleTypeWidth, 't'));
    ASSERT_NE(catalog.LoadParameters(std::string(kNameWidth, 'n')), nullptr);
    catalog.LoadEnumItems("P");
    EXPECT_EQ(catalog.enumItemList.at(0).valueText, std::string(kNameWidth, 'n'));
}

TEST(Catalog, Utf8TextsAreNeverCutInsideACharacter) {
    // "ü" is two bytes in UTF-8 and one in Latin-1; each text puts one across its field's end.
    const std::string utf8 = "\xC3\xBC";
    const struct {
        std::string text;  // the name, identNumber and module type of the catalog
        std::string name, ident, type;
    } cases[] = {
        // the character would be split at every width: cut before it
        {std::string(78, 'a') + utf8 + "b", std::string(78, 'a'), std::string(30, 'a'),
         std::string(18, 'a')},
        // it fits whole at every width
        {std::string(77, 'a') + utf8 + "b", std::string(77, 'a') + utf8,
         std::string(29, 'a') + utf8, std::string(17, 'a') + utf8},
        // not UTF-8: the byte width
        {std::string(78, 'a') + "\xFC" + "b", std::string(78, 'a') + "\xFC",
         std::string(30, 'a') + "\xFC", std::string(18, 'a') + "\xFC"},
    };
    for (const auto& c : cases) {
        CatalogData catalog =
            Loaded("<Hersteller name=\"" + c.text + "\" identNumber=\"" + c.text.substr(48) +
                   "\"><Device name=\"D\"><Modul name=\"" + c.text + "\" type=\"" +
                   c.text.substr(60) + "\"/></Device></Hersteller>");
        const CatalogManufacturer& vendor = catalog.manufacturerList.at(0);
        EXPECT_EQ(vendor.name, c.name);
        EXPECT_EQ(vendor.identNumber, c.ident) << c.text.substr(48);
        ASSERT_NE(catalog.LoadDevices(c.name), nullptr);
        ASSERT_NE(catalog.LoadModules("D"), nullptr);
        EXPECT_EQ(catalog.moduleList.at(0).name, c.name);
        EXPECT_EQ(catalog.moduleList.at(0).type, c.type) << c.text.substr(60);
    }
}

TEST(Catalog, ReleaseEmptiesEverything) {
    CatalogData catalog = Loaded(kModules);
    catalog.LoadDevices("V");
    catalog.LoadModules("D");
    catalog.LoadParameters("M1");
    catalog.Release();
    EXPECT_TRUE(catalog.manufacturerList.empty());
    EXPECT_TRUE(catalog.deviceList.empty());
    EXPECT_TRUE(catalog.moduleList.empty());
    EXPECT_TRUE(catalog.parameterList.empty());
    EXPECT_EQ(catalog.catalogDoc, nullptr);
    EXPECT_TRUE(catalog.catalogText.empty());
}

// The text is held once, by the tree when it parses; either way it is what was loaded, every
// byte, for the digest a verification record names.
TEST(Catalog, KeepsTheLoadedBytes) {
    const std::string parses(
        "<SafetyConfigurator><Hersteller name=\"V\"/></SafetyConfigurator>\0tail", 68);
    CatalogData catalog;
    catalog.Load(parses);
    ASSERT_NE(catalog.catalogDoc, nullptr);
    EXPECT_EQ(catalog.catalogText, parses);
    EXPECT_EQ(catalog.catalogText.data(), XmlDocumentText(catalog.catalogDoc.get()).data());
    EXPECT_EQ(catalog.manufacturerList.size(), 1u);

    const std::string refused = "<a x=\"unclosed>";
    catalog.Load(refused);
    EXPECT_EQ(catalog.catalogDoc, nullptr);
    EXPECT_EQ(catalog.catalogText, refused);
}

// The shipped demo catalog must stay loadable and inside the rules the tool relies on: every
// module's fields fit its image and the covered ones start at bit 32 or later.
TEST(Catalog, DemoCatalogIsConsistent) {
    CatalogData catalog;
    catalog.Load(ReadWholeFile(testing::SourcePath("examples/SafetyConfiguratorEN.xml").string()));
    ASSERT_GE(catalog.manufacturerList.size(), 2u);
    int modules = 0;
    for (const CatalogManufacturer& vendor : catalog.manufacturerList) {
        ASSERT_FALSE(vendor.name.empty());
        catalog.LoadDevices(vendor.name);
        for (const CatalogDevice& device : std::vector<CatalogDevice>(catalog.deviceList)) {
            EXPECT_NE(device.dataFormat, DataFormat::None) << device.name;
            catalog.LoadModules(device.name);
            for (const CatalogModule& module : std::vector<CatalogModule>(catalog.moduleList)) {
                ++modules;
                ASSERT_NE(catalog.LoadParameters(module.name), nullptr);
                EXPECT_FALSE(catalog.parameterList.empty()) << module.name;
                for (const CatalogParameter& p : catalog.parameterList) {
                    EXPECT_NE(p.type, ParamType::None) << p.name;
                    EXPECT_GE(p.bitOffset, 32) << p.name;
                    EXPECT_LE(p.bitOffset + p.bitLength, 8 * (module.lenUserParam + 4)) << p.name;
                    // A received record holds every field and ends after the last one.
                    EXPECT_LT(p.bitOffset + p.bitLength, 8 * module.lenModulParam) << p.name;
                    EXPECT_GE(module.lenModulParam, module.lenUserParam + 4) << module.name;
                    if (p.paramView == ParamView::Enum) {
                        ASSERT_NE(catalog.LoadEnumItems(p.name), nullptr);
                        EXPECT_FALSE(catalog.enumItemList.empty()) << p.name;
                    }
                }
            }
        }
    }
    EXPECT_GE(modules, 4);
}

}  // namespace
}  // namespace norvane
