#include "settings/ini_file.h"

#include <optional>

#include <unistd.h>

#include "base/byte_text.h"
#include "base/decimal_text.h"
#include "base/whole_file.h"
#include "settings/settings_storage.h"

namespace norvane {

namespace {

// Editors on Windows like to start a UTF-8 file with a byte-order mark; without skipping it
// the first section header would not be recognised.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// A temporary file that a writer left behind is only taken for abandoned once it is this old:
// a write takes milliseconds, and a writer of another program version might not lock.
constexpr int64_t kAbandonedTemporaryAge = 60;

// The file's bytes; nothing for a missing file, a folder, a FIFO or device, or a read error.
// An empty file is a file: a write into it must still succeed.
std::optional<std::string> LoadFile(const std::string& path) {
    try {
        return Storage().readRegularFile(path);
    } catch (const FileError&) {
        return std::nullopt;
    }
}

// One line of the file as offsets into its text.
struct Line {
    size_t begin = 0;  // first byte
    size_t end = 0;    // end of the content, before the line ending
    size_t next = 0;   // first byte of the following line
};

// Splits a text at LF. A CR before the LF, or a CR that ends the text, belongs to the line
// ending, so CRLF files read like LF files. A byte-order mark is no part of the first line.
class LineReader {
  public:
    explicit LineReader(std::string_view text)
        : text_(text),
          position_(text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0) {}

    bool Next(Line& line) {
        if (position_ >= text_.size()) {
            return false;
        }
        line.begin = position_;
        const size_t lf = text_.find('\n', position_);
        line.end = lf == std::string_view::npos ? text_.size() : lf;
        line.next = lf == std::string_view::npos ? text_.size() : lf + 1;
        if (line.end > line.begin && text_[line.end - 1] == '\r') {
            --line.end;
        }
        position_ = line.next;
        return true;
    }

  private:
    std::string_view text_;
    size_t position_;
};

// Where a key is, or where it would go.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    // The section's last non-blank line (its header when it has nothing else): a new key goes
    // after it, so that blank lines before the next section stay where they are.
    Line last;
    // The key's value without its surrounding blanks, as offsets into the text.
    size_t valueBegin = 0;
    size_t valueEnd = 0;
};

KeyPlace FindKey(std::string_view text, std::string_view section, std::string_view key) {
    KeyPlace place;
    bool inSection = false;
    LineReader lines(text);
    Line line;
    while (lines.Next(line)) {
        const std::string_view content = text.substr(line.begin, line.end - line.begin);
        const std::string_view trimmed = TrimBlanks(content);
        if (!trimmed.empty() && trimmed.front() == '[') {
            if (inSection) {
                break;  // only the first section of that name counts
            }
            std::string_view name = trimmed.substr(1);
            name = name.substr(0, name.find(']'));
            if (EqualsIgnoringCase(TrimBlanks(name), section)) {
                inSection = true;
                place.sectionFound = true;
                place.last = line;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!trimmed.empty()) {
            place.last = line;
        }
        const size_t equals = content.find('=');
        if (equals == std::string_view::npos ||
            !EqualsIgnoringCase(TrimBlanks(content.substr(0, equals)), key)) {
            continue;
        }
        size_t begin = line.begin + equals + 1;
        size_t end = line.end;
        while (begin < end && IsBlank(text[begin])) {
            ++begin;
        }
        while (end > begin && IsBlank(text[end - 1])) {
            --end;
        }
        place.keyFound = true;
        place.valueBegin = begin;
        place.valueEnd = end;
        break;
    }
    return place;
}

// The key's value as a reader sees it; nothing when the file or the key is missing.
std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key) {
    const std::optional<std::string> text = LoadFile(path);
    if (!text) {
        return std::nullopt;
    }
    const KeyPlace place = FindKey(*text, section, key);
    if (!place.keyFound) {
        return std::nullopt;
    }
    std::string_view value(text->data() + place.valueBegin, place.valueEnd - place.valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, value.find('\0')));
}

// Whether the reader would change the value: it drops blanks around a value and one pair of
// enclosing quotes.
bool NeedsQuotes(std::string_view value) {
    if (value.empty()) {
        return false;
    }
    const bool enclosed = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                          value.back() == value.front();
    return enclosed || IsBlank(value.front()) || IsBlank(value.back());
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A name that reads back as itself once written.
bool IsWritableName(std::string_view name) {
    return !name.empty() && !HasLineBreakOrNul(name) && TrimBlanks(name).size() == name.size();
}

// The line ending of added lines: the one the file already uses.
std::string_view LineEndingOf(std::string_view text) {
    const size_t lf = text.find('\n');
    return lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r' ? "\r\n" : "\n";
}

// Ends the last line of `text` if it is unfinished, so that what follows starts a line.
void FinishLastLine(std::string& text, std::string_view lineEnding) {
    if (text.empty() || text.back() == '\n' || text == kUtf8Bom) {
        return;
    }
    // A lone CR at the end is half of a CRLF already.
    text += text.back() == '\r' ? std::string_view("\n") : lineEnding;
}

// The file's text with the key set to `value`, quoted where the reader would change it.
std::string UpdatedText(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::string written;
    if (NeedsQuotes(value)) {
        written += '"';
        written += value;
        written += '"';
    } else {
        written = value;
    }
    const std::string_view lineEnding = LineEndingOf(text);
    const KeyPlace place = FindKey(text, section, key);

    std::string updated;
    updated.reserve(text.size() + section.size() + key.size() + written.size() + 8);
    if (place.keyFound) {
        // Only the old value goes; the key's spelling and the blanks around it stay.
        updated.append(text.substr(0, place.valueBegin));
        updated += written;
        updated.append(text.substr(place.valueEnd));
    } else {
        const size_t at = place.sectionFound ? place.last.next : text.size();
        updated.append(text.substr(0, at));
        FinishLastLine(updated, lineEnding);
        if (!place.sectionFound) {
            updated += '[';
            updated += section;
            updated += ']';
            updated += lineEnding;
        }
        updated += key;
        updated += '=';
        updated += written;
        updated += lineEnding;
        updated.append(text.substr(at));
    }
    return updated;
}

}  // namespace

uint32_t IniReadInt(const std::string& path, std::string_view section, std::string_view key,
                    uint32_t defaultValue) {
    const std::optional<std::string> value = ReadValue(path, section, key);
    // An empty value holds no number; the caller's default says more than a made-up 0.
    if (!value || value->empty()) {
        return defaultValue;
    }
    return ParseLeadingDecimal(*value);
}

std::string IniReadString(const std::string& path, std::string_view section, std::string_view key,
                          std::string_view defaultValue, size_t bufferSize) {
    if (bufferSize == 0) {
        return {};  // not even room for the terminator
    }
    std::string value = ReadValue(path, section, key).value_or(std::string(defaultValue));
    if (value.size() > bufferSize - 1) {
        value.resize(bufferSize - 1);
    }
    return value;
}

bool IniWriteString(const std::string& path, std::string_view section, std::string_view key,
                    std::string_view value) {
    if (!IsWritableName(section) || section.find(']') != std::string_view::npos ||
        !IsWritableName(key) || key.find('=') != std::string_view::npos || key.front() == '[' ||
        HasLineBreakOrNul(value)) {
        return false;
    }
    // The file is replaced by a rename, which the folder's rights allow even for a file the
    // user may not write; the profile functions refuse such a file, and so do we. A missing
    // file fails here too, before a lock file is made beside it.
    if (FileHooks().access(path.c_str(), W_OK) != 0) {
        return false;
    }
    try {
        // Read, change and replace under one lock, so that a concurrent writer's change is
        // never replaced by a text that was read before it.
        const StorageLock lock(path);
        Storage().removeStaleTemporaries(path, kAbandonedTemporaryAge);
        const std::optional<std::string> text = LoadFile(path);
        if (!text) {
            return false;
        }
        Storage().writeWholeFile(UpdatedText(*text, section, key, value), path);
    } catch (const FileError&) {
        return false;
    }
    return true;
}

}  // namespace norvane
