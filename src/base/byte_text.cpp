#include "base/byte_text.h"

namespace norvane {

namespace {

constexpr std::string_view kLowerDigits = "0123456789abcdef";
constexpr std::string_view kUpperDigits = "0123456789ABCDEF";

}  // namespace

char HexDigit(uint32_t value, HexCase letters) {
    return (letters == HexCase::Upper ? kUpperDigits : kLowerDigits)[value & 0x0Fu];
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendHexByte(std::string& out, uint8_t byte, HexCase letters) {
    out += HexDigit(uint32_t{byte} >> 4, letters);
    out += HexDigit(byte, letters);
}

std::string HexBytes(std::span<const uint8_t> bytes, HexCase letters) {
    std::string text;
    text.reserve(2 * bytes.size());
    for (const uint8_t byte : bytes) {
        AppendHexByte(text, byte, letters);
    }
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string EscapeBytes(std::string_view text, Blanks blanks) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte >= 0x7F || (byte == ' ' && blanks == Blanks::Escape)) {
            out += "\\x";
            AppendHexByte(out, byte);
        } else {
            out += c;
        }
    }
    return out;
}

std::string EscapeField(std::string_view field) {
    return field.empty() ? std::string("\\0") : EscapeBytes(field, Blanks::Escape);
}

}  // namespace norvane
