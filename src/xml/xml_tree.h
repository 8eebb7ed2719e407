// The in-memory model shared by every XML file the tool reads or writes: a tree of elements,
// each keeping its attributes, child elements, texts and clear sections in one list, in
// document order.
//
// Lookups compare names ignoring ASCII letter case and match every stored name that *begins*
// with the searched one. Every operation accepts a null element (or an absent text) and then
// does nothing and returns null, so chained lookups never need intermediate checks.
//
// Storage: a tree is owned by its root. Element records, node arrays and texts handed to the
// add operations live in one arena per tree, so a parse allocates little and releasing a tree
// is one step. A parsed tree also keeps the text it was read from: its names and values are
// views into that text, never copies. An element's attribute records are made from its start
// tag the first time its node list is read (a large catalog is mostly attributes, and most of
// them are never asked for); until then the list holds only the element's content, and `count`
// and `size()` already include the attributes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace norvane {

enum class XmlNodeKind : int32_t { Empty = 0, Attribute = 1, Element = 2, Text = 3, Clear = 4 };

// A pair of markers between which text is taken over verbatim.
struct XmlClearTag {
    std::string_view openTag;
    std::string_view closeTag;
};

// The fixed marker table, in the order the parser tries it.
std::span<const XmlClearTag> XmlClearTags();

struct XmlElement;

struct XmlAttribute {
    std::string_view name;
    std::string_view value;  // exactly as written, quote characters included
};

struct XmlText {
    std::string_view value;
};

struct XmlClear {
    std::string_view openTag;  // points into the static marker table
    std::string_view value;
    std::string_view closeTag;
};

struct XmlNode {
    XmlNodeKind kind = XmlNodeKind::Empty;
    void* object = nullptr;

    const XmlAttribute* AsAttribute() const {
        return kind == XmlNodeKind::Attribute ? static_cast<const XmlAttribute*>(object) : nullptr;
    }
    const XmlElement* AsElement() const {
        return kind == XmlNodeKind::Element ? static_cast<const XmlElement*>(object) : nullptr;
    }
    XmlElement* AsElement() {
        return kind == XmlNodeKind::Element ? static_cast<XmlElement*>(object) : nullptr;
    }
    const XmlText* AsText() const {
        return kind == XmlNodeKind::Text ? static_cast<const XmlText*>(object) : nullptr;
    }
    const XmlClear* AsClear() const {
        return kind == XmlNodeKind::Clear ? static_cast<const XmlClear*>(object) : nullptr;
    }
};

class XmlArena;

// An element's node list: a view of `size()` slots in the tree's arena. Only the tree's own
// operations and the parser change it; everyone else reads it like a read-only array. Reading
// the slots of a parsed element for the first time makes its attribute records (see above).
class XmlNodeList {
  public:
    using value_type = XmlNode;
    using iterator = XmlNode*;
    using const_iterator = const XmlNode*;

    XmlNode* begin() { return Complete(); }
    XmlNode* end() { return Complete() + size_; }
    const XmlNode* begin() const { return Complete(); }
    const XmlNode* end() const { return Complete() + size_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    XmlNode& operator[](size_t index) { return Complete()[index]; }
    const XmlNode& operator[](size_t index) const { return Complete()[index]; }

    // For walks that look for child elements only (XmlNextElement, XmlFindElement): how many
    // slots at the front are attributes still to be read, and the slots behind them, so that a
    // walk over the children reads no attributes. Slot i (i >= UnreadAttributes()) is
    // SlotsBehindUnread()[i - UnreadAttributes()].
    uint32_t UnreadAttributes() const { return tag_ != nullptr ? size_ - reserved_ : 0; }
    const XmlNode* SlotsBehindUnread() const { return data_; }

    // Appends one slot, moving the list to a larger arena array when its storage is full.
    void Push(XmlArena& arena, XmlNode node);
    // Takes over `size` slots that already live in the arena and are filled (the parser hands
    // over each list in one piece when the element ends). When `attributes` is not zero, the
    // slots are the element's content only, and its first `attributes` slots are still to be
    // read from the start tag, whose attributes begin at `tag`.
    void Adopt(XmlNode* data, uint32_t size, uint32_t attributes = 0, const char* tag = nullptr) {
        data_ = data;
        size_ = size + attributes;
        reserved_ = size;
        tag_ = attributes != 0 ? tag : nullptr;
    }

  private:
    XmlNode* Complete() const {
        if (tag_ != nullptr) [[unlikely]] {
            ReadAttributes();
        }
        return data_;
    }
    // Makes the attribute records from the start tag and puts them before the content.
    void ReadAttributes() const;

    // The lazily completed parts change under a const view: reading a tree is what completes
    // it. Trees are never shared between threads.
    mutable XmlNode* data_ = nullptr;
    mutable const char* tag_ = nullptr;  // start of the unread attributes, or null
    uint32_t size_ = 0;
    mutable uint32_t reserved_ = 0;  // slots behind data_; independent of `capacity`
};

struct XmlElement {
    // Empty for the document root (and treated as "no name" wherever a name is asked for).
    std::string_view name;
    XmlNodeList nodes;  // nodes.size() == count
    XmlElement* parent = nullptr;
    // Slots in use and slots reserved. `capacity` follows the callers' growth steps exactly;
    // the storage behind it grows geometrically so that long lists stay linear to build.
    int32_t count = 0;
    int32_t capacity = 0;
    int32_t isDeclaration = 0;  // opened with "<?"
};

// Bump allocator for one tree. Memory comes in blocks of a bounded size: a large tree is made
// of many moderate blocks, so what it costs (in memory and in pages touched) grows with its
// size alone, not in geometric steps, and no single allocation grows with the document.
class XmlArena {
  public:
    XmlArena() = default;
    ~XmlArena();
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;

    // Room for a record. `align` must be a power of two no larger than
    // alignof(std::max_align_t).
    void* Allocate(size_t size, size_t align) {
        const size_t pad = (0 - reinterpret_cast<uintptr_t>(records_.cursor)) & (align - 1);
        if (pad + size <= static_cast<size_t>(records_.limit - records_.cursor)) {
            char* place = records_.cursor + pad;
            records_.cursor = place + size;
            return place;
        }
        return AllocateSlow(records_, size, align);
    }
    // Room for the bytes of a text. Texts are kept apart from the records so that they need
    // no alignment padding.
    char* AllocateBytes(size_t size) {
        if (size <= static_cast<size_t>(bytes_.limit - bytes_.cursor)) {
            char* place = bytes_.cursor;
            bytes_.cursor += size;
            return place;
        }
        return static_cast<char*>(AllocateSlow(bytes_, size, 1));
    }
    // Copies `text` into the arena; the view stays valid as long as the tree.
    std::string_view Store(std::string_view text);
    template <class T, class... Args>
    T* Make(Args&&... args) {
        return ::new (Allocate(sizeof(T), alignof(T))) T(std::forward<Args>(args)...);
    }

    // The text a parsed tree was read from, all of it as handed to the parser, and the part
    // that was parsed (up to the end or the first NUL byte). The tree either owns a copy in
    // the arena or has taken the caller's string over.
    std::string_view AdoptSource(std::string text) {
        ownedSource_ = std::move(text);
        return ownedSource_;
    }
    std::string ReleaseSource() {
        source_ = {};
        parsedEnd_ = nullptr;
        return std::move(ownedSource_);
    }
    void SetSource(std::string_view whole, size_t parsed) {
        source_ = whole;
        parsedEnd_ = whole.data() + parsed;
    }
    std::string_view source() const { return source_; }
    const char* parsedEnd() const { return parsedEnd_; }

  private:
    struct Block;
    // The free part of the block that a kind of allocation is currently served from.
    struct Region {
        char* cursor = nullptr;
        char* limit = nullptr;
    };
    static size_t HeaderUnits();
    void* AllocateSlow(Region& region, size_t size, size_t align);

    Region records_;
    Region bytes_;
    Block* blocks_ = nullptr;  // newest first
    size_t nextBlockSize_ = 0;
    std::string ownedSource_;
    std::string_view source_;
    const char* parsedEnd_ = nullptr;
};

struct XmlRootDeleter {
    void operator()(XmlElement* root) const;
};
// A whole tree; destroying it releases every element, text and name below the root.
using XmlRoot = std::unique_ptr<XmlElement, XmlRootDeleter>;

// An absent text ("none") is std::nullopt; an empty text is present.
using XmlTextArg = std::optional<std::string_view>;

XmlRoot XmlCreateRoot();
void XmlDeleteRoot(XmlRoot& root);

// The arena of the tree that `element` belongs to (it is the root's: elements find it through
// their parents, so that no element record carries a pointer of its own for it).
XmlArena& XmlArenaOf(const XmlElement* element);

// The whole text a parsed tree was read from (its names and values are views into it), as it
// was handed to the parser, bytes after a NUL included; empty for a tree that was built, not
// parsed. Any element of the tree gives the same text.
std::string_view XmlDocumentText(const XmlElement* element);

XmlElement* XmlAddElement(XmlElement* parent, XmlTextArg name, int32_t isDeclaration,
                          int32_t nGrowBy);
XmlAttribute* XmlAddAttribute(XmlElement* element, XmlTextArg name, XmlTextArg value,
                              int32_t nGrowBy);
XmlText* XmlAddText(XmlElement* element, XmlTextArg value, int32_t nGrowBy);
XmlClear* XmlAddClear(XmlElement* element, XmlTextArg value, const XmlClearTag* tag,
                      int32_t nGrowBy);

// Navigation. The cursor starts at 0 and is advanced by the call.
const XmlNode* XmlNextNode(const XmlElement* element, int32_t& cursor);
const XmlElement* XmlNextElement(const XmlElement* element, int32_t& cursor);
const XmlAttribute* XmlNextAttribute(const XmlElement* element, int32_t& cursor);

// First attribute whose name begins with `name`, case ignored.
const XmlAttribute* XmlFindAttribute(const XmlElement* element, std::string_view name);
// Follows a "/"-separated path of name prefixes through the first matching children, without
// backtracking.
const XmlElement* XmlFindElement(const XmlElement* element, std::string_view path);
// Like XmlFindElement for the inner segments, but reuses only existing intermediate elements:
// the last segment always appends a new element.
XmlElement* XmlCreatePath(XmlElement* element, std::string_view path);

// The text without one leading and one trailing double quote; none if nothing is left.
std::optional<std::string> XmlStripQuotes(XmlTextArg text);
// The text in double quotes ("" for none or empty).
std::string XmlQuote(XmlTextArg text);
// A plain copy; none for none or empty.
std::optional<std::string> XmlStrDup(XmlTextArg text);

// True when `text` begins with `prefix`, comparing ASCII letters without regard to case.
// Inline because the parser asks it for every start and end tag.
inline bool XmlStartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char a = text[i];
        const char b = prefix[i];
        if (a != b) {
            // Equal after folding only if both are the same letter in different case.
            const char folded = static_cast<char>(a | 0x20);
            if (folded != static_cast<char>(b | 0x20) || folded < 'a' || folded > 'z') {
                return false;
            }
        }
    }
    return true;
}

}  // namespace norvane
