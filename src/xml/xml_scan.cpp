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

void NodeStack::Grow() {
    const size_t capacity = capacity_ == 0 ? 256 : capacity_ * 2;
    auto data = std::make_unique_for_overwrite<XmlNode[]>(capacity);
    std::copy(data_.get(), data_.get() + size_, data.get());
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
