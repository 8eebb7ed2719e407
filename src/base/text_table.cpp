#include "base/text_table.h"

namespace norvane {

namespace {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Unescape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 's' || next == '\\') {
                out += next == 'n' ? '\n' : next == 's' ? ' ' : '\\';
                ++i;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

}  // namespace

std::map<std::string, std::string> ParseTextTable(std::string_view text) {
    std::map<std::string, std::string> table;
    // Editors on Windows like to start UTF-8 files with a byte-order mark; left in place it
    // would become part of the first key, and that text would silently go missing.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trim(line.substr(0, equals));
        if (!key.empty()) {
            table.emplace(std::string(key), Unescape(Trim(line.substr(equals + 1))));
        }
    }
    return table;
}

}  // namespace norvane
