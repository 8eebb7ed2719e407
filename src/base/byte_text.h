// Bytes as text, the way every reader and writer of the program handles them: hexadecimal
// digits in both directions, blanks around a value, and a field of outside bytes written so
// that it can neither split a line of tokens nor upset a terminal. One table of digits for the
// whole program, so that no two writers can disagree on a digit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace norvane {

enum class HexCase { Lower, Upper };

// The digit of a value 0 to 15 ("0" to "f", or "F" in upper case); only the low four bits count.
char HexDigit(uint32_t value, HexCase letters = HexCase::Lower);
// The value of a hexadecimal digit of either case, or -1 for any other character.
int HexDigitValue(char c);
// Appends the byte as two digits, the high one first.
void AppendHexByte(std::string& out, uint8_t byte, HexCase letters = HexCase::Lower);
// Every byte as two digits, in order: "00ff10" for 00 FF 10.
std::string HexBytes(std::span<const uint8_t> bytes, HexCase letters = HexCase::Lower);

// A blank in the sense of the settings file and of typed numbers: a space or a tab.
constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
// `text` without the blanks at either end.
std::string_view TrimBlanks(std::string_view text);

// A text for a line of single-space separated tokens, kept readable: a backslash becomes
// "\\", each byte 0x00-0x1F or 0x7F-0xFF becomes "\xHH" (lowercase hex), and so does a space
// unless `blanks` is Keep; every other byte stays. The escapes can be read back unambiguously.
enum class Blanks { Escape, Keep };
std::string EscapeBytes(std::string_view text, Blanks blanks);
// One token of such a line: EscapeBytes with spaces escaped, and "\0" for an empty field, so
// that every field is at least one byte and the line keeps its number of tokens.
std::string EscapeField(std::string_view field);

}  // namespace norvane
