#include "xml/xml_parser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "support/xml_dump.h"

namespace norvane {
namespace {

using testing::Dump;

struct ParseCase {
    const char* text;
    XmlError error;
    int line;
    int column;
    const char* dump;  // expected tree when there is no error
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ParseTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTable, GivesTreeOrErrorWithPosition) {
    const ParseCase& c = GetParam();
    XmlResults results;
    results.line = -1;
    results.column = -1;
    const XmlRoot root = XmlParseText(std::string_view(c.text), &results);
    EXPECT_EQ(results.error, c.error);
    if (c.error == XmlError::None) {
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(Dump(root.get()), c.dump);
    } else {
        EXPECT_EQ(root, nullptr);
        EXPECT_EQ(results.line, c.line);
        EXPECT_EQ(results.column, c.column);
    }
}

constexpr XmlError kOk = XmlError::None;

INSTANTIATE_TEST_SUITE_P(
    Documents, ParseTable,
    ::testing::Values(
        // Empty input and white space only give an empty root.
        ParseCase{"", kOk, 0, 0, ""}, ParseCase{" \t\r\n ", kOk, 0, 0, ""},
        // An end tag closes every element up to the one it names.
        ParseCase{"<a><b></a>", kOk, 0, 0, "a{b{}}"},
        ParseCase{"<a><b></abc>", kOk, 0, 0, "a{b{}}"},
        ParseCase{"<Item></ITEM>", kOk, 0, 0, "Item{}"}, ParseCase{"<a><b>", kOk, 0, 0, "a{b{}}"},
        // Attributes keep their quotes; names without values vanish.
        ParseCase{"<a x='1' y=2 z>", kOk, 0, 0, "a{@x='1' @y=2}"},
        ParseCase{"<a x=\"1\"/>", kOk, 0, 0, "a{@x=\"1\"}"},
        ParseCase{"<a href=x/y/>", kOk, 0, 0, "a{@href=x/y}"},
        ParseCase{"<a b c=1>", kOk, 0, 0, "a{@c=1}"},
        // Texts: a leading "/" is text, trailing white space goes, inner white space stays,
        // quotes and "=" are text, and text at the end of the input is dropped.
        ParseCase{"<a>/path</a>", kOk, 0, 0, "a{\"/path\"}"},
        ParseCase{"<a>  two  words \n\t</a>", kOk, 0, 0, "a{\"two  words\"}"},
        ParseCase{"<a>\"x\" = 'y'</a>", kOk, 0, 0, "a{\"\"x\" = 'y'\"}"},
        ParseCase{"<a>t1<b/>t2</a>tail", kOk, 0, 0, "a{\"t1\" b{} \"t2\"}"},
        ParseCase{"<a>x & y &amp; z</a>", kOk, 0, 0, "a{\"x & y &amp; z\"}"},
        // Clear sections: markers matched ignoring case on the way in, case-sensitively out.
        ParseCase{"<pre>x</PRE>", kOk, 0, 0, "[<PRE>|x]"},
        ParseCase{"<!---->", kOk, 0, 0, "[<!--|]"},
        ParseCase{"<a>t <![CDATA[<x>]]> u</a>", kOk, 0, 0, "a{\"t\" [<![CDATA[|<x>] \"u\"}"},
        ParseCase{"<!DOCTYPE html><r/>", kOk, 0, 0, "[<!DOCTYPE| html] r{}"},
        ParseCase{"<script>a<b</Script>", kOk, 0, 0, "[<Script>|a<b]"},
        // A declaration is an element that is never closed, so the document lies below it.
        ParseCase{"<?xml version='1.0'?><R/>", kOk, 0, 0, "?xml{@version='1.0' R{}}"},
        ParseCase{"<?xml version=1.0?><R/>", kOk, 0, 0, "?xml{@version=1.0 R{}}"},
        ParseCase{"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<R>x</R>", kOk, 0, 0,
                  "?xml{@version=\"1.0\" @encoding=\"UTF-8\" R{\"x\"}}"},
        // A tag whose name begins with the open element's name does not nest.
        ParseCase{"<Item><ItemText/>", kOk, 0, 0, "Item{} ItemText{}"},
        ParseCase{"<L><Item><ItemText/></L>", kOk, 0, 0, "L{Item{} ItemText{}}"},
        ParseCase{"<Device><DeviceInfo/></Device>", XmlError::UnmatchedEndTag, 1, 31, ""},
        ParseCase{"<List><Item><ItemText/></Item></List>", XmlError::UnmatchedEndTag, 1, 31, ""},
        // Errors and where they are reported.
        ParseCase{"<a></b>", XmlError::UnmatchedEndTag, 1, 8, ""},
        ParseCase{"</a>", XmlError::UnmatchedEndTag, 1, 5, ""},
        ParseCase{"<a>x > y</a>", XmlError::UnexpectedToken, 1, 7, ""},
        ParseCase{"<a/>/>", XmlError::UnexpectedToken, 1, 7, ""},
        ParseCase{"<pre>x</pre>", XmlError::UnmatchedEndTag, 1, 6, ""},
        ParseCase{"<a\n\"abc", XmlError::UnmatchedQuote, 2, 5, ""},
        ParseCase{"<a>\n\n 'x", XmlError::UnmatchedQuote, 3, 4, ""},
        ParseCase{"<>", XmlError::MissingStartTagName, 1, 3, ""},
        ParseCase{"<a><=", XmlError::MissingStartTagName, 1, 6, ""},
        ParseCase{"<\"abc", XmlError::UnmatchedQuote, 1, 6, ""},
        ParseCase{"<a></>", XmlError::MissingEndTagName, 1, 7, ""},
        ParseCase{"<a></a", XmlError::MissingEndTagName, 1, 7, ""},
        ParseCase{"<a></a b>", XmlError::MissingEndTagName, 1, 9, ""},
        ParseCase{"<a \"x\">", XmlError::UnexpectedToken, 1, 7, ""},
        ParseCase{"<a b=1 =>", XmlError::UnexpectedToken, 1, 9, ""},
        ParseCase{"<a b=>", XmlError::UnexpectedToken, 1, 7, ""},
        ParseCase{"<a b <c>", XmlError::UnexpectedToken, 1, 7, ""},
        ParseCase{"<!-- open", XmlError::UnmatchedEndTag, 1, 5, ""},
        ParseCase{"line1\r\nline2\n<x></y>", XmlError::UnmatchedEndTag, 3, 8, ""}));

TEST(XmlParser, StopsAtTheFirstNulByte) {
    const std::string text("<a/>\0<b>", 8);
    const XmlRoot root = XmlParseText(std::string_view(text));
    EXPECT_EQ(Dump(root.get()), "a{}");
}

TEST(XmlParser, NullTextGivesNullAndLeavesResultsAlone) {
    XmlResults results;
    results.error = XmlError::InvalidTag;
    EXPECT_EQ(XmlParseText(static_cast<const char*>(nullptr), &results), nullptr);
    EXPECT_EQ(results.error, XmlError::InvalidTag);
}

TEST(XmlParser, TreeOutlivesTheText) {
    std::string text = "<Root name=\"n\"><Child>value</Child></Root>";
    const XmlRoot root = XmlParseText(text);
    text.assign(text.size(), 'x');
    EXPECT_EQ(Dump(root.get()), "Root{@name=\"n\" Child{\"value\"}}");
}

TEST(XmlParser, ParentsAndGrowthFollowTheDocument) {
    const XmlRoot root = XmlParseText("<a><b/><c/><d/><e/><f/><g/></a>");
    const XmlElement* a = root->nodes[0].AsElement();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parent, root.get());
    EXPECT_EQ(a->count, 6);
    EXPECT_EQ(a->capacity, 10);  // grown in steps of five
    EXPECT_EQ(a->nodes[5].AsElement()->parent, a);
}

TEST(XmlParser, RefusesTheElementThatWouldBeTooDeep) {
    // Names of one width, so that none begins with another and every tag nests.
    std::string text;
    for (int i = 0; i < kXmlMaxDepth; ++i) {
        text += "<n" + std::to_string(10000 + i) + ">";
    }
    XmlResults results;
    const XmlRoot deepest = XmlParseText(text, &results);
    ASSERT_NE(deepest, nullptr) << static_cast<int>(results.error);
    int depth = 0;
    for (const XmlElement* e = deepest.get(); e->count > 0; e = e->nodes[0].AsElement()) {
        ++depth;
    }
    EXPECT_EQ(depth, kXmlMaxDepth);

    text += "\n<deeper attr='1'>";
    EXPECT_EQ(XmlParseText(text, &results), nullptr);
    EXPECT_EQ(results.error, XmlError::NestingTooDeep);
    EXPECT_EQ(results.line, 2);
    EXPECT_EQ(results.column, 8);  // just behind "<deeper"
    EXPECT_EQ(XmlErrorText(results.error), "Nesting too deep");
}

TEST(XmlParser, HostileNestingDoesNotExhaustTheStack) {
    std::string text;
    for (int i = 0; i < 200000; ++i) {
        text += "<n" + std::to_string(1000000 + i) + ">";
    }
    XmlResults results;
    EXPECT_EQ(XmlParseText(text, &results), nullptr);
    EXPECT_EQ(results.error, XmlError::NestingTooDeep);
    EXPECT_EQ(results.column, kXmlMaxDepth * 10 + 10);  // behind the 1001st tag's name
}

TEST(XmlParser, ManyChildrenKeepTheirOrder) {
    std::string text = "<list>";
    for (int i = 0; i < 100000; ++i) {
        text += "<i v=\"" + std::to_string(i) + "\"/>";
    }
    const XmlRoot root = XmlParseText(text);
    const XmlElement* list = root->nodes[0].AsElement();
    ASSERT_EQ(list->count, 100000);
    EXPECT_EQ(list->capacity, 100000);
    EXPECT_EQ(list->nodes[99999].AsElement()->nodes[0].AsAttribute()->value, "\"99999\"");
}

// The tokeniser scans in blocks; names, values and white space of every length must come out
// whole wherever they fall relative to a block and to the end of the input.
TEST(XmlParser, TokensOfEveryLengthAtEveryOffset) {
    for (size_t length = 1; length <= 40; ++length) {
        const std::string name(length, 'n');
        std::string value(length + 2, 'v');
        value.front() = '"';
        value.back() = '"';
        for (size_t pad = 0; pad <= 17; ++pad) {
            const std::string blanks(pad, ' ');
            const std::string tag = "<" + name + blanks + " a=" + value + blanks;
            const std::string expected = name + "{@a=" + value + "}";
            EXPECT_EQ(Dump(XmlParseText(tag + "/>").get()), expected) << length << ' ' << pad;
            // Without "/>" the last token runs to the end of the input.
            EXPECT_EQ(Dump(XmlParseText(tag).get()), expected) << length << ' ' << pad;
            EXPECT_EQ(Dump(XmlParseText(blanks + "<r>" + blanks + name + blanks + "<e/>").get()),
                      "r{\"" + name + "\" e{}}");
            XmlResults results;
            EXPECT_EQ(XmlParseText("<r a=" + value.substr(0, length) + blanks, &results), nullptr);
            EXPECT_EQ(results.error, XmlError::UnmatchedQuote);
            EXPECT_EQ(results.column, static_cast<int>(6 + length + pad));
        }
    }
}

TEST(XmlParser, UnusualBytesInNamesAreOrdinary) {
    // '?', control bytes and bytes above 127 end no token.
    EXPECT_EQ(Dump(XmlParseText(std::string_view("<a?b\x01"
                                                 "c\xE9/>"))
                       .get()),
              "a?b\x01"
              "c\xE9{}");
    EXPECT_EQ(Dump(XmlParseText("<r>a?b/c/d\x7F</r>").get()), "r{\"a?b/c/d\x7F\"}");
    EXPECT_EQ(Dump(XmlParseText("<r>\n\t\r\n \t  x\t\r\n\n</r>").get()), "r{\"x\"}");
}

TEST(XmlParser, OnlyTheMarkersOpenClearSections) {
    // Tags that share their first letters with a marker are ordinary elements.
    EXPECT_EQ(Dump(XmlParseText("<Parameter/><Pr/><P/><Sc/><Scr/><S/>").get()),
              "Parameter{} Pr{} P{} Sc{} Scr{} S{}");
    EXPECT_EQ(Dump(XmlParseText("<pRe>x</PRE><SCRIPT>y</Script>").get()), "[<PRE>|x] [<Script>|y]");
    EXPECT_EQ(Dump(XmlParseText("<!x/><![cdata[z]]><!doctype d>").get()),
              "!x{} [<![CDATA[|z] [<!DOCTYPE| d]");
    EXPECT_EQ(Dump(XmlParseText("<r><P").get()), "r{P{}}");
    EXPECT_EQ(Dump(XmlParseText("<r><Pr").get()), "r{Pr{}}");
}

TEST(XmlParser, AttributeValuesWhereverTheyStand) {
    EXPECT_EQ(Dump(XmlParseText("<a n   =       \"far apart\" m=\n'x'/>").get()),
              "a{@n=\"far apart\" @m='x'}");
    // In a declaration the '?' before ">" is not part of the value, even if nothing is left.
    EXPECT_EQ(Dump(XmlParseText("<?x v=?>").get()), "?x{@v=}");
    EXPECT_EQ(Dump(XmlParseText("<?x v=a?b?>").get()), "?x{@v=a?b}");
    EXPECT_EQ(Dump(XmlParseText("<x v=a?>").get()), "x{@v=a?}");
}

TEST(XmlParser, ParsedTreesGrowLikeBuiltOnes) {
    XmlRoot root = XmlParseText("<a><b/><c/><d/><e/><f/><g/><h/><i/><j/><k/><l/></a>");
    XmlElement* a = root->nodes[0].AsElement();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->count, 11);
    EXPECT_EQ(a->capacity, 15);
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(XmlAddElement(a, std::string(1, 'm').append(std::to_string(i)), 0, 5), nullptr);
    }
    XmlAddAttribute(a, "x", "1", 1);
    EXPECT_EQ(a->count, 17);
    EXPECT_EQ(a->capacity, 20);
    EXPECT_EQ(Dump(root.get()),
              "a{b{} c{} d{} e{} f{} g{} h{} i{} j{} k{} l{} m0{} m1{} m2{} m3{} m4{} @x=1}");
    EXPECT_EQ(a->nodes[16].AsAttribute()->value, "1");
    EXPECT_EQ(a->nodes[15].AsElement()->parent, a);
}

TEST(XmlParser, LargeValuesAndListsStayWhole) {
    // Larger than any single block of the tree's storage.
    const std::string big(3 << 20, 'x');
    std::string text = "<r v=\"" + big + "\">" + big + "<!--" + big + "-->";
    for (int i = 0; i < 2000; ++i) {
        text += "<e" + std::to_string(i) + " k='" + std::to_string(i) + "'/>";
    }
    const XmlRoot root = XmlParseText(text);
    text.assign(text.size(), '-');
    const XmlElement* r = XmlFindElement(root.get(), "r");
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->count, 2003);
    EXPECT_EQ(r->nodes[0].AsAttribute()->value, "\"" + big + "\"");
    EXPECT_EQ(r->nodes[1].AsText()->value, big);
    EXPECT_EQ(r->nodes[2].AsClear()->value, big);
    EXPECT_EQ(r->nodes[2002].AsElement()->name, "e1999");
    EXPECT_EQ(r->nodes[2002].AsElement()->nodes[0].AsAttribute()->value, "'1999'");
}

// Every name and value of a tree points into the one text the tree keeps.
bool ViewsInside(const XmlElement& element, std::string_view text) {
    const auto inside = [text](std::string_view view) {
        return view.empty() || (view.data() >= text.data() &&
                                view.data() + view.size() <= text.data() + text.size());
    };
    if (!inside(element.name) || static_cast<size_t>(element.count) != element.nodes.size()) {
        return false;
    }
    for (const XmlNode& node : element.nodes) {
        if (const XmlElement* child = node.AsElement()) {
            if (child->parent != &element || !ViewsInside(*child, text)) {
                return false;
            }
        } else if (const XmlAttribute* attribute = node.AsAttribute()) {
            if (!inside(attribute->name) || !inside(attribute->value)) {
                return false;
            }
        } else if (const XmlText* value = node.AsText()) {
            if (!inside(value->value)) {
                return false;
            }
        } else if (const XmlClear* clear = node.AsClear()) {
            if (!inside(clear->value)) {
                return false;
            }
        }
    }
    return true;
}

// Generated documents of the dialect's pieces, well formed or not: the copying parse and the
// parse that takes the string over give the same tree or the same error; a tree's names and
// values are views into XmlDocumentText, which is the whole text; a text that does not parse
// stays with the caller unchanged.
TEST(XmlParser, TakingTheTextOverGivesTheSameTreeAsCopyingIt) {
    static const char* const kPieces[] = {"<a",
                                          "<Bc",
                                          "<?x",
                                          "</a",
                                          "</Bc",
                                          ">",
                                          "/>",
                                          " ",
                                          "\n\t",
                                          "=",
                                          "k=\"v\"",
                                          "k='w'",
                                          "x=1",
                                          "\"",
                                          "'",
                                          "?",
                                          "text",
                                          "<!-- c -->",
                                          "<![CDATA[<a>]]>",
                                          "<PRE>p</PRE>",
                                          "<!",
                                          "\0"};
    uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 16;
    };
    int parsed = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const uint32_t pieces = next() % 24;
        for (uint32_t i = 0; i < pieces; ++i) {
            text += kPieces[next() % std::size(kPieces)];
        }
        SCOPED_TRACE(text);
        XmlResults copied;
        const XmlRoot copy = XmlParseText(std::string_view(text), &copied);
        std::string owned = text;
        XmlResults taken;
        const XmlRoot take = XmlParseText(std::move(owned), &taken);
        ASSERT_EQ(copied.error, taken.error);
        ASSERT_EQ(copy == nullptr, take == nullptr);
        if (take == nullptr) {
            // Left to the caller as it was: a text that does not parse is not taken over.
            EXPECT_EQ(owned, text);  // NOLINT(bugprone-use-after-move)
            EXPECT_EQ(copied.line, taken.line);
            EXPECT_EQ(copied.column, taken.column);
            continue;
        }
        ++parsed;
        EXPECT_EQ(XmlDocumentText(take.get()), text);
        EXPECT_EQ(XmlDocumentText(copy.get()), text);
        EXPECT_NE(XmlDocumentText(copy.get()).data(), text.data());
        EXPECT_EQ(Dump(copy.get()), Dump(take.get()));
        EXPECT_TRUE(ViewsInside(*take, XmlDocumentText(take.get())));
        EXPECT_TRUE(ViewsInside(*copy, XmlDocumentText(copy.get())));
    }
    EXPECT_GT(parsed, 300);  // the generator must reach the trees, not only the errors
}

TEST(XmlParser, AddingToAnUnreadElementKeepsItsAttributesFirst) {
    XmlRoot root = XmlParseText("<a x=1 y='2'><b/></a>");
    // The root's list is read here, a's not yet.
    XmlElement* a = root->nodes[0].AsElement();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->count, 3);
    EXPECT_EQ(a->nodes.size(), 3u);
    XmlAddAttribute(a, "z", "3", 5);
    EXPECT_EQ(Dump(root.get()), "a{@x=1 @y='2' b{} @z=3}");
    EXPECT_EQ(XmlDocumentText(XmlCreateRoot().get()), "");
}

TEST(XmlParser, ErrorTextsAreFixed) {
    EXPECT_EQ(XmlErrorText(XmlError::None), "No error");
    EXPECT_EQ(XmlErrorText(XmlError::UnmatchedEndTag), "Unmatched end tag");
    EXPECT_EQ(XmlErrorText(XmlError::UnexpectedToken), "Unexpected token found");
    EXPECT_EQ(XmlErrorText(XmlError::MissingStartTagName), "Missing start tag name");
    EXPECT_EQ(XmlErrorText(XmlError::MissingEndTagName), "Missing end tag name");
    EXPECT_EQ(XmlErrorText(XmlError::UnmatchedQuote), "Unmatched quote");
}

}  // namespace
}  // namespace norvane
