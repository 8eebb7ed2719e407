#include "xml/xml_writer.h"

#include <gtest/gtest.h>

#include "xml/xml_parser.h"

namespace norvane {
namespace {

XmlElement* Element(XmlElement* parent, const char* name) {
    return XmlCreatePath(parent, name);
}

void Attribute(XmlElement* element, const char* name, const char* value) {
    XmlAddAttribute(element, *XmlStrDup(name), XmlQuote(value), 1);
}

TEST(XmlWriter, WritesOneLineWithoutEscaping) {
    XmlRoot root = XmlCreateRoot();
    XmlAddText(root.get(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>", 1);
    XmlElement* project = Element(root.get(), "Project");
    XmlElement* version = Element(project, "FileVersion");
    Attribute(version, "major", "1");
    Attribute(version, "minor", "0");
    Element(project, "Hash");
    XmlElement* settings = Element(project, "Settings");
    Element(settings, "Device");
    XmlElement* odd = Element(project, "Odd");
    Attribute(odd, "v", "a\"<&b");
    XmlAddText(odd, "x < y & z", 1);
    XmlAddClear(odd, "c", &XmlClearTags()[0], 1);
    XmlAddAttribute(odd, "", "\"ignored\"", 1);
    XmlAddAttribute(odd, "bare", "", 1);

    EXPECT_EQ(*XmlCreateString(root.get()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Project>"
              "<FileVersion major=\"1\" minor=\"0\"/><Hash/><Settings><Device/></Settings>"
              "<Odd v=\"a\"<&b\" bare>x < y & z<![CDATA[c]]></Odd></Project>");
    EXPECT_EQ(*XmlCreateString(version), "<FileVersion major=\"1\" minor=\"0\"/>");
}

TEST(XmlWriter, EmptyRootAndNull) {
    const XmlRoot root = XmlCreateRoot();
    EXPECT_EQ(XmlCreateString(root.get()), "");
    EXPECT_EQ(XmlCreateString(nullptr), std::nullopt);
}

TEST(XmlWriter, DeclarationElementsAreWrittenAsElements) {
    const XmlRoot root = XmlParseText("<?xml version='1.0'?><R a=\"1\">t</R>");
    EXPECT_EQ(*XmlCreateString(root.get()), "<xml version='1.0'><R a=\"1\">t</R></xml>");
}

TEST(XmlWriter, OwnOutputReadsBackToTheSameBytes) {
    XmlRoot root = XmlCreateRoot();
    XmlElement* project = Element(root.get(), "Project");
    XmlElement* device = Element(project, "Device");
    Attribute(device, "name", "Head A");
    Attribute(device, "identNumber", "0x0A12");
    for (int i = 0; i < 3; ++i) {
        XmlElement* parameter = Element(Element(project, "Module"), "Parameter");
        Attribute(parameter, "value", std::to_string(i * 1000).c_str());
        XmlAddText(parameter, "inner  text", 1);
    }
    const std::string first = *XmlCreateString(project);
    EXPECT_EQ(first, *XmlCreateString(project));  // repeatable

    const XmlRoot reread = XmlParseText(first);
    ASSERT_NE(reread, nullptr);
    EXPECT_EQ(*XmlCreateString(reread->nodes[0].AsElement()), first);
}

}  // namespace
}  // namespace norvane
