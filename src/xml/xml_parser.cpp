#include "xml/xml_parser.h"

#include <cstring>

namespace norvane {

namespace {

enum class TokenKind {
    Text = 0,
    Quoted = 1,
    Open = 2,        // "<"
    CloseOpen = 3,   // "</"
    Close = 4,       // ">"
    Equals = 5,      // "="
    DeclOpen = 6,    // "<?"
    EmptyClose = 7,  // "/>"
    ClearOpen = 8,   // an open marker of the clear-tag table
    End = 9,         // end of text, or a tokeniser error
};

struct Token {
    TokenKind kind = TokenKind::End;
    size_t start = 0;
    size_t length = 0;
    const XmlClearTag* clear = nullptr;
};

enum class Flow { Continue, Stop };

bool IsSpace(char c) {
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

class Parser {
  public:
    Parser(std::string_view text, XmlElement* root) : text_(text), root_(root) {}

    void Run() { ParseElement(root_, 0); }
    XmlError error() const { return error_; }
    size_t errorIndex() const { return errorIndexSet_ ? errorIndex_ : index_; }

  private:
    bool AtEnd() const { return index_ >= text_.size(); }
    char Peek(size_t at) const { return at < text_.size() ? text_[at] : '\0'; }
    std::string_view View(const Token& token) const {
        return text_.substr(token.start, token.length);
    }

    // The first error wins: a tokeniser error must not be masked by the parser's reaction
    // to the end-of-text token that carries it.
    void Fail(XmlError error) {
        if (error_ == XmlError::None) {
            error_ = error;
        }
    }
    void FailAt(XmlError error, size_t index) {
        if (error_ == XmlError::None) {
            error_ = error;
            errorIndex_ = index;
            errorIndexSet_ = true;
        }
    }

    Token NextToken();
    Flow ParseElement(XmlElement* element, int depth);
    XmlElement* OpenChild(XmlElement* element, std::string_view name, bool declaration, int depth);
    void AppendNode(XmlElement* element, XmlNodeKind kind, void* object);
    void FlushText(XmlElement* element, bool& pending, size_t start, size_t end);

    std::string_view text_;  // lives in the tree's arena, so views into it may be stored
    XmlElement* root_;
    size_t index_ = 0;
    XmlError error_ = XmlError::None;
    size_t errorIndex_ = 0;
    bool errorIndexSet_ = false;
    std::string_view endTag_;      // pending end tag (empty: none)
    std::string_view newElement_;  // pending start tag (empty: none)
};

Token Parser::NextToken() {
    while (!AtEnd() && IsSpace(text_[index_])) {
        ++index_;
    }
    if (AtEnd()) {
        return Token{TokenKind::End, index_, 0, nullptr};
    }
    const size_t start = index_;
    const char first = text_[index_++];

    if (first == '<') {
        for (const XmlClearTag& tag : XmlClearTags()) {
            if (XmlStartsWithNoCase(text_.substr(start), tag.openTag)) {
                index_ = start + tag.openTag.size();
                return Token{TokenKind::ClearOpen, start, 0, &tag};
            }
        }
    }

    switch (first) {
        case '"':
        case '\'': {
            for (;;) {
                if (AtEnd()) {
                    Fail(XmlError::UnmatchedQuote);
                    return Token{TokenKind::End, index_, 0, nullptr};
                }
                if (text_[index_++] == first) {
                    break;
                }
            }
            const Token token{TokenKind::Quoted, start, index_ - start, nullptr};
            while (!AtEnd() && IsSpace(text_[index_])) {
                ++index_;
            }
            return token;
        }
        case '<':
            if (Peek(index_) == '/') {
                ++index_;
                return Token{TokenKind::CloseOpen, start, 2, nullptr};
            }
            if (Peek(index_) == '?') {
                ++index_;
                return Token{TokenKind::DeclOpen, start, 2, nullptr};
            }
            return Token{TokenKind::Open, start, 1, nullptr};
        case '=':
            return Token{TokenKind::Equals, start, 1, nullptr};
        case '>':
            return Token{TokenKind::Close, start, 1, nullptr};
        case '/':
            if (Peek(index_) == '>') {
                ++index_;
                return Token{TokenKind::EmptyClose, start, 2, nullptr};
            }
            break;
        default:
            break;
    }

    // A run of ordinary bytes. White space ends it and is consumed; "<", "=", ">" and "/>"
    // end it and are left for the next token.
    while (!AtEnd()) {
        const char c = text_[index_];
        if (IsSpace(c)) {
            const Token token{TokenKind::Text, start, index_ - start, nullptr};
            ++index_;
            return token;
        }
        if (c == '<' || c == '=' || c == '>' || (c == '/' && Peek(index_ + 1) == '>')) {
            break;
        }
        ++index_;
    }
    return Token{TokenKind::Text, start, index_ - start, nullptr};
}

// The parser appends with the growth step 5, like every reader of the dialect.
void Parser::AppendNode(XmlElement* element, XmlNodeKind kind, void* object) {
    if (element->count == element->capacity) {
        element->capacity += 5;
    }
    element->nodes.push_back(XmlNode{kind, object});
    ++element->count;
}

// Appends the pending text (if any), without its trailing white space, and ends it.
void Parser::FlushText(XmlElement* element, bool& pending, size_t start, size_t end) {
    if (!pending) {
        return;
    }
    pending = false;
    while (end > start && IsSpace(text_[end - 1])) {
        --end;
    }
    AppendNode(element, XmlNodeKind::Text,
               element->arena->Make<XmlText>(XmlText{text_.substr(start, end - start)}));
}

XmlElement* Parser::OpenChild(XmlElement* element, std::string_view name, bool declaration,
                              int depth) {
    if (depth + 1 > kXmlMaxDepth) {
        // Reported just behind the name of the tag that would open the element too many.
        FailAt(XmlError::NestingTooDeep,
               static_cast<size_t>(name.data() + name.size() - text_.data()));
        return nullptr;
    }
    XmlArena* arena = element->arena;
    auto* child = arena->Make<XmlElement>(arena);
    child->name = name;  // a view into the arena's copy of the text
    child->isDeclaration = declaration ? 1 : 0;
    child->parent = element;
    AppendNode(element, XmlNodeKind::Element, child);
    return child;
}

Flow Parser::ParseElement(XmlElement* element, int depth) {
    const bool isRoot = element == root_;
    const bool hasName = !element->name.empty();
    bool inStartTag = !isRoot;
    int attributeState = 0;  // 0: expecting a name, 1: after a name, 2: after "="
    std::string_view attributeName;
    bool textPending = false;
    size_t textStart = 0;

    for (;;) {
        const Token token = NextToken();
        if (token.kind == TokenKind::End) {
            return Flow::Stop;
        }

        if (inStartTag) {
            switch (attributeState) {
                case 0:
                    if (token.kind == TokenKind::Text) {
                        attributeName = View(token);
                        attributeState = 1;
                    } else if (token.kind == TokenKind::Close) {
                        inStartTag = false;
                    } else if (token.kind == TokenKind::EmptyClose) {
                        return Flow::Continue;
                    } else {
                        Fail(XmlError::UnexpectedToken);
                        return Flow::Stop;
                    }
                    break;
                case 1:
                    // A name without "=" and value is dropped: attributes always have values.
                    if (token.kind == TokenKind::Text) {
                        attributeName = View(token);
                    } else if (token.kind == TokenKind::Equals) {
                        attributeState = 2;
                    } else if (token.kind == TokenKind::Close) {
                        attributeState = 0;
                        inStartTag = false;
                    } else if (token.kind == TokenKind::EmptyClose) {
                        return Flow::Continue;
                    } else {
                        Fail(XmlError::UnexpectedToken);
                        return Flow::Stop;
                    }
                    break;
                default:
                    if (token.kind == TokenKind::Text || token.kind == TokenKind::Quoted) {
                        std::string_view value = View(token);
                        if (element->isDeclaration && value.back() == '?') {
                            value.remove_suffix(1);
                        }
                        AppendNode(
                            element, XmlNodeKind::Attribute,
                            element->arena->Make<XmlAttribute>(XmlAttribute{attributeName, value}));
                        attributeState = 0;
                    } else {
                        Fail(XmlError::UnexpectedToken);
                        return Flow::Stop;
                    }
                    break;
            }
            continue;
        }

        switch (token.kind) {
            case TokenKind::Text:
            case TokenKind::Quoted:
            case TokenKind::Equals:
                if (!textPending) {
                    textPending = true;
                    textStart = token.start;
                }
                break;

            case TokenKind::Close:
            case TokenKind::EmptyClose:
                Fail(XmlError::UnexpectedToken);
                return Flow::Stop;

            case TokenKind::Open:
            case TokenKind::DeclOpen: {
                FlushText(element, textPending, textStart, token.start);
                const Token nameToken = NextToken();
                if (nameToken.kind != TokenKind::Text) {
                    Fail(XmlError::MissingStartTagName);
                    return Flow::Stop;
                }
                const std::string_view name = View(nameToken);
                if (hasName && XmlStartsWithNoCase(name, element->name)) {
                    // A tag whose name begins with ours closes us and opens a sibling.
                    newElement_ = name;
                    return Flow::Continue;
                }
                XmlElement* child =
                    OpenChild(element, name, token.kind == TokenKind::DeclOpen, depth);
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
                FlushText(element, textPending, textStart, token.start);
                const Token nameToken = NextToken();
                if (nameToken.kind != TokenKind::Text) {
                    Fail(XmlError::MissingEndTagName);
                    return Flow::Stop;
                }
                if (NextToken().kind != TokenKind::Close) {
                    Fail(XmlError::MissingEndTagName);
                    return Flow::Stop;
                }
                if (isRoot) {
                    Fail(XmlError::UnmatchedEndTag);
                    return Flow::Stop;
                }
                const std::string_view name = View(nameToken);
                if (!XmlStartsWithNoCase(name, element->name)) {
                    endTag_ = name;
                }
                return Flow::Continue;
            }

            case TokenKind::ClearOpen: {
                FlushText(element, textPending, textStart, token.start);
                const std::string_view close = token.clear->closeTag;
                const size_t found = text_.find(close, index_);
                if (found == std::string_view::npos) {
                    Fail(XmlError::UnmatchedEndTag);
                    return Flow::Stop;
                }
                AppendNode(element, XmlNodeKind::Clear,
                           element->arena->Make<XmlClear>(XmlClear{
                               token.clear->openTag, text_.substr(index_, found - index_), close}));
                index_ = found + close.size();
                break;
            }

            case TokenKind::End:
                return Flow::Stop;
        }
    }
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
    // The text ends at its first NUL byte, as it would for a C string.
    if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
        text = text.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - text.data()));
    }
    XmlRoot root = XmlCreateRoot();
    // One copy of the whole text; every name and value of the tree is a view into it.
    const std::string_view stored = root->arena->Store(text);
    Parser parser(stored, root.get());
    parser.Run();

    if (results != nullptr) {
        results->error = parser.error();
    }
    if (parser.error() == XmlError::None) {
        return root;
    }
    if (results != nullptr) {
        int32_t line = 1;
        int32_t column = 1;
        const size_t end = parser.errorIndex();
        for (size_t i = 0; i < end; ++i) {
            if (stored[i] == '\n') {
                ++line;
                column = 1;
            } else {
                ++column;
            }
        }
        results->line = line;
        results->column = column;
    }
    return nullptr;
}

XmlRoot XmlParseText(const char* text, XmlResults* results) {
    if (text == nullptr) {
        return nullptr;
    }
    return XmlParseText(std::string_view(text), results);
}

}  // namespace norvane
