#include "cli/field_escape.h"

namespace norvane::cli {

std::string EscapeField(std::string_view field) {
    if (field.empty()) {
        return "\\0";
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte <= 0x20 || byte >= 0x7F) {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace norvane::cli
