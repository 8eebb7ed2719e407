// The text table of a language: every text of the window, its menu and its messages, looked up
// by key ("string.109", "control.1012", "menu.0", ...). Stored as UTF-8 lines "KEY = VALUE".
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace norvane {

// Reads a text table; a UTF-8 byte-order mark at its start is ignored. Blanks around the key
// and the value are dropped; empty lines, lines starting with '#' and lines without '=' are
// skipped; the first entry of a key wins. In a value "\n" is a line break, "\s" a blank and
// "\\" a backslash; any other backslash stays.
std::map<std::string, std::string> ParseTextTable(std::string_view text);

}  // namespace norvane
