// Telling valid UTF-8 from other bytes, for output formats that must state their encoding
// (JSON, HTML) while names in a catalog may come in any encoding.
#pragma once

#include <cstddef>
#include <string_view>

namespace norvane {

// The length (1 to 4) of the valid UTF-8 sequence at the start of `text`, or 0 when it does not
// start with one: an empty text, a stray continuation byte, a cut sequence, an overlong form, a
// surrogate or a code point above U+10FFFF.
size_t Utf8SequenceLength(std::string_view text);

}  // namespace norvane
