// The in-memory model shared by every XML file the tool reads or writes: a tree of elements,
// each keeping its attributes, child elements, texts and clear sections in one list, in
// document order.
//
// Lookups compare names ignoring ASCII letter case and match every stored name that *begins*
// with the searched one. Every operation accepts a null element (or an absent text) and then
// does nothing and returns null, so chained lookups never need intermediate checks.
//
// Storage: a tree is owned by its root. All names, values, element records and node arrays
// live in one arena per tree, so a parse allocates little and releasing a tree is one step.
// Texts handed to the add operations are copied into that arena.
#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

struct XmlElement {
    explicit XmlElement(XmlArena* owningArena);

    // Empty for the document root (and treated as "no name" wherever a name is asked for).
    std::string_view name;
    // Slots in use and slots reserved. `capacity` follows the callers' growth steps exactly;
    // the storage behind it grows geometrically so that long lists stay linear to build.
    int32_t count = 0;
    int32_t capacity = 0;
    int32_t isDeclaration = 0;        // opened with "<?"
    std::pmr::vector<XmlNode> nodes;  // nodes.size() == count
    XmlElement* parent = nullptr;
    XmlArena* arena;
    std::unique_ptr<XmlArena> ownedArena;  // set on the root only
};

// Bump allocator for one tree.
class XmlArena {
  public:
    XmlArena() = default;
    XmlArena(const XmlArena&) = delete;
    XmlArena& operator=(const XmlArena&) = delete;

    std::pmr::memory_resource* Resource() { return &resource_; }
    // Copies `text` into the arena; the view stays valid as long as the tree.
    std::string_view Store(std::string_view text);
    template <class T, class... Args>
    T* Make(Args&&... args) {
        void* place = resource_.allocate(sizeof(T), alignof(T));
        return ::new (place) T(std::forward<Args>(args)...);
    }

  private:
    std::pmr::monotonic_buffer_resource resource_;
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
bool XmlStartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace norvane
