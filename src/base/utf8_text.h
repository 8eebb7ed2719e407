// Catalog and project texts are bytes in whatever encoding their file was written in. These
// helpers tell whether a text is UTF-8 and cut it without splitting one of its characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace norvane {

// The length (1 to 4) of the valid UTF-8 sequence at the start of `text`, or 0 when it does not
// start with one: an empty text, a stray continuation byte, a cut sequence, an overlong form, a
// surrogate or a code point above U+10FFFF.
size_t Utf8SequenceLength(std::string_view text);

// Whether `text` is well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF. An empty text and plain ASCII are UTF-8.
bool IsValidUtf8(std::string_view text);

// `text` cut to at most `width` bytes. A valid UTF-8 text is cut before a character that would
// not fit whole; any other text is cut at the byte width.
std::string CutToWidth(std::string_view text, size_t width);

}  // namespace norvane
