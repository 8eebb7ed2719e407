#include "xml/xml_tree.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "xml/xml_scan.h"

namespace norvane {

namespace {

constexpr XmlClearTag kClearTags[] = {
    {"<![CDATA[", "]]>"}, {"<PRE>", "</PRE>"}, {"<Script>", "</Script>"},
    {"<!--", "-->"},      {"<!DOCTYPE", ">"},
};

// Blocks start small, so that the many tiny documents (project files, TPF files) stay cheap, and
// double up to a fixed size, so that a large tree wastes at most part of one block and never
// asks for the huge single allocations that the C library maps afresh for every parse.
constexpr size_t kFirstBlockSize = size_t{4} << 10;
constexpr size_t kMaxBlockSize = size_t{1} << 20;

// Reserves one more slot, growing the defined capacity by the caller's step when the list is
// full. Returns false (and changes nothing) for a non-positive step.
bool MakeRoom(XmlElement* element, int32_t nGrowBy) {
    if (nGrowBy <= 0) {
        return false;
    }
    if (element->count == element->capacity) {
        element->capacity += nGrowBy;
    }
    return true;
}

template <class T>
T* Append(XmlElement* element, XmlNodeKind kind, T* object) {
    element->nodes.Push(XmlArenaOf(element), XmlNode{kind, object});
    ++element->count;
    return object;
}

}  // namespace

std::span<const XmlClearTag> XmlClearTags() {
    return kClearTags;
}

// Each block starts with this header; the usable bytes follow it.
struct XmlArena::Block {
    Block* next;
    size_t units;  // size of the whole block in units of std::max_align_t
};

namespace {

// Blocks are allocated in these units, which keeps every block suitably aligned for any record.
using BlockUnit = std::max_align_t;

}  // namespace

size_t XmlArena::HeaderUnits() {
    return (sizeof(Block) + sizeof(BlockUnit) - 1) / sizeof(BlockUnit);
}

XmlArena::~XmlArena() {
    std::allocator<BlockUnit> allocator;
    while (blocks_ != nullptr) {
        Block* block = blocks_;
        blocks_ = block->next;
        allocator.deallocate(reinterpret_cast<BlockUnit*>(block), block->units);
    }
}

void* XmlArena::AllocateSlow(Region& region, size_t size, size_t align) {
    if (nextBlockSize_ == 0) {
        nextBlockSize_ = kFirstBlockSize;
    }
    // A request too big for a regular block gets a block of its own; the current block stays
    // in use for the small records that follow.
    const bool own = size + align > nextBlockSize_ / 4;
    const size_t bytes = own ? size + align : nextBlockSize_;
    const size_t units = HeaderUnits() + (bytes + sizeof(BlockUnit) - 1) / sizeof(BlockUnit);
    BlockUnit* memory = std::allocator<BlockUnit>().allocate(units);
    auto* block = ::new (memory) Block{blocks_, units};
    blocks_ = block;
    char* first = reinterpret_cast<char*>(memory + HeaderUnits());
    char* last = reinterpret_cast<char*>(memory + units);
    if (own) {
        const size_t pad = (0 - reinterpret_cast<uintptr_t>(first)) & (align - 1);
        return first + pad;
    }
    region.cursor = first + size;
    region.limit = last;
    nextBlockSize_ = std::min(nextBlockSize_ * 2, kMaxBlockSize);
    return first;
}

std::string_view XmlArena::Store(std::string_view text) {
    if (text.empty()) {
        return "";  // a view of no bytes that still points somewhere
    }
    char* place = AllocateBytes(text.size());
    std::memcpy(place, text.data(), text.size());
    return {place, text.size()};
}

void XmlNodeList::Push(XmlArena& arena, XmlNode node) {
    Complete();
    if (size_ == reserved_) {
        // Doubling keeps long lists linear to build; the old array stays in the arena until the
        // tree goes, which costs at most as much again.
        const uint32_t reserved = reserved_ < 4 ? 4 : reserved_ * 2;
        auto* data =
            static_cast<XmlNode*>(arena.Allocate(reserved * sizeof(XmlNode), alignof(XmlNode)));
        if (size_ != 0) {
            std::memcpy(static_cast<void*>(data), data_, size_ * sizeof(XmlNode));
        }
        data_ = data;
        reserved_ = reserved;
    }
    data_[size_++] = node;
}

void XmlNodeList::ReadAttributes() const {
    // The list is a member of its element, which says where the tree's text ends and whether
    // the tag is a declaration's.
    const auto* element = reinterpret_cast<const XmlElement*>(reinterpret_cast<const char*>(this) -
                                                              offsetof(XmlElement, nodes));
    XmlArena& arena = XmlArenaOf(element);
    const uint32_t content = reserved_;
    const uint32_t attributes = size_ - content;
    auto* nodes = static_cast<XmlNode*>(arena.Allocate(size_ * sizeof(XmlNode), alignof(XmlNode)));
    uint32_t read = 0;
    xml_scan::Scanner scanner(tag_, arena.parsedEnd());
    xml_scan::ScanStartTag(
        scanner, element->isDeclaration != 0, [&](std::string_view name, std::string_view value) {
            // The parser counted exactly these attributes in the same tag.
            if (read < attributes) {
                nodes[read++] = XmlNode{XmlNodeKind::Attribute,
                                        arena.Make<XmlAttribute>(XmlAttribute{name, value})};
            }
        });
    for (; read < attributes; ++read) {
        nodes[read] = XmlNode{};
    }
    if (content != 0) {
        std::memcpy(static_cast<void*>(nodes + attributes), data_, content * sizeof(XmlNode));
    }
    data_ = nodes;
    reserved_ = size_;
    tag_ = nullptr;
}

namespace {

// The root of every tree: the root element with the arena that holds everything below it.
struct XmlTree : XmlElement {
    XmlArena arena;
};

}  // namespace

XmlArena& XmlArenaOf(const XmlElement* element) {
    while (element->parent != nullptr) {
        element = element->parent;
    }
    return static_cast<XmlTree*>(const_cast<XmlElement*>(element))->arena;
}

void XmlRootDeleter::operator()(XmlElement* root) const {
    // Everything below the root lives in its arena; the element records hold nothing outside
    // it, so releasing the root with its arena releases the whole tree.
    const std::unique_ptr<XmlTree> tree(static_cast<XmlTree*>(root));
}

XmlRoot XmlCreateRoot() {
    return XmlRoot(std::make_unique<XmlTree>().release());
}

void XmlDeleteRoot(XmlRoot& root) {
    root.reset();
}

std::string_view XmlDocumentText(const XmlElement* element) {
    return element != nullptr ? XmlArenaOf(element).source() : std::string_view();
}

XmlElement* XmlAddElement(XmlElement* parent, XmlTextArg name, int32_t isDeclaration,
                          int32_t nGrowBy) {
    if (parent == nullptr || !name || !MakeRoom(parent, nGrowBy)) {
        return nullptr;
    }
    XmlArena* arena = &XmlArenaOf(parent);
    auto* child = arena->Make<XmlElement>();
    child->name = arena->Store(*name);
    child->isDeclaration = isDeclaration;
    child->parent = parent;
    return Append(parent, XmlNodeKind::Element, child);
}

XmlAttribute* XmlAddAttribute(XmlElement* element, XmlTextArg name, XmlTextArg value,
                              int32_t nGrowBy) {
    if (element == nullptr || !name || !value || !MakeRoom(element, nGrowBy)) {
        return nullptr;
    }
    XmlArena* arena = &XmlArenaOf(element);
    auto* attribute =
        arena->Make<XmlAttribute>(XmlAttribute{arena->Store(*name), arena->Store(*value)});
    return Append(element, XmlNodeKind::Attribute, attribute);
}

XmlText* XmlAddText(XmlElement* element, XmlTextArg value, int32_t nGrowBy) {
    if (element == nullptr || !value || !MakeRoom(element, nGrowBy)) {
        return nullptr;
    }
    XmlArena* arena = &XmlArenaOf(element);
    auto* text = arena->Make<XmlText>(XmlText{arena->Store(*value)});
    return Append(element, XmlNodeKind::Text, text);
}

XmlClear* XmlAddClear(XmlElement* element, XmlTextArg value, const XmlClearTag* tag,
                      int32_t nGrowBy) {
    if (element == nullptr || !value || tag == nullptr || !MakeRoom(element, nGrowBy)) {
        return nullptr;
    }
    XmlArena* arena = &XmlArenaOf(element);
    auto* clear =
        arena->Make<XmlClear>(XmlClear{tag->openTag, arena->Store(*value), tag->closeTag});
    return Append(element, XmlNodeKind::Clear, clear);
}

const XmlNode* XmlNextNode(const XmlElement* element, int32_t& cursor) {
    if (element == nullptr || cursor < 0 || cursor >= element->count) {
        return nullptr;
    }
    return &element->nodes[static_cast<size_t>(cursor++)];
}

const XmlElement* XmlNextElement(const XmlElement* element, int32_t& cursor) {
    if (element == nullptr) {
        return nullptr;
    }
    // Attributes not read yet are skipped without reading them: a walk over a large catalog's
    // elements (the manufacturers are looked for at any depth) would otherwise make every
    // attribute record of the document.
    const auto unread = static_cast<int32_t>(element->nodes.UnreadAttributes());
    const XmlNode* slots = element->nodes.SlotsBehindUnread();
    for (cursor = std::max(cursor, unread); cursor < element->count;) {
        const XmlNode& node = slots[cursor++ - unread];
        if (const XmlElement* child = node.AsElement()) {
            return child;
        }
    }
    cursor = element->count;
    return nullptr;
}

const XmlAttribute* XmlNextAttribute(const XmlElement* element, int32_t& cursor) {
    if (element == nullptr) {
        return nullptr;
    }
    for (cursor = cursor < 0 ? 0 : cursor; cursor < element->count;) {
        const XmlNode& node = element->nodes[static_cast<size_t>(cursor++)];
        if (const XmlAttribute* attribute = node.AsAttribute()) {
            return attribute;
        }
    }
    cursor = element->count;
    return nullptr;
}

const XmlAttribute* XmlFindAttribute(const XmlElement* element, std::string_view name) {
    if (element == nullptr || name.empty()) {
        return nullptr;
    }
    int32_t cursor = 0;
    while (const XmlAttribute* attribute = XmlNextAttribute(element, cursor)) {
        if (XmlStartsWithNoCase(attribute->name, name)) {
            return attribute;
        }
    }
    return nullptr;
}

namespace {

struct PathSplit {
    std::string_view segment;
    std::string_view rest;  // empty when nothing follows the first "/"
};

PathSplit SplitPath(std::string_view path) {
    const size_t slash = path.find('/');
    if (slash == std::string_view::npos) {
        return {path, {}};
    }
    return {path.substr(0, slash), path.substr(slash + 1)};
}

XmlElement* FirstChildStartingWith(const XmlElement* element, std::string_view segment) {
    const auto unread = static_cast<int32_t>(element->nodes.UnreadAttributes());
    const XmlNode* slots = element->nodes.SlotsBehindUnread();
    for (auto i = unread; i < static_cast<int32_t>(element->nodes.size()); ++i) {
        const XmlNode& node = slots[i - unread];
        if (node.kind == XmlNodeKind::Element) {
            auto* child = static_cast<XmlElement*>(node.object);
            if (XmlStartsWithNoCase(child->name, segment)) {
                return child;
            }
        }
    }
    return nullptr;
}

}  // namespace

const XmlElement* XmlFindElement(const XmlElement* element, std::string_view path) {
    // Iterative so that a long path cannot exhaust the stack.
    while (element != nullptr) {
        const PathSplit split = SplitPath(path);
        if (split.segment.empty()) {
            return nullptr;
        }
        const XmlElement* child = FirstChildStartingWith(element, split.segment);
        if (child == nullptr || split.rest.empty()) {
            return child;
        }
        element = child;
        path = split.rest;
    }
    return nullptr;
}

XmlElement* XmlCreatePath(XmlElement* element, std::string_view path) {
    while (element != nullptr) {
        const PathSplit split = SplitPath(path);
        if (split.segment.empty()) {
            return nullptr;
        }
        XmlElement* next = nullptr;
        if (!split.rest.empty()) {
            next = FirstChildStartingWith(element, split.segment);
        }
        if (next == nullptr) {
            next = XmlAddElement(element, split.segment, 0, 5);
        }
        if (split.rest.empty()) {
            return next;
        }
        element = next;
        path = split.rest;
    }
    return nullptr;
}

std::optional<std::string> XmlStripQuotes(XmlTextArg text) {
    if (!text || text->empty()) {
        return std::nullopt;
    }
    std::string_view t = *text;
    if (t.front() == '"') {
        t.remove_prefix(1);
    }
    if (!t.empty() && t.back() == '"') {
        t.remove_suffix(1);
    }
    if (t.empty()) {
        return std::nullopt;
    }
    return std::string(t);
}

std::string XmlQuote(XmlTextArg text) {
    std::string quoted;
    const std::string_view inner = text ? *text : std::string_view();
    quoted.reserve(inner.size() + 2);
    quoted += '"';
    quoted += inner;
    quoted += '"';
    return quoted;
}

std::optional<std::string> XmlStrDup(XmlTextArg text) {
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return std::string(*text);
}

}  // namespace norvane
