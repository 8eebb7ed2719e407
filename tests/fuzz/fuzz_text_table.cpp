// Fuzz target for the text tables of language packs: a pack comes from outside the program,
// so whatever it holds must be read without crashing, and only well-formed keys may come out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/text_table.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto table = norvane::ParseTextTable(text);

    size_t lines = 1;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    Check(table.size() <= lines);
    for (const auto& [key, value] : table) {
        Check(!key.empty() && key.front() != '#');
        Check(!IsBlank(key.front()) && !IsBlank(key.back()));
        Check(key.find_first_of("=\n") == std::string_view::npos);
        // Escapes only ever shorten a value.
        Check(value.size() < size);
    }
    return 0;
}
