#include "xml/xml_parser.h"

#include <cstring>
#include <string>
#include <utility>

#include "xml/xml_scan.h"

namespace norvane {

namespace {

using xml_scan::NodeStack;
using xml_scan::Scanner;
using xml_scan::TagEnd;
using xml_scan::TokenKind;

enum class Flow { Continue, Stop };

// The grammar. It reads the text once; the tree keeps views into the text, so the parser
// stores no bytes, only records: an element (with the place of its attributes, which the tree
// reads when they are first asked for), a text or a clear section, and one node array per
// element.
class Parser {
  public:
    Parser(std::string_view text, XmlElement* root)
        : begin_(text.data()),
          scanner_(text.data(), text.data() + text.size()),
          root_(root),
          arena_(XmlArenaOf(root)),
          scratch_(text.size() / kBytesPerNode) {}

    void Run() {
        ParseElement(root_, 0);
        // An unmatched quote ends the text; whatever the grammar made of that, it is the error.
        if (scanner_.unmatchedQuote) {
            error_ = XmlError::UnmatchedQuote;
            errorIndexSet_ = false;
        }
    }
    XmlError error() const { return error_; }
    size_t errorIndex() const {
        return static_cast<size_t>((errorIndexSet_ ? errorAt_ : scanner_.pos) - begin_);
    }

  private:
    // The scratch stack is sized for one node per this many bytes of text at the start. A
    // document of very short elements (one element with 10^5 children, each a 21-byte line)
    // comes close; a catalog never needs a tenth of it. Regrowing it by doubling cost a tenth
    // of the time on such a document, copying and touching fresh pages each step.
    static constexpr size_t kBytesPerNode = 16;

    // The first error wins: a tokeniser error must not be masked by the parser's reaction
    // to the end-of-text token that carries it (Run settles that case).
    void Fail(XmlError error) {
        if (error_ == XmlError::None) {
            error_ = error;
        }
    }
    void FailAt(XmlError error, const char* at) {
        if (error_ == XmlError::None) {
            error_ = error;
            errorAt_ = at;
            errorIndexSet_ = true;
        }
    }

    // Inlined into ParseContent: most elements are leaves (their start tag ends in "/>"), and
    // those then cost no call at all; only an element with content recurses.
    [[gnu::always_inline]] inline Flow ParseElement(XmlElement* element, int depth);
    Flow ParseContent(XmlElement* element, int depth);
    [[gnu::always_inline]] inline void FinishList(XmlElement* element, size_t base,
                                                  uint32_t attributes, const char* tag);
    [[gnu::always_inline]] inline XmlElement* OpenChild(XmlElement* element, std::string_view name,
                                                        bool declaration, int depth);
    void FlushText(bool& pending, const char* start, const char* end);
    template <class T>
    T* Make(T record) {
        return ::new (arena_.Allocate(sizeof(T), alignof(T))) T(record);
    }

    const char* begin_;
    Scanner scanner_;
    XmlElement* root_;
    XmlArena& arena_;
    // The nodes of every open element, outermost first. An element's nodes are contiguous at
    // the top while it is being read; when it ends they move into an exactly sized arena array,
    // so no list is ever regrown inside the arena.
    NodeStack scratch_;
    XmlError error_ = XmlError::None;
    const char* errorAt_ = nullptr;
    bool errorIndexSet_ = false;
    std::string_view endTag_;      // pending end tag (empty: none); a view into the input
    std::string_view newElement_;  // pending start tag (empty: none); a view into the input
};

// Appends the pending text (if any), without its trailing white space, and ends it.
void Parser::FlushText(bool& pending, const char* start, const char* end) {
    if (!pending) {
        return;
    }
    pending = false;
    while (end > start && xml_scan::IsSpace(end[-1])) {
        --end;
    }
    const std::string_view value(start, static_cast<size_t>(end - start));
    scratch_.push_back(XmlNode{XmlNodeKind::Text, Make(XmlText{value})});
}

inline XmlElement* Parser::OpenChild(XmlElement* element, std::string_view name, bool declaration,
                                     int depth) {
    if (depth + 1 > kXmlMaxDepth) {
        // Reported just behind the name of the tag that would open the element too many.
        FailAt(XmlError::NestingTooDeep, name.data() + name.size());
        return nullptr;
    }
    auto* child = ::new (arena_.Allocate(sizeof(XmlElement), alignof(XmlElement))) XmlElement;
    child->name = name;
    child->isDeclaration = declaration ? 1 : 0;
    child->parent = element;
    scratch_.push_back(XmlNode{XmlNodeKind::Element, child});
    return child;
}

// Moves the element's content nodes from the top of the scratch stack into the arena and
// leaves its `attributes` to be read from `tag`. `capacity` is what appending every node one
// by one with the parser's growth step of 5 would have given.
inline void Parser::FinishList(XmlElement* element, size_t base, uint32_t attributes,
                               const char* tag) {
    const size_t content = scratch_.size() - base;
    XmlNode* nodes = nullptr;
    if (content != 0) {
        nodes = static_cast<XmlNode*>(arena_.Allocate(content * sizeof(XmlNode), alignof(XmlNode)));
        const XmlNode* from = scratch_.At(base);
        if (content <= 4) {
            // Most elements hold a handful of nodes; spare them the library call.
            for (size_t i = 0; i < content; ++i) {
                nodes[i] = from[i];
            }
        } else {
            std::memcpy(static_cast<void*>(nodes), from, content * sizeof(XmlNode));
        }
        scratch_.Truncate(base);
    }
    if (content != 0 || attributes != 0) {
        element->nodes.Adopt(nodes, static_cast<uint32_t>(content), attributes, tag);
    }
    const size_t count = content + attributes;
    element->count = static_cast<int32_t>(count);
    element->capacity = static_cast<int32_t>((count + 4) / 5 * 5);
}

inline Flow Parser::ParseElement(XmlElement* element, int depth) {
    const size_t base = scratch_.size();
    Flow flow = Flow::Stop;
    uint32_t attributes = 0;
    const char* tag = scanner_.pos;
    // The root starts in content; every other element just behind its name.
    TagEnd tagEnd = TagEnd::Content;
    if (element != root_) {
        // Only counted here: the tree makes the records from the same tag when asked.
        tagEnd = xml_scan::ScanStartTag(scanner_, element->isDeclaration != 0,
                                        [&](std::string_view, std::string_view) { ++attributes; });
        if (tagEnd == TagEnd::Unexpected) {
            Fail(XmlError::UnexpectedToken);
        }
    }
    if (tagEnd == TagEnd::Content) {
        flow = ParseContent(element, depth);
    } else if (tagEnd == TagEnd::Closed) {
        flow = Flow::Continue;
    }
    FinishList(element, base, attributes, tag);
    return flow;
}

Flow Parser::ParseContent(XmlElement* element, int depth) {
    const bool isRoot = element == root_;
    const bool hasName = !element->name.empty();
    bool textPending = false;
    const char* textStart = nullptr;

    for (;;) {
        const TokenKind kind = scanner_.Next();
        switch (kind) {
            case TokenKind::Text:
            case TokenKind::Quoted:
            case TokenKind::Equals:
                if (!textPending) {
                    textPending = true;
                    textStart = scanner_.tokenStart;
                }
                break;

            case TokenKind::Close:
            case TokenKind::EmptyClose:
                Fail(XmlError::UnexpectedToken);
                return Flow::Stop;

            case TokenKind::Open:
            case TokenKind::DeclOpen: {
                FlushText(textPending, textStart, scanner_.tokenStart);
                if (scanner_.NextName() != TokenKind::Text) {
                    Fail(XmlError::MissingStartTagName);
                    return Flow::Stop;
                }
                const std::string_view name = scanner_.TokenText();
                if (hasName && XmlStartsWithNoCase(name, element->name)) {
                    // A tag whose name begins with ours closes us and opens a sibling.
                    newElement_ = name;
                    return Flow::Continue;
                }
                XmlElement* child = OpenChild(element, name, kind == TokenKind::DeclOpen, depth);
                for (;;) {
                    if (child == nullptr || ParseElement(child, depth + 1) == Flow::Stop) {
                        return Flow::Stop;
                    }
                    if (!endTag_.empty()) {
                        if (isRoot) {
                            Fail(XmlError::UnmatchedEndTag);
                            return Flow::Stop;
                        }
                        if (XmlStartsWithNoCase(endTag_, element->name)) {
                            endTag_ = {};
                        }
                        return Flow::Continue;
                    }
                    if (newElement_.empty()) {
                        break;
                    }
                    if (hasName && XmlStartsWithNoCase(newElement_, element->name)) {
                        return Flow::Continue;
                    }
                    child = OpenChild(element, newElement_, false, depth);
                    newElement_ = {};
                }
                break;
            }

            case TokenKind::CloseOpen: {
                FlushText(textPending, textStart, scanner_.tokenStart);
                if (scanner_.NextName() != TokenKind::Text) {
                    Fail(XmlError::MissingEndTagName);
                    return Flow::Stop;
                }
                const std::string_view name = scanner_.TokenText();
                if (scanner_.Next() != TokenKind::Close) {
                    Fail(XmlError::MissingEndTagName);
                    return Flow::Stop;
                }
                if (isRoot) {
                    Fail(XmlError::UnmatchedEndTag);
                    return Flow::Stop;
                }
                if (!XmlStartsWithNoCase(name, element->name)) {
                    endTag_ = name;
                }
                return Flow::Continue;
            }

            case TokenKind::ClearOpen: {
                FlushText(textPending, textStart, scanner_.tokenStart);
                const XmlClearTag* tag = scanner_.clearTag;
                const std::string_view rest(scanner_.pos,
                                            static_cast<size_t>(scanner_.end - scanner_.pos));
                const size_t found = rest.find(tag->closeTag);
                if (found == std::string_view::npos) {
                    Fail(XmlError::UnmatchedEndTag);
                    return Flow::Stop;
                }
                scratch_.push_back(
                    XmlNode{XmlNodeKind::Clear,
                            Make(XmlClear{tag->openTag, rest.substr(0, found), tag->closeTag})});
                scanner_.pos += found + tag->closeTag.size();
                break;
            }

            case TokenKind::End:
                return Flow::Stop;
        }
    }
}

// Parses `text`, which `root`'s arena holds, into the empty tree. False (with `results` set
// when given) when the text does not parse.
bool ParseInto(XmlElement* root, std::string_view text, XmlResults* results) {
    Parser parser(text, root);
    parser.Run();

    if (results != nullptr) {
        results->error = parser.error();
    }
    if (parser.error() == XmlError::None) {
        return true;
    }
    if (results != nullptr) {
        int32_t line = 1;
        int32_t column = 1;
        const size_t end = parser.errorIndex();
        for (size_t i = 0; i < end; ++i) {
            if (text[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        results->line = line;
        results->column = column;
    }
    return false;
}

// The text ends at its first NUL byte, as it would for a C string.
size_t ParsedLength(std::string_view text) {
    const void* nul = std::memchr(text.data(), '\0', text.size());
    return nul != nullptr ? static_cast<size_t>(static_cast<const char*>(nul) - text.data())
                          : text.size();
}

}  // namespace

std::string_view XmlErrorText(XmlError error) {
    switch (error) {
        case XmlError::None:
            return "No error";
        case XmlError::NoXmlData:
            return "No XML data";
        case XmlError::FirstTokenNotStartTag:
            return "First token not start tag";
        case XmlError::MissingStartTagName:
            return "Missing start tag name";
        case XmlError::MissingEndTagName:
            return "Missing end tag name";
        case XmlError::UnmatchedQuote:
            return "Unmatched quote";
        case XmlError::UnmatchedEndTag:
            return "Unmatched end tag";
        case XmlError::UnexpectedToken:
            return "Unexpected token found";
        case XmlError::InvalidTag:
            return "Invalid tag found";
        case XmlError::NoElements:
            return "No elements found";
        case XmlError::NestingTooDeep:
            return "Nesting too deep";
    }
    return "Unknown error";
}

XmlRoot XmlParseText(std::string_view text, XmlResults* results) {
    XmlRoot root = XmlCreateRoot();
    XmlArena& arena = XmlArenaOf(root.get());
    // One copy of the whole text, which the tree's views then point into.
    const std::string_view copy = arena.Store(text);
    const size_t parsed = ParsedLength(copy);
    arena.SetSource(copy, parsed);
    if (!ParseInto(root.get(), copy.substr(0, parsed), results)) {
        return nullptr;
    }
    return root;
}

XmlRoot XmlParseText(std::string&& text, XmlResults* results) {
    XmlRoot root = XmlCreateRoot();
    XmlArena& arena = XmlArenaOf(root.get());
    // The tree holds the string while it is parsed, so the views point into the tree's own
    // bytes; a text that does not parse goes back to the caller.
    const std::string_view whole = arena.AdoptSource(std::move(text));
    const size_t parsed = ParsedLength(whole);
    arena.SetSource(whole, parsed);
    if (!ParseInto(root.get(), whole.substr(0, parsed), results)) {
        text = arena.ReleaseSource();
        return nullptr;
    }
    return root;
}

XmlRoot XmlParseText(const char* text, XmlResults* results) {
    if (text == nullptr) {
        return nullptr;
    }
    return XmlParseText(std::string_view(text), results);
}

}  // namespace norvane
