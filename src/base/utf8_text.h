// Catalog and project texts are bytes in whatever encoding their file was written in. These
// helpers tell whether a text is UTF-8 and cut it without splitting one of its characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvane {

// Whether `text` is well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF. An empty text and plain ASCII are UTF-8.
bool IsValidUtf8(std::string_view text);

// `text` cut to at most `width` bytes. A valid UTF-8 text is cut before a character that would
// not fit whole; any other text is cut at the byte width.
std::string CutToWidth(std::string_view text, size_t width);

}  // namespace norvane
