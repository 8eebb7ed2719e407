#include "xml/xml_tree.h"

#include <gtest/gtest.h>

#include "support/xml_dump.h"
#include "xml/xml_parser.h"

namespace norvane {
namespace {

using testing::Dump;

TEST(XmlTree, AddOperationsRefuseMissingArguments) {
    XmlRoot root = XmlCreateRoot();
    EXPECT_EQ(XmlAddElement(nullptr, "a", 0, 5), nullptr);
    EXPECT_EQ(XmlAddElement(root.get(), std::nullopt, 0, 5), nullptr);
    EXPECT_EQ(XmlAddElement(root.get(), "a", 0, 0), nullptr);
    EXPECT_EQ(XmlAddElement(root.get(), "a", 0, -1), nullptr);
    EXPECT_EQ(XmlAddAttribute(root.get(), "n", std::nullopt, 5), nullptr);
    EXPECT_EQ(XmlAddAttribute(root.get(), std::nullopt, "v", 5), nullptr);
    EXPECT_EQ(XmlAddText(root.get(), std::nullopt, 5), nullptr);
    EXPECT_EQ(XmlAddClear(root.get(), "v", nullptr, 5), nullptr);
    EXPECT_EQ(root->count, 0);
    EXPECT_EQ(root->capacity, 0);
    EXPECT_EQ(root->name, "");
    EXPECT_EQ(root->parent, nullptr);
}

TEST(XmlTree, AddKeepsOrderAndGrowsByTheStep) {
    XmlRoot root = XmlCreateRoot();
    XmlElement* e = XmlAddElement(root.get(), "e", 1, 5);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->parent, root.get());
    EXPECT_EQ(e->isDeclaration, 1);
    XmlAddAttribute(e, "a", "\"1\"", 5);
    XmlAddText(e, "t", 5);
    XmlAddClear(e, "c", &XmlClearTags()[3], 5);
    XmlAddElement(e, "x", 0, 5);
    XmlAddText(e, "", 5);
    EXPECT_EQ(e->capacity, 5);
    XmlAddElement(e, "sixth", 0, 5);
    EXPECT_EQ(e->count, 6);
    EXPECT_EQ(e->capacity, 10);
    EXPECT_EQ(Dump(root.get()), "?e{@a=\"1\" \"t\" [<!--|c] x{} \"\" sixth{}}");

    XmlElement* one = XmlAddElement(root.get(), "one", 0, 1);
    XmlAddText(one, "a", 1);
    XmlAddText(one, "b", 1);
    EXPECT_EQ(one->capacity, 2);
}

TEST(XmlTree, AddedTextsAreCopies) {
    XmlRoot root = XmlCreateRoot();
    std::string name = "name";
    XmlAddElement(root.get(), name, 0, 5);
    name = "gone";
    EXPECT_EQ(Dump(root.get()), "name{}");
}

TEST(XmlTree, CursorsStopAtTheEnd) {
    const XmlRoot root = XmlParseText("<r a=1 b=2>t<c/></r>");
    const XmlElement* r = root->nodes[0].AsElement();
    int32_t cursor = 0;
    int kinds = 0;
    while (XmlNextNode(r, cursor) != nullptr) {
        ++kinds;
    }
    EXPECT_EQ(kinds, 4);
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(XmlNextNode(r, cursor), nullptr);
    EXPECT_EQ(cursor, 4);

    cursor = 0;
    const XmlElement* c = XmlNextElement(r, cursor);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->name, "c");
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(XmlNextElement(r, cursor), nullptr);
    EXPECT_EQ(cursor, 4);

    cursor = 0;
    EXPECT_EQ(XmlNextAttribute(r, cursor)->name, "a");
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(XmlNextAttribute(r, cursor)->name, "b");
    EXPECT_EQ(XmlNextAttribute(r, cursor), nullptr);
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(XmlNextNode(nullptr, cursor), nullptr);
}

TEST(XmlTree, FindAttributeMatchesPrefixesIgnoringCase) {
    const XmlRoot root = XmlParseText("<r minAddr=1 min=2 NAME='x'/>");
    const XmlElement* r = root->nodes[0].AsElement();
    EXPECT_EQ(XmlFindAttribute(r, "min")->value, "1");
    EXPECT_EQ(XmlFindAttribute(r, "MIN")->value, "1");
    EXPECT_EQ(XmlFindAttribute(r, "name")->value, "'x'");
    EXPECT_EQ(XmlFindAttribute(r, "minimum"), nullptr);
    EXPECT_EQ(XmlFindAttribute(r, ""), nullptr);
    EXPECT_EQ(XmlFindAttribute(nullptr, "min"), nullptr);
}

TEST(XmlTree, FindElementFollowsPathsWithoutBacktracking) {
    const XmlRoot root =
        XmlParseText("<top><ParameterList/><Parameter/><A><C/></A><A><B/></A></top>");
    const XmlElement* top = XmlFindElement(root.get(), "top");
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(XmlFindElement(root.get(), "top/"), top);
    EXPECT_EQ(XmlFindElement(top, "Parameter")->name, "ParameterList");
    EXPECT_EQ(XmlFindElement(top, "parameterlist")->name, "ParameterList");
    EXPECT_EQ(XmlFindElement(root.get(), "TOP/A/C")->name, "C");
    EXPECT_EQ(XmlFindElement(root.get(), "top/A/B"), nullptr);  // only the first A is searched
    EXPECT_EQ(XmlFindElement(root.get(), ""), nullptr);
    EXPECT_EQ(XmlFindElement(root.get(), "/top"), nullptr);
    EXPECT_EQ(XmlFindElement(root.get(), "top//A"), nullptr);
    EXPECT_EQ(XmlFindElement(nullptr, "top"), nullptr);
}

TEST(XmlTree, CreatePathReusesInnerElementsOnly) {
    XmlRoot root = XmlCreateRoot();
    XmlElement* p1 = XmlCreatePath(root.get(), "Project");
    XmlElement* p2 = XmlCreatePath(root.get(), "Project");
    EXPECT_NE(p1, p2);
    XmlElement* b1 = XmlCreatePath(root.get(), "A/B");
    XmlElement* b2 = XmlCreatePath(root.get(), "A/B");
    EXPECT_NE(b1, b2);
    EXPECT_EQ(b1->parent, b2->parent);
    EXPECT_EQ(Dump(root.get()), "Project{} Project{} A{B{} B{}}");
    EXPECT_EQ(XmlCreatePath(root.get(), ""), nullptr);
    EXPECT_EQ(XmlCreatePath(root.get(), "/x"), nullptr);
    EXPECT_EQ(XmlCreatePath(nullptr, "x"), nullptr);
}

TEST(XmlTree, QuoteHelpers) {
    EXPECT_EQ(XmlStripQuotes("\"abc\""), "abc");
    EXPECT_EQ(XmlStripQuotes("\"abc"), "abc");
    EXPECT_EQ(XmlStripQuotes("abc\""), "abc");
    EXPECT_EQ(XmlStripQuotes("'abc'"), "'abc'");
    EXPECT_EQ(XmlStripQuotes("\""), std::nullopt);
    EXPECT_EQ(XmlStripQuotes("\"\""), std::nullopt);
    EXPECT_EQ(XmlStripQuotes(""), std::nullopt);
    EXPECT_EQ(XmlStripQuotes(std::nullopt), std::nullopt);
    EXPECT_EQ(XmlQuote(""), "\"\"");
    EXPECT_EQ(XmlQuote(std::nullopt), "\"\"");
    EXPECT_EQ(XmlQuote("1"), "\"1\"");
    EXPECT_EQ(XmlStrDup("x"), "x");
    EXPECT_EQ(XmlStrDup(""), std::nullopt);
}

}  // namespace
}  // namespace norvane
