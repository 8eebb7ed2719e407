// Internal to src/xml: the lexical side of the dialect. Byte classes, the scans, the
// tokeniser and the attribute rules of a start tag, shared by the parser (which checks a whole
// document), the tree (which reads an element's attributes from its start tag when they are
// first asked for) and the writer. Not for use outside src/xml.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "xml/xml_tree.h"

namespace norvane::xml_scan {

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

// What a byte means inside a text token.
enum ByteClass : uint8_t {
    kOrdinary = 0,
    kSpace = 1,  // ends the token and is consumed with it
    kStop = 2,   // '<', '=' and '>': end the token and start the next one
    kSlash = 3,  // ends the token only when followed by '>'
};

extern const std::array<uint8_t, 256> kByteClasses;

inline uint8_t ClassOf(char c) {
    return kByteClasses[static_cast<unsigned char>(c)];
}

inline bool IsSpace(char c) {
    return ClassOf(c) == kSpace;
}

// The scans are plain loops over the byte classes; the closing quote is looked for by a loop
// over the next 16 bytes, then by memchr. Hand-written SSE2 versions of all three (sixteen
// bytes a compare) lost to these on our inputs, whose tokens are short: a name or value is a
// few bytes, and a block compare then costs a chain of load, compare, mask and bit search
// before the next token can start. bench/xml_bench, Release, this project's 2-core VM, parse
// with freed memory kept in the process (see bench/README.md), medians of 5, two rounds of the
// same run (another build was running on the machine; the order was the same in both rounds):
//   all three SSE2          catalog 40.3 / 39.4 ms   wide 2*10^5 9.59 / 9.72 ms
//   none (these loops)      catalog 26.4 / 28.0 ms   wide 2*10^5 6.76 / 7.02 ms
//   SSE2 white-space skip   catalog 32.5 / 34.2 ms   wide 2*10^5 7.38 / 7.09 ms
//   SSE2 text-run scan      catalog 34.1 / 34.4 ms   wide 2*10^5 8.19 / 8.90 ms
//   SSE2 quote scan         catalog 28.6 / 31.2 ms   wide 2*10^5 6.30 / 6.83 ms
// memchr is vectorised by the C library and wins for the long values that do occur; for the
// short ones the call costs more than the search (called for every value, it took 10.7% of the
// parse of the wide document in a profile).

constexpr ptrdiff_t kNearBytes = 16;

// First byte in [p, end) that is not white space, or end.
inline const char* SkipSpaceRun(const char* p, const char* end) {
    while (p != end && IsSpace(*p)) {
        ++p;
    }
    return p;
}

// First byte that may end a text run: white space, '<', '=', '>' and '/'; the caller decides with
// the class table whether it does.
inline const char* FindRunEndCandidate(const char* p, const char* end) {
    while (p != end && ClassOf(*p) == kOrdinary) {
        ++p;
    }
    return p;
}

// First occurrence of `c` in [p, end), or end. Most values end within a few bytes, sooner than
// a call to memchr has started; the long ones go to memchr.
inline const char* FindByte(const char* p, const char* end, char c) {
    const char* const near = end - p > kNearBytes ? p + kNearBytes : end;
    for (; p != near; ++p) {
        if (*p == c) {
            return p;
        }
    }
    if (p == end) {
        return end;
    }
    const void* hit = std::memchr(p, c, static_cast<size_t>(end - p));
    return hit != nullptr ? static_cast<const char*>(hit) : end;
}

// Most tokens follow their predecessor directly; only runs (indentation) need the scan.
inline const char* SkipSpace(const char* p, const char* end) {
    if (p == end || !IsSpace(*p)) {
        return p;
    }
    return SkipSpaceRun(p + 1, end);
}

// The nodes of every open element while a document is read, outermost first: a plain growable
// array, since it is pushed to for every node of the document.
class NodeStack {
  public:
    // Room for `capacity` nodes from the start. Reserving is cheap: the pages of a large array
    // are touched only as far as the stack actually grows.
    explicit NodeStack(size_t capacity);
    size_t size() const { return size_; }
    ~NodeStack() = default;
    NodeStack(const NodeStack&) = delete;
    NodeStack& operator=(const NodeStack&) = delete;
    const XmlNode* At(size_t index) const { return data_.get() + index; }
    void Truncate(size_t size) { size_ = size; }
    void push_back(XmlNode node) {
        if (size_ == capacity_) {
            Grow();
        }
        data_.get()[size_++] = node;
    }

  private:
    void Grow();

    // Raw storage: slots are written before they are read, so none is constructed up front
    // (constructing them all would touch every page of a large reservation).
    struct Release {
        size_t capacity;
        void operator()(XmlNode* data) const {
            std::allocator<XmlNode>().deallocate(data, capacity);
        }
    };
    std::unique_ptr<XmlNode, Release> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// The tokeniser. Each token's bytes are [tokenStart, tokenEnd); for a clear section clearTag is
// the matched marker pair. A tokeniser error (an unmatched quote) ends the text: the token is
// End and `unmatchedQuote` is set.
class Scanner {
  public:
    Scanner(const char* begin, const char* last) : pos(begin), end(last) {}

    // Inlined into the few loops that call it: it runs for every token, and a call costs about
    // as much as the common tokens themselves.
    [[gnu::always_inline]] inline TokenKind Next();
    // The same, where a name is expected (behind "<"): a name of ordinary bytes, by far the
    // most common token there, is read without the dispatch on its first byte.
    [[gnu::always_inline]] inline TokenKind NextName();
    std::string_view TokenText() const {
        return {tokenStart, static_cast<size_t>(tokenEnd - tokenStart)};
    }

    const char* pos;  // next unread byte
    const char* end;
    const char* tokenStart = nullptr;
    const char* tokenEnd = nullptr;
    const XmlClearTag* clearTag = nullptr;
    bool unmatchedQuote = false;

  private:
    // A run of ordinary bytes from `start`, its first byte taken; `p` is the next to look at.
    [[gnu::always_inline]] inline TokenKind TextRun(const char* start, const char* p);
    TokenKind Deliver(TokenKind kind, const char* start, const char* stop, const char* next) {
        tokenStart = start;
        tokenEnd = stop;
        pos = next;
        return kind;
    }
    const XmlClearTag* MatchClearTag(const char* at) const;
};

// Every open marker begins with "<!", "<PR" or "<SC" (either case). Anything else after '<'
// cannot start a clear section, which spares nearly every tag the marker comparisons (and
// the very common "<Parameter" is told from "<PRE>" by its third byte).
inline bool MayOpenClearSection(const char* afterOpen, const char* end) {
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

[[gnu::always_inline]] inline TokenKind Scanner::Next() {
    const char* p = SkipSpace(pos, end);
    if (p == end) {
        return Deliver(TokenKind::End, p, p, p);
    }
    const char* const start = p;
    const char first = *p++;

    switch (first) {
        case '<':
            if (p != end) {
                // No marker begins with "</" or "<?", so these can be decided first.
                if (*p == '/') {
                    return Deliver(TokenKind::CloseOpen, start, p + 1, p + 1);
                }
                if (*p == '?') {
                    return Deliver(TokenKind::DeclOpen, start, p + 1, p + 1);
                }
                if (MayOpenClearSection(p, end)) {
                    if (const XmlClearTag* tag = MatchClearTag(start)) {
                        clearTag = tag;
                        const char* behind = start + tag->openTag.size();
                        return Deliver(TokenKind::ClearOpen, start, behind, behind);
                    }
                }
            }
            return Deliver(TokenKind::Open, start, p, p);
        case '"':
        case '\'': {
            const char* quote = FindByte(p, end, first);
            if (quote == end) {
                unmatchedQuote = true;
                return Deliver(TokenKind::End, end, end, end);
            }
            return Deliver(TokenKind::Quoted, start, quote + 1, SkipSpace(quote + 1, end));
        }
        case '=':
            return Deliver(TokenKind::Equals, start, p, p);
        case '>':
            return Deliver(TokenKind::Close, start, p, p);
        case '/':
            if (p != end && *p == '>') {
                return Deliver(TokenKind::EmptyClose, start, p + 1, p + 1);
            }
            break;
        default:
            break;
    }

    return TextRun(start, p);
}

[[gnu::always_inline]] inline TokenKind Scanner::NextName() {
    const char* p = pos;
    if (p != end && ClassOf(*p) == kOrdinary && *p != '"' && *p != '\'') {
        return TextRun(p, p + 1);
    }
    return Next();
}

[[gnu::always_inline]] inline TokenKind Scanner::TextRun(const char* start, const char* p) {
    // A run of ordinary bytes. White space ends it and is consumed; "<", "=", ">" and "/>"
    // end it and are left for the next token.
    for (;;) {
        p = FindRunEndCandidate(p, end);
        if (p == end) {
            return Deliver(TokenKind::Text, start, p, p);
        }
        switch (ClassOf(*p)) {
            case kSpace:
                return Deliver(TokenKind::Text, start, p, p + 1);
            case kStop:
                return Deliver(TokenKind::Text, start, p, p);
            case kSlash:
                if (p + 1 != end && p[1] == '>') {
                    return Deliver(TokenKind::Text, start, p, p);
                }
                break;
            default:
                break;
        }
        ++p;
    }
}

// How a start tag ended.
enum class TagEnd {
    Content,     // ">": content follows
    Closed,      // "/>": the element is complete
    Unexpected,  // a token that has no place in a start tag
    Stop,        // the end of the text (or a tokeniser error)
};

// How a tag ends at a token that is neither an attribute's name nor its "=".
inline TagEnd TagEndAt(TokenKind kind) {
    if (kind == TokenKind::Close) {
        return TagEnd::Content;
    }
    return kind == TokenKind::EmptyClose ? TagEnd::Closed : TagEnd::Unexpected;
}

// Reads the attributes of a start tag from just behind its name up to ">" or "/>", handing
// each (name, value) to `sink`. Values keep their quotes; a declaration's value loses a
// trailing '?'; a name without "=" and value is dropped.
template <class Sink>
[[gnu::always_inline]] inline TagEnd ScanStartTag(Scanner& scanner, bool declaration, Sink&& sink) {
    int attributeState = 0;  // 0: expecting a name, 1: after a name, 2: after "="
    std::string_view attributeName;

    for (;;) {
        // Nearly every attribute is written name="value" (or with single quotes). Such an
        // attribute is taken here in one go; anything else, and any doubt, goes the general
        // way below from the same place, token by token.
        if (attributeState == 0) {
            const char* p = scanner.pos;
            if (p != scanner.end && ClassOf(*p) == kOrdinary && *p != '"' && *p != '\'') {
                const char* equals = FindRunEndCandidate(p + 1, scanner.end);
                if (equals + 1 < scanner.end && *equals == '=' &&
                    (equals[1] == '"' || equals[1] == '\'')) {
                    const char* close = FindByte(equals + 2, scanner.end, equals[1]);
                    if (close != scanner.end) {
                        sink(std::string_view(p, static_cast<size_t>(equals - p)),
                             std::string_view(equals + 1,
                                              static_cast<size_t>(close + 1 - equals - 1)));
                        scanner.pos = SkipSpace(close + 1, scanner.end);
                        continue;
                    }
                }
            }
            // The tag's end right here, as the general way would find it.
            if (p != scanner.end) {
                if (*p == '>') {
                    scanner.pos = p + 1;
                    return TagEnd::Content;
                }
                if (*p == '/' && p + 1 != scanner.end && p[1] == '>') {
                    scanner.pos = p + 2;
                    return TagEnd::Closed;
                }
            }
        }
        const TokenKind kind = scanner.Next();
        if (kind == TokenKind::End) {
            return TagEnd::Stop;
        }
        switch (attributeState) {
            case 0:
                if (kind == TokenKind::Text) {
                    attributeName = scanner.TokenText();
                    attributeState = 1;
                    // Usually the "=" follows the name directly. Then it is the next token
                    // (there is no white space to skip), and it is taken here at once.
                    if (scanner.pos != scanner.end && *scanner.pos == '=') {
                        ++scanner.pos;
                        attributeState = 2;
                    }
                } else {
                    return TagEndAt(kind);
                }
                break;
            case 1:
                if (kind == TokenKind::Text) {
                    attributeName = scanner.TokenText();
                } else if (kind == TokenKind::Equals) {
                    attributeState = 2;
                } else {
                    return TagEndAt(kind);
                }
                break;
            default:
                if (kind == TokenKind::Text || kind == TokenKind::Quoted) {
                    std::string_view value = scanner.TokenText();
                    if (declaration && value.back() == '?') {
                        value.remove_suffix(1);
                    }
                    sink(attributeName, value);
                    attributeState = 0;
                } else {
                    return TagEnd::Unexpected;
                }
                break;
        }
    }
}

}  // namespace norvane::xml_scan
