#include "xml/xml_parser.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace norvane {

namespace {

enum class TokenKind : uint8_t {
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

enum class Flow { Continue, Stop };

// What a byte means inside a text token.
enum ByteClass : uint8_t {
    kOrdinary = 0,
    kSpace = 1,  // ends the token and is consumed with it
    kStop = 2,   // '<', '=' and '>': end the token and start the next one
    kSlash = 3,  // ends the token only when followed by '>'
};

constexpr std::array<uint8_t, 256> MakeByteClasses() {
    std::array<uint8_t, 256> classes{};
    classes['\t'] = kSpace;
    classes['\n'] = kSpace;
    classes['\r'] = kSpace;
    classes[' '] = kSpace;
    classes['<'] = kStop;
    classes['='] = kStop;
    classes['>'] = kStop;
    classes['/'] = kSlash;
    return classes;
}

constexpr std::array<uint8_t, 256> kByteClasses = MakeByteClasses();

uint8_t ClassOf(char c) {
    return kByteClasses[static_cast<unsigned char>(c)];
}

bool IsSpace(char c) {
    return ClassOf(c) == kSpace;
}

// Every open marker begins with "<!", "<PR" or "<SC" (either case). Anything else after '<'
// cannot start a clear section, which spares nearly every tag the marker comparisons (and
// the very common "<Parameter" is told from "<PRE>" by its third byte).
bool MayOpenClearSection(const char* afterOpen, const char* end) {
    const char second = afterOpen[0];
    if (second == '!') {
        return true;
    }
    if (end - afterOpen < 2) {
        return false;
    }
    const char folded = static_cast<char>(second | 0x20);
    const char third = static_cast<char>(afterOpen[1] | 0x20);
    return (folded == 'p' && third == 'r') || (folded == 's' && third == 'c');
}

// A run of `size` bytes, sizeof(Word) <= size <= 2 * sizeof(Word), is covered by its first and
// its last word; two word moves copy or compare it whole.
template <class Word>
[[gnu::always_inline]] inline void CopyEnds(char* to, const char* from, size_t size) {
    Word head;
    Word last;
    std::memcpy(&head, from, sizeof(Word));
    std::memcpy(&last, from + size - sizeof(Word), sizeof(Word));
    std::memcpy(to, &head, sizeof(Word));
    std::memcpy(to + size - sizeof(Word), &last, sizeof(Word));
}

template <class Word>
[[gnu::always_inline]] inline bool SameEnds(const char* a, const char* b, size_t size) {
    Word a1;
    Word a2;
    Word b1;
    Word b2;
    std::memcpy(&a1, a, sizeof(Word));
    std::memcpy(&a2, a + size - sizeof(Word), sizeof(Word));
    std::memcpy(&b1, b, sizeof(Word));
    std::memcpy(&b2, b + size - sizeof(Word), sizeof(Word));
    return ((a1 ^ b1) | (a2 ^ b2)) == 0;
}

// Copies the few bytes of a name or value without a library call: most are shorter than 16.
[[gnu::always_inline]] inline void CopyBytes(char* to, const char* from, size_t size) {
    if (size >= 8 && size <= 16) {
        CopyEnds<uint64_t>(to, from, size);
    } else if (size >= 4 && size < 8) {
        CopyEnds<uint32_t>(to, from, size);
    } else if (size > 0 && size < 4) {
        to[0] = from[0];
        to[size / 2] = from[size / 2];
        to[size - 1] = from[size - 1];
    } else if (size > 16) {
        std::memcpy(to, from, size);
    }
}

// Block scans over the input, sixteen bytes at a time where the CPU offers it. Each returns a
// position in [p, end]; they only ever read bytes before `end`.
#if defined(__SSE2__)
constexpr ptrdiff_t kBlock = 16;

__m128i LoadBlock(const char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

unsigned FirstSetBit(int mask) {
    return static_cast<unsigned>(std::countr_zero(static_cast<unsigned>(mask)));
}
#endif

// First byte that is not white space.
const char* SkipSpace(const char* p, const char* end) {
    // Most tokens follow their predecessor directly; only runs (indentation) need the scan.
    if (p == end || !IsSpace(*p)) {
        return p;
    }
#if defined(__SSE2__)
    while (end - p >= kBlock) {
        const __m128i bytes = LoadBlock(p);
        const __m128i space =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
                         _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')),
                                      _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r'))));
        const int other = ~_mm_movemask_epi8(space) & 0xFFFF;
        if (other != 0) {
            return p + FirstSetBit(other);
        }
        p += kBlock;
    }
#endif
    while (p != end && IsSpace(*p)) {
        ++p;
    }
    return p;
}

// First byte that may end a text run: every byte up to 0x20, '/', and '<' to '?'. The caller
// decides with the class table, so a few ordinary bytes ('?' and control bytes) stop here too.
const char* FindRunEndCandidate(const char* p, const char* end) {
#if defined(__SSE2__)
    while (end - p >= kBlock) {
        const __m128i bytes = LoadBlock(p);
        const __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x20)), bytes);
        const __m128i angle =
            _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x03)), _mm_set1_epi8(0x3F));
        const __m128i slash = _mm_cmpeq_epi8(bytes, _mm_set1_epi8('/'));
        const int stops = _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(low, angle), slash));
        if (stops != 0) {
            return p + FirstSetBit(stops);
        }
        p += kBlock;
    }
#endif
    while (p != end && ClassOf(*p) == kOrdinary) {
        ++p;
    }
    return p;
}

// First occurrence of `c`, or end.
const char* FindByte(const char* p, const char* end, char c) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    while (end - p >= kBlock) {
        const int found = _mm_movemask_epi8(_mm_cmpeq_epi8(LoadBlock(p), wanted));
        if (found != 0) {
            return p + FirstSetBit(found);
        }
        p += kBlock;
    }
#endif
    const void* hit = std::memchr(p, c, static_cast<size_t>(end - p));
    return hit != nullptr ? static_cast<const char*>(hit) : end;
}

// The stack of nodes under construction: a plain growable array, since it is pushed to for
// every node of the document.
class NodeStack {
  public:
    size_t size() const { return size_; }
    const XmlNode* At(size_t index) const { return data_.get() + index; }
    void Truncate(size_t size) { size_ = size; }
    void push_back(XmlNode node) {
        if (size_ == capacity_) {
            Grow();
        }
        data_[size_++] = node;
    }

  private:
    void Grow() {
        const size_t capacity = capacity_ == 0 ? 256 : capacity_ * 2;
        auto data = std::make_unique_for_overwrite<XmlNode[]>(capacity);
        std::copy(data_.get(), data_.get() + size_, data.get());
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::unique_ptr<XmlNode[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

class Parser {
  public:
    Parser(std::string_view text, XmlElement* root)
        : begin_(text.data()),
          end_(text.data() + text.size()),
          pos_(begin_),
          root_(root),
          arena_(*root->arena) {}

    void Run() { ParseElement(root_, 0); }
    XmlError error() const { return error_; }
    size_t errorIndex() const {
        return static_cast<size_t>((errorIndexSet_ ? errorAt_ : pos_) - begin_);
    }

  private:
    // The first error wins: a tokeniser error must not be masked by the parser's reaction
    // to the end-of-text token that carries it.
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

    // Reads the next token; its bytes are [tokenStart_, tokenEnd_), and for a clear section
    // clearTag_ is the matched marker pair. Inlined into the few loops that call it: it runs
    // for every token, and a call costs about as much as the common tokens themselves.
    [[gnu::always_inline]] TokenKind NextToken();
    TokenKind Deliver(TokenKind kind, const char* start, const char* end, const char* next) {
        tokenStart_ = start;
        tokenEnd_ = end;
        pos_ = next;
        return kind;
    }
    std::string_view TokenText() const {
        return {tokenStart_, static_cast<size_t>(tokenEnd_ - tokenStart_)};
    }
    const XmlClearTag* MatchClearTag(const char* at) const;

    Flow ParseElement(XmlElement* element, int depth);
    enum class TagEnd { Content, Closed, Stop };
    TagEnd ParseStartTag(XmlElement* element);
    Flow ParseContent(XmlElement* element, int depth);
    void FinishList(XmlElement* element, size_t base);
    XmlElement* OpenChild(XmlElement* element, std::string_view name, bool declaration, int depth);
    void AppendAttribute(bool declaration, std::string_view name, std::string_view value);
    void FlushText(bool& pending, const char* start, const char* end);
    void AppendClear(const XmlClearTag* tag, std::string_view value);
    template <class T>
    void* Record() {
        return arena_.Allocate(sizeof(T), alignof(T));
    }
    std::string_view Copy(std::string_view text) {
        char* copy = arena_.AllocateBytes(text.size());
        CopyBytes(copy, text.data(), text.size());
        return {copy, text.size()};
    }
    std::string_view CopyName(std::string_view name);

    const char* begin_;
    const char* end_;
    const char* pos_;  // next unread byte
    const char* tokenStart_ = nullptr;
    const char* tokenEnd_ = nullptr;
    const XmlClearTag* clearTag_ = nullptr;
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
    // Recently stored element and attribute names. A document uses few distinct names, so
    // most names are found here and share one copy instead of taking another.
    static constexpr size_t kNameSlots = 64;
    std::array<std::string_view, kNameSlots> names_{};
};

// True when the `size` bytes at `a` and `b` are the same; like CopyBytes, without a library
// call for the short names it is used for.
[[gnu::always_inline]] inline bool SameBytes(const char* a, const char* b, size_t size) {
    if (size < 4) {
        return size == 0 ||
               (a[0] == b[0] && a[size / 2] == b[size / 2] && a[size - 1] == b[size - 1]);
    }
    if (size < 8) {
        return SameEnds<uint32_t>(a, b, size);
    }
    if (size <= 16) {
        return SameEnds<uint64_t>(a, b, size);
    }
    return std::memcmp(a, b, size) == 0;
}

inline std::string_view Parser::CopyName(std::string_view name) {
    const auto first = static_cast<unsigned char>(name.front());
    const auto last = static_cast<unsigned char>(name.back());
    std::string_view& slot = names_[(name.size() * 7 + first * 3 + last) % kNameSlots];
    if (slot.size() != name.size() || !SameBytes(slot.data(), name.data(), name.size())) {
        slot = Copy(name);
    }
    return slot;
}

const XmlClearTag* Parser::MatchClearTag(const char* at) const {
    const std::string_view rest(at, static_cast<size_t>(end_ - at));
    const char second = static_cast<char>(rest[1] | 0x20);
    for (const XmlClearTag& tag : XmlClearTags()) {
        // Only a marker with the same second byte can match, which rules out most of the
        // table cheaply; among the rest (the three "<!" markers) the table order decides.
        if (static_cast<char>(tag.openTag[1] | 0x20) == second &&
            XmlStartsWithNoCase(rest, tag.openTag)) {
            return &tag;
        }
    }
    return nullptr;
}

[[gnu::always_inline]] inline TokenKind Parser::NextToken() {
    const char* p = SkipSpace(pos_, end_);
    if (p == end_) {
        return Deliver(TokenKind::End, p, p, p);
    }
    const char* const start = p;
    const char first = *p++;

    switch (first) {
        case '<':
            if (p != end_) {
                // No marker begins with "</" or "<?", so these can be decided first.
                if (*p == '/') {
                    return Deliver(TokenKind::CloseOpen, start, p + 1, p + 1);
                }
                if (*p == '?') {
                    return Deliver(TokenKind::DeclOpen, start, p + 1, p + 1);
                }
                if (MayOpenClearSection(p, end_)) {
                    if (const XmlClearTag* tag = MatchClearTag(start)) {
                        clearTag_ = tag;
                        const char* behind = start + tag->openTag.size();
                        return Deliver(TokenKind::ClearOpen, start, behind, behind);
                    }
                }
            }
            return Deliver(TokenKind::Open, start, p, p);
        case '"':
        case '\'': {
            const char* quote = FindByte(p, end_, first);
            if (quote == end_) {
                Fail(XmlError::UnmatchedQuote);
                return Deliver(TokenKind::End, end_, end_, end_);
            }
            return Deliver(TokenKind::Quoted, start, quote + 1, SkipSpace(quote + 1, end_));
        }
        case '=':
            return Deliver(TokenKind::Equals, start, p, p);
        case '>':
            return Deliver(TokenKind::Close, start, p, p);
        case '/':
            if (p != end_ && *p == '>') {
                return Deliver(TokenKind::EmptyClose, start, p + 1, p + 1);
            }
            break;
        default:
            break;
    }

    // A run of ordinary bytes. White space ends it and is consumed; "<", "=", ">" and "/>"
    // end it and are left for the next token.
    for (;;) {
        p = FindRunEndCandidate(p, end_);
        if (p == end_) {
            return Deliver(TokenKind::Text, start, p, p);
        }
        switch (ClassOf(*p)) {
            case kSpace:
                return Deliver(TokenKind::Text, start, p, p + 1);
            case kStop:
                return Deliver(TokenKind::Text, start, p, p);
            case kSlash:
                if (p + 1 != end_ && p[1] == '>') {
                    return Deliver(TokenKind::Text, start, p, p);
                }
                break;
            default:
                break;
        }
        ++p;
    }
}

void Parser::AppendAttribute(bool declaration, std::string_view name, std::string_view value) {
    if (declaration && value.back() == '?') {
        value.remove_suffix(1);
    }
    auto* attribute = ::new (Record<XmlAttribute>()) XmlAttribute{CopyName(name), Copy(value)};
    scratch_.push_back(XmlNode{XmlNodeKind::Attribute, attribute});
}

// Appends the pending text (if any), without its trailing white space, and ends it.
void Parser::FlushText(bool& pending, const char* start, const char* end) {
    if (!pending) {
        return;
    }
    pending = false;
    while (end > start && IsSpace(end[-1])) {
        --end;
    }
    const std::string_view value(start, static_cast<size_t>(end - start));
    scratch_.push_back(XmlNode{XmlNodeKind::Text, ::new (Record<XmlText>()) XmlText{Copy(value)}});
}

void Parser::AppendClear(const XmlClearTag* tag, std::string_view value) {
    scratch_.push_back(XmlNode{XmlNodeKind::Clear, ::new (Record<XmlClear>()) XmlClear{
                                                       tag->openTag, Copy(value), tag->closeTag}});
}

XmlElement* Parser::OpenChild(XmlElement* element, std::string_view name, bool declaration,
                              int depth) {
    if (depth + 1 > kXmlMaxDepth) {
        // Reported just behind the name of the tag that would open the element too many.
        FailAt(XmlError::NestingTooDeep, name.data() + name.size());
        return nullptr;
    }
    auto* child = ::new (Record<XmlElement>()) XmlElement(&arena_);
    child->name = CopyName(name);
    child->isDeclaration = declaration ? 1 : 0;
    child->parent = element;
    scratch_.push_back(XmlNode{XmlNodeKind::Element, child});
    return child;
}

// Moves the element's nodes from the top of the scratch stack into the arena. `capacity` is
// what appending them one by one with the parser's growth step of 5 would have given.
void Parser::FinishList(XmlElement* element, size_t base) {
    const size_t count = scratch_.size() - base;
    if (count != 0) {
        auto* nodes =
            static_cast<XmlNode*>(arena_.Allocate(count * sizeof(XmlNode), alignof(XmlNode)));
        const XmlNode* from = scratch_.At(base);
        if (count <= 4) {
            // Most elements hold a handful of attributes; spare them the library call.
            for (size_t i = 0; i < count; ++i) {
                nodes[i] = from[i];
            }
        } else {
            std::memcpy(static_cast<void*>(nodes), from, count * sizeof(XmlNode));
        }
        element->nodes.Adopt(nodes, static_cast<uint32_t>(count));
        scratch_.Truncate(base);
    }
    element->count = static_cast<int32_t>(count);
    element->capacity = static_cast<int32_t>((count + 4) / 5 * 5);
}

Flow Parser::ParseElement(XmlElement* element, int depth) {
    const size_t base = scratch_.size();
    Flow flow = Flow::Stop;
    // The root starts in content; every other element just behind its name.
    const TagEnd tagEnd = element == root_ ? TagEnd::Content : ParseStartTag(element);
    if (tagEnd == TagEnd::Content) {
        flow = ParseContent(element, depth);
    } else if (tagEnd == TagEnd::Closed) {
        flow = Flow::Continue;
    }
    FinishList(element, base);
    return flow;
}

// Reads attributes up to ">" (content follows) or "/>" (the element is complete).
Parser::TagEnd Parser::ParseStartTag(XmlElement* element) {
    const bool declaration = element->isDeclaration != 0;
    int attributeState = 0;  // 0: expecting a name, 1: after a name, 2: after "="
    std::string_view attributeName;

    for (;;) {
        const TokenKind kind = NextToken();
        if (kind == TokenKind::End) {
            return TagEnd::Stop;
        }
        switch (attributeState) {
            case 0:
                if (kind == TokenKind::Text) {
                    attributeName = TokenText();
                    attributeState = 1;
                    // Usually the "=" follows the name directly. Then it is the next token
                    // (there is no white space to skip), and it is taken here at once.
                    if (pos_ != end_ && *pos_ == '=') {
                        ++pos_;
                        attributeState = 2;
                    }
                } else if (kind == TokenKind::Close) {
                    return TagEnd::Content;
                } else if (kind == TokenKind::EmptyClose) {
                    return TagEnd::Closed;
                } else {
                    Fail(XmlError::UnexpectedToken);
                    return TagEnd::Stop;
                }
                break;
            case 1:
                // A name without "=" and value is dropped: attributes always have values.
                if (kind == TokenKind::Text) {
                    attributeName = TokenText();
                } else if (kind == TokenKind::Equals) {
                    attributeState = 2;
                } else if (kind == TokenKind::Close) {
                    return TagEnd::Content;
                } else if (kind == TokenKind::EmptyClose) {
                    return TagEnd::Closed;
                } else {
                    Fail(XmlError::UnexpectedToken);
                    return TagEnd::Stop;
                }
                break;
            default:
                if (kind == TokenKind::Text || kind == TokenKind::Quoted) {
                    AppendAttribute(declaration, attributeName, TokenText());
                    attributeState = 0;
                } else {
                    Fail(XmlError::UnexpectedToken);
                    return TagEnd::Stop;
                }
                break;
        }
    }
}

Flow Parser::ParseContent(XmlElement* element, int depth) {
    const bool isRoot = element == root_;
    const bool hasName = !element->name.empty();
    bool textPending = false;
    const char* textStart = nullptr;

    for (;;) {
        const TokenKind kind = NextToken();
        switch (kind) {
            case TokenKind::Text:
            case TokenKind::Quoted:
            case TokenKind::Equals:
                if (!textPending) {
                    textPending = true;
                    textStart = tokenStart_;
                }
                break;

            case TokenKind::Close:
            case TokenKind::EmptyClose:
                Fail(XmlError::UnexpectedToken);
                return Flow::Stop;

            case TokenKind::Open:
            case TokenKind::DeclOpen: {
                FlushText(textPending, textStart, tokenStart_);
                if (NextToken() != TokenKind::Text) {
                    Fail(XmlError::MissingStartTagName);
                    return Flow::Stop;
                }
                const std::string_view name = TokenText();
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
                FlushText(textPending, textStart, tokenStart_);
                if (NextToken() != TokenKind::Text) {
                    Fail(XmlError::MissingEndTagName);
                    return Flow::Stop;
                }
                const std::string_view name = TokenText();
                if (NextToken() != TokenKind::Close) {
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
                FlushText(textPending, textStart, tokenStart_);
                const XmlClearTag* tag = clearTag_;
                const std::string_view rest(pos_, static_cast<size_t>(end_ - pos_));
                const size_t found = rest.find(tag->closeTag);
                if (found == std::string_view::npos) {
                    Fail(XmlError::UnmatchedEndTag);
                    return Flow::Stop;
                }
                AppendClear(tag, rest.substr(0, found));
                pos_ += found + tag->closeTag.size();
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
    // The parser reads the caller's text and copies into the tree only what it stores.
    Parser parser(text, root.get());
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
    return nullptr;
}

XmlRoot XmlParseText(const char* text, XmlResults* results) {
    if (text == nullptr) {
        return nullptr;
    }
    return XmlParseText(std::string_view(text), results);
}

}  // namespace norvane
