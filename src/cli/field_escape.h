// How `safetycrc` writes a field that comes from a file: every line stays a sequence of
// single-space separated tokens whatever bytes the file holds.
#pragma once

#include <string>
#include <string_view>

namespace norvane::cli {

// A backslash becomes "\\", each byte 0x00-0x20 or 0x7F-0xFF becomes "\xHH" (lowercase hex),
// every other byte stays; an empty field is written "\0".
std::string EscapeField(std::string_view field);

}  // namespace norvane::cli
