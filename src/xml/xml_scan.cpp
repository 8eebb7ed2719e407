#include "xml/xml_scan.h"

#include <algorithm>
#include <cstring>

namespace norvane::xml_scan {

namespace {

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

}  // namespace

const std::array<uint8_t, 256> kByteClasses = MakeByteClasses();

NodeStack::NodeStack(size_t capacity) {
    capacity_ = std::max<size_t>(capacity, 256);
    data_ = {std::allocator<XmlNode>().allocate(capacity_), Release{capacity_}};
}

void NodeStack::Grow() {
    const size_t capacity = capacity_ * 2;
    std::unique_ptr<XmlNode, Release> data(std::allocator<XmlNode>().allocate(capacity),
                                           Release{capacity});
    std::memcpy(static_cast<void*>(data.get()), data_.get(), size_ * sizeof(XmlNode));
    data_ = std::move(data);
    capacity_ = capacity;
}

const XmlClearTag* Scanner::MatchClearTag(const char* at) const {
    const std::string_view rest(at, static_cast<size_t>(end - at));
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

}  // namespace norvane::xml_scan
