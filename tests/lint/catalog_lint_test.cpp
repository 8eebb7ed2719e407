#include "lint/catalog_lint.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/whole_file.h"
#include "support/temp_dir.h"
#include "xml/xml_parser.h"

namespace norvane {
namespace {

std::vector<LintFinding> Lint(const std::string& text) {
    const XmlRoot root = XmlParseText(text);
    EXPECT_TRUE(root) << text;
    return LintCatalog(root.get());
}

// One clean manufacturer, device and module; each part can be replaced.
struct Parts {
    std::string device =
        "name=\"D\" identNumber=\"2\" enableBusAddress=\"yes\" busAddress=\"3\" minAddr=\"1\" "
        "maxAddr=\"125\" dataFormat=\"Motorola\"";
    std::string module = "name=\"M\" identNumber=\"3\" lenUserParam=\"4\"";
    std::string parameters =
        "<Parameter name=\"P\" type=\"UInt\" defaultValue=\"1\" min=\"0\" max=\"255\" "
        "bitOffset=\"32\" bitLength=\"8\"/>";
    std::string moreModules;
};

std::string Catalog(const Parts& parts) {
    return "<?xml version=\"1.0\"?><Catalog><FileVersion major=\"1\" minor=\"0\"/>"
           "<Hersteller name=\"V\" identNumber=\"1\"><Device " +
           parts.device + "><Modul " + parts.module + "><ParameterList>" + parts.parameters +
           "</ParameterList></Modul>" + parts.moreModules + "</Device></Hersteller></Catalog>";
}

Parts WithDevice(std::string device) {
    Parts parts;
    parts.device = std::move(device);
    return parts;
}
Parts WithModule(std::string module) {
    Parts parts;
    parts.module = std::move(module);
    return parts;
}
Parts WithParameters(std::string parameters) {
    Parts parts;
    parts.parameters = std::move(parameters);
    return parts;
}
Parts WithMoreModules(std::string modules) {
    Parts parts;
    parts.moreModules = std::move(modules);
    return parts;
}

std::string Param(const std::string& attributes, const std::string& items = "") {
    return "<Parameter " + attributes + (items.empty() ? "/>" : ">" + items + "</Parameter>");
}

const std::string kDevice =
    "name=\"D\" identNumber=\"2\" enableBusAddress=\"yes\" minAddr=\"1\" maxAddr=\"125\" ";
const std::string kMotorola = " dataFormat=\"Motorola\"";
const std::string kUInt8 = "type=\"UInt\" min=\"0\" max=\"255\" defaultValue=\"1\" ";
const std::string kItems01 =
    "<Item valueText=\"a\" valueItem=\"0\"/><Item valueText=\"b\" "
    "valueItem=\"1\"/>";

TEST(CatalogLint, TheBaseCatalogIsClean) {
    const std::vector<LintFinding> findings = Lint(Catalog({}));
    EXPECT_TRUE(findings.empty()) << findings[0].code << ": " << findings[0].text;
}

// Each catalog makes exactly one finding: its code, on the record it names.
TEST(CatalogLint, EachCodeHasACatalogThatTriggersExactlyIt) {
    struct Case {
        std::string catalog;
        std::string_view code;
        size_t names;        // how many names the finding carries
        std::string inText;  // the numbers involved, as the text must state them
    };
    const Case cases[] = {
        {"<Catalog><FileVersion major=\"1\"/></Catalog>", "no-manufacturers", 0, "Hersteller"},
        {Catalog(WithModule("name=\"M\" identNumber=\"3\" lenUserParam=\"65538\"")),
         "number-out-of-range", 3, "lenUserParam=\"65538\" does not fit the unsigned 16-bit"},
        {Catalog(WithParameters(
             Param("name=\"P\" " + kUInt8 + "bitOffset=\"32\" bitLength=\"4294967304\""))),
         "number-out-of-range", 4, "reads as 8"},
        {Catalog(WithDevice(kDevice + "busAddress=\"3\" busSpeed=\"000099999999999\"" + kMotorola)),
         "number-out-of-range", 2, "busSpeed=\"99999999999\""},
        {Catalog(
             WithDevice(kDevice + "busAddress=\"3\" offsetModulParamStream=\"65536\"" + kMotorola)),
         "number-out-of-range", 2, "reads as 0"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"UInt\" min=\"0\" max=\"4294967295\" "
                                      "defaultValue=\"-1\" bitOffset=\"32\" bitLength=\"32\""))),
         "number-out-of-range", 4, "reads as 4294967295"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"Int\" min=\"0\" max=\"-2147483649\" "
                                      "defaultValue=\"0\" bitOffset=\"32\" bitLength=\"32\""))),
         "number-out-of-range", 4, "reads as 2147483647"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"UInt\" min=\"0\" max=\"1\" "
                                      "defaultValue=\"0\" paramView=\"Enum\" bitOffset=\"32\" "
                                      "bitLength=\"8\"",
                                      "<Item valueText=\"a\" valueItem=\"4294967296\"/>"))),
         "number-out-of-range", 4, "valueItem"},
        {Catalog(WithParameters(Param(kUInt8 + "bitOffset=\"32\" bitLength=\"8\""))),
         "missing-name", 4, "no name"},
        {Catalog(WithModule("name=\"M\" lenUserParam=\"2\"")), "missing-ident", 3, "identNumber"},
        {Catalog(WithMoreModules("<Modul name=\"N\" identNumber=\"3\" lenUserParam=\"2\">"
                                 "<ParameterList>" +
                                 Parts().parameters + "</ParameterList></Modul>")),
         "duplicate-ident", 3, "\"3\" is also that of the earlier module \"M\""},
        {Catalog(WithMoreModules("<Modul name=\"M\" identNumber=\"4\" lenUserParam=\"2\">"
                                 "<ParameterList>" +
                                 Parts().parameters + "</ParameterList></Modul>")),
         "duplicate-name", 3, "same name"},
        {Catalog(WithParameters(Parts().parameters + Param("name=\"P\" " + kUInt8 +
                                                           "bitOffset=\"40\" bitLength=\"8\""))),
         "duplicate-name", 4, "same name"},
        {Catalog(WithDevice(kDevice + "busAddress=\"3\" dataFormat=\"motorola\"")), "data-format",
         2, "\"motorola\""},
        {Catalog(WithDevice("name=\"D\" identNumber=\"2\" enableBusAddress=\"yes\" "
                            "busAddress=\"-1\" dataFormat=\"Intel\"")),
         "bus-address-unverifiable", 2, "-1"},
        {Catalog(WithDevice(kDevice + "busAddress=\"126\"" + kMotorola)),
         "bus-address-outside-limits", 2, "126 lies outside minAddr 1 to maxAddr 125"},
        {Catalog(WithModule("name=\"M\" identNumber=\"3\" lenUserParam=\"253\"")),
         "tci-record-too-long", 3, "257"},
        {Catalog(WithMoreModules("<Modul name=\"Empty\" identNumber=\"9\"/>")), "no-parameters", 3,
         "no parameters"},
        {Catalog(
             WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"32\" bitLength=\"0\""))),
         "bit-length", 4, "bitLength 0"},
        {Catalog(
             WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"32\" bitLength=\"33\""))),
         "bit-length", 4, "bitLength 33"},
        {Catalog(
             WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"32\" bitLength=\"-1\""))),
         "bit-length", 4, "bitLength -1"},
        {Catalog(WithParameters(Param("name=\"B\" type=\"Bool\" min=\"0\" max=\"1\" "
                                      "defaultValue=\"1\" bitOffset=\"32\" bitLength=\"2\""))),
         "bool-bit-length", 4, "bitLength 2"},
        {Catalog(WithParameters(Param("name=\"B\" type=\"Bool\" min=\"0\" max=\"1\" "
                                      "defaultValue=\"1\" bitOffset=\"32\" bitLength=\"16\""))),
         "bool-bit-length", 4, "byte exchange"},
        {Catalog(WithParameters(Param("name=\"B\" type=\"Bool\" min=\"0\" max=\"2\" "
                                      "defaultValue=\"1\" bitOffset=\"32\" bitLength=\"1\""))),
         "limit-exceeds-field", 4, "max 2 does not fit a Bool (0 to 1)"},
        // Its numbers are not read, so they are not judged either: the type is the one finding.
        {Catalog(WithParameters(Param("name=\"T\" type=\"text\" min=\"9\" max=\"1\" "
                                      "defaultValue=\"99999999999\" bitOffset=\"32\" "
                                      "bitLength=\"8\""))),
         "unknown-type", 4, "none of Bool, Int and UInt"},
        {Catalog(
             WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"57\" bitLength=\"8\""))),
         "field-outside-image", 4, "bits 57 to 64 reach beyond the 8-byte image (bits 0 to 63"},
        {Catalog(
             WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"-8\" bitLength=\"8\""))),
         "field-outside-image", 4, "-8"},
        {Catalog(
             WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"28\" bitLength=\"8\""))),
         "field-not-covered", 4, "bits 28 to 35 lie partly below bit 32"},
        {Catalog(WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"0\" bitLength=\"8\""))),
         "field-not-covered", 4, "bits 0 to 7 lie below"},
        {Catalog(WithParameters(
             Parts().parameters +
             Param("name=\"Q\" type=\"UInt\" max=\"3\" bitOffset=\"39\" bitLength=\"2\""))),
         "field-overlap", 4,
         "bits 39 to 39 are shared with the earlier parameter \"P\" (bits 32 to 39)"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"UInt\" min=\"10\" max=\"5\" "
                                      "defaultValue=\"7\" bitOffset=\"32\" bitLength=\"8\""))),
         "limits-reversed", 4, "min 10 is greater than max 5"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"Int\" min=\"5\" max=\"-5\" "
                                      "defaultValue=\"0\" bitOffset=\"32\" bitLength=\"8\""))),
         "limits-reversed", 4, "min 5 is greater than max -5"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"UInt\" min=\"1\" max=\"255\" "
                                      "defaultValue=\"0\" bitOffset=\"32\" bitLength=\"8\""))),
         "default-outside-limits", 4, "defaultValue 0 lies outside min 1 to max 255"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"Int\" min=\"-5\" max=\"5\" "
                                      "defaultValue=\"-6\" bitOffset=\"32\" bitLength=\"8\""))),
         "default-outside-limits", 4, "defaultValue -6"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"UInt\" min=\"0\" max=\"256\" "
                                      "defaultValue=\"0\" bitOffset=\"32\" bitLength=\"8\""))),
         "limit-exceeds-field", 4, "max 256 does not fit 8 bits (0 to 255)"},
        {Catalog(WithParameters(Param("name=\"P\" type=\"Int\" min=\"-129\" max=\"128\" "
                                      "defaultValue=\"0\" bitOffset=\"32\" bitLength=\"8\""))),
         "limit-exceeds-field", 4, "min -129 and max 128 do not fit 8 bits (-128 to 127)"},
        {Catalog(WithParameters(
             Param("name=\"E\" " + kUInt8 + "paramView=\"Enum\" bitOffset=\"32\" bitLength=\"8\"",
                   "<Item valueText=\"a\" valueItem=\"0\"/>"))),
         "enum-default-not-item", 4, "defaultValue 1 is no item's valueItem"},
        {Catalog(WithParameters(Param("name=\"E\" " + kUInt8 +
                                      "paramView=\"Enum\" bitOffset=\"32\" bitLength=\"8\""))),
         "enum-default-not-item", 4, "no Item"},
        {Catalog(WithParameters(Param("name=\"E\" type=\"UInt\" min=\"0\" max=\"1\" "
                                      "defaultValue=\"1\" paramView=\"Enum\" bitOffset=\"32\" "
                                      "bitLength=\"8\"",
                                      kItems01 + "<Item valueText=\"c\" valueItem=\"2\"/>"))),
         "enum-item-outside-limits", 4, "item \"c\" has valueItem 2, outside min 0 to max 1"},
        {Catalog(WithParameters(Param("name=\"E\" type=\"UInt\" min=\"0\" max=\"1\" "
                                      "defaultValue=\"1\" paramView=\"Enum\" bitOffset=\"32\" "
                                      "bitLength=\"8\"",
                                      kItems01 + "<Item valueText=\"c\" valueItem=\"1\"/>"))),
         "enum-duplicate-value", 4, "item \"c\" has the valueItem 1 of the earlier item \"b\""},
    };
    std::set<std::string_view> covered;
    for (const Case& c : cases) {
        const std::vector<LintFinding> findings = Lint(c.catalog);
        ASSERT_EQ(findings.size(), 1u)
            << c.code << "\n"
            << c.catalog << "\nfirst: " << (findings.empty() ? "" : findings[0].text);
        const LintFinding& finding = findings[0];
        EXPECT_EQ(finding.code, c.code) << finding.text;
        EXPECT_EQ(finding.names.size(), c.names) << c.code;
        EXPECT_NE(finding.text.find(c.inText), std::string::npos) << c.code << ": " << finding.text;
        covered.insert(finding.code);
    }
    // Every code has its catalog, and each carries the level the code table gives it.
    for (const LintCode& code : LintCodes()) {
        EXPECT_TRUE(covered.count(code.code)) << code.code;
    }
}

TEST(CatalogLint, LevelsFollowTheCodeTable) {
    const std::set<std::string_view> warnings = {
        "duplicate-name",  "bus-address-outside-limits", "tci-record-too-long", "no-parameters",
        "bool-bit-length", "enum-item-outside-limits",   "enum-duplicate-value"};
    EXPECT_EQ(LintCodes().size(), 23u);
    for (const LintCode& code : LintCodes()) {
        EXPECT_EQ(code.level, warnings.count(code.code) ? LintLevel::Warning : LintLevel::Error)
            << code.code;
    }
    // A Bool whose bit the byte exchange moves can never be given a CRC with a 1: an error.
    for (const auto& [length, level] :
         {std::pair{2, LintLevel::Warning}, std::pair{8, LintLevel::Warning},
          std::pair{16, LintLevel::Error}, std::pair{32, LintLevel::Error}}) {
        const std::vector<LintFinding> findings =
            Lint(Catalog(WithParameters(Param("name=\"B\" type=\"Bool\" min=\"0\" max=\"1\" "
                                              "defaultValue=\"0\" bitOffset=\"32\" bitLength=\"" +
                                              std::to_string(length) + "\""))));
        ASSERT_EQ(findings.size(), 1u) << length;
        EXPECT_EQ(findings[0].level, level) << length;
    }
}

// Edges that must not be reported: the largest numbers each field holds, a field on the last
// bits of the image, limits that fill their field exactly.
TEST(CatalogLint, BoundariesAreClean) {
    const std::string cases[] = {
        Catalog(WithDevice(kDevice +
                           "busAddress=\"1\" busSpeed=\"-2147483648\" "
                           "offsetModulParamStream=\"65535\"" +
                           kMotorola)),
        Catalog(WithDevice(kDevice + "busAddress=\"125\" busSpeed=\"2147483647\"" + kMotorola)),
        Catalog(WithDevice("name=\"D\" identNumber=\"2\" busAddress=\"-1\" dataFormat=\"Intel\"")),
        Catalog(WithModule("name=\"M\" identNumber=\"3\" lenUserParam=\"252\" major=\"65535\"")),
        Catalog(WithParameters(Param("name=\"P\" type=\"UInt\" min=\"0\" max=\"4294967295\" "
                                     "defaultValue=\"4294967295\" bitOffset=\"32\" "
                                     "bitLength=\"32\""))),
        Catalog(WithParameters(Param("name=\"P\" type=\"Int\" min=\"-2147483648\" "
                                     "max=\"2147483647\" defaultValue=\"0\" bitOffset=\"32\" "
                                     "bitLength=\"32\""))),
        Catalog(WithParameters(Param("name=\"P\" type=\"Int\" min=\"-128\" max=\"127\" "
                                     "defaultValue=\"-128\" bitOffset=\"56\" bitLength=\"8\""))),
        Catalog(WithParameters(Param("name=\"P\" " + kUInt8 + "bitOffset=\"32\" bitLength=\"8\"") +
                               Param("name=\"Q\" " + kUInt8 + "bitOffset=\"40\" bitLength=\"8\""))),
        Catalog(WithParameters(Param("name=\"E\" type=\"Int\" min=\"-1\" max=\"1\" "
                                     "defaultValue=\"-1\" paramView=\"Enum\" bitOffset=\"32\" "
                                     "bitLength=\"8\"",
                                     "<Item valueText=\"m\" valueItem=\"-1\"/>" + kItems01))),
    };
    for (const std::string& catalog : cases) {
        const std::vector<LintFinding> findings = Lint(catalog);
        EXPECT_TRUE(findings.empty()) << catalog << "\n"
                                      << findings[0].code << ": " << findings[0].text;
    }
}

TEST(CatalogLint, FindingsComeInCatalogOrderWithTheirNames) {
    const std::string catalog =
        "<C><Hersteller name=\"A\"><Device name=\"D1\" identNumber=\"d\" dataFormat=\"x\">"
        "<Modul name=\"M1\" identNumber=\"m\"><ParameterList>"
        "<Parameter name=\"P1\" type=\"UInt\" max=\"1\" bitOffset=\"32\" bitLength=\"1\"/>"
        "<Parameter name=\"P2\" type=\"UInt\" max=\"1\" bitOffset=\"32\" bitLength=\"1\"/>"
        "</ParameterList></Modul><Modul name=\"M2\" identNumber=\"m\"/></Device>"
        "<Device name=\"D2\" identNumber=\"d\" dataFormat=\"Intel\"/></Hersteller>"
        "<Hersteller name=\"A\" identNumber=\"a\"/></C>";
    struct Expected {
        std::string_view code;
        std::vector<std::string> names;
    };
    const std::vector<Expected> expected = {
        {"missing-ident", {"A"}},
        {"data-format", {"A", "D1"}},
        {"field-outside-image", {"A", "D1", "M1", "P1"}},  // lenUserParam 0: a 4-byte image
        {"field-outside-image", {"A", "D1", "M1", "P2"}},
        {"field-overlap", {"A", "D1", "M1", "P2"}},
        {"duplicate-ident", {"A", "D1", "M2"}},
        {"no-parameters", {"A", "D1", "M2"}},
        {"duplicate-ident", {"A", "D2"}},
        {"duplicate-name", {"A"}},
    };
    const std::vector<LintFinding> findings = Lint(catalog);
    ASSERT_EQ(findings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(findings[i].code, expected[i].code) << i << ": " << findings[i].text;
        EXPECT_EQ(findings[i].names, expected[i].names) << i;
    }
}

// Many siblings, or many parameters on the same bits, give one finding each against the first,
// not one for every pair: a large or hostile catalog is checked in linear time and output.
TEST(CatalogLint, CrowdsGiveOneFindingPerLaterRecord) {
    constexpr size_t kCount = 20000;
    std::string parameters;
    std::string modules;
    for (size_t i = 0; i < kCount; ++i) {
        parameters += "<Parameter name=\"P" + std::to_string(i) +
                      "\" type=\"UInt\" max=\"255\" bitOffset=\"32\" bitLength=\"8\"/>";
        modules += "<Modul name=\"N" + std::to_string(i) + "\" identNumber=\"7\"/>";
    }
    Parts parts = WithParameters(parameters);
    parts.moreModules = modules;
    size_t overlaps = 0;
    size_t duplicates = 0;
    for (const LintFinding& finding : Lint(Catalog(parts))) {
        if (finding.code == "field-overlap") {
            ++overlaps;
            EXPECT_NE(finding.text.find("earlier parameter \"P0\""), std::string::npos);
        } else if (finding.code == "duplicate-ident") {
            ++duplicates;
            EXPECT_NE(finding.text.find("earlier module \"N0\""), std::string::npos);
        }
    }
    EXPECT_EQ(overlaps, kCount - 1);
    EXPECT_EQ(duplicates, kCount - 1);
}

TEST(CatalogLint, TheDemoCatalogsAreClean) {
    for (const char* name :
         {"examples/SafetyConfiguratorEN.xml", "examples/SafetyConfiguratorDE.xml"}) {
        const std::string text = ReadWholeFile(testing::SourcePath(name).string());
        const std::vector<LintFinding> findings = Lint(text);
        EXPECT_TRUE(findings.empty())
            << name << ": " << findings[0].code << " " << findings[0].text;
    }
    EXPECT_TRUE(LintCatalog(nullptr).empty());
}

}  // namespace
}  // namespace norvane
