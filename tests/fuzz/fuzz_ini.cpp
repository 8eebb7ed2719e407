// Fuzz target for the INI layer: whatever the settings file holds, reads end without crashing
// and give the reader's buffer at most its size; a write that succeeds reads back as written
// and leaves every other key as it was. The file lives in memory, through the file hooks, so
// that a run costs no disk writes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "base/whole_file.h"
#include "settings/ini_file.h"
#include "settings/settings_storage.h"

namespace {

constexpr const char* kPath = "/in-memory/settings.ini";
std::string g_file;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void KeepFilesInMemory() {
    norvane::FileHooks().access = [](const char*, int) { return 0; };
    norvane::SettingsStorage& hooks = norvane::Storage();
    hooks.readRegularFile = [](const std::string& path) {
        if (path != kPath) {
            throw norvane::FileError();
        }
        return g_file;
    };
    hooks.writeWholeFile = [](std::string_view text, const std::string& path) {
        if (path != kPath) {
            throw norvane::FileError();
        }
        g_file.assign(text);
    };
    hooks.removeStaleTemporaries = [](const std::string&, int64_t) {};
    hooks.lock = [](const std::string&) { return 0; };
    hooks.unlock = [](const std::string&, int) {};
}

// The keys every run looks at: the sections and keys the program uses, in other letter case
// too, and one of no meaning. Few, because each read scans the whole file.
struct Probe {
    const char* section;
    const char* key;
};
constexpr Probe kProbes[] = {
    {"COMMON", "EditModeEnabled"},     {"COMMON", "ProjectFolderPath"},
    {"common", "SELECTEDLANGUAGE"},    {"LANGUAGE01", "DisplayName"},
    {"language02", "MD5CheckSumConf"}, {"S", "k"},
};
constexpr size_t kProbeCount = std::size(kProbes);

// The default is a line feed, which no value can hold: it marks a missing key.
std::string Read(const Probe& probe, size_t bufferSize = 1 << 20) {
    return norvane::IniReadString(kPath, probe.section, probe.key, "\n", bufferSize);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool hooked = (KeepFilesInMemory(), true);
    (void)hooked;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    g_file.assign(input);

    std::string before[kProbeCount];
    for (size_t i = 0; i < kProbeCount; ++i) {
        before[i] = Read(kProbes[i]);
    }
    // A reader's buffer cuts the value and never overflows; an integer is the value's leading
    // number, or the default for a missing or empty value.
    const size_t chosen = size % kProbeCount;
    const Probe& probe = kProbes[chosen];
    for (const size_t bufferSize : {size_t{0}, size_t{1}, size_t{2}, size_t{40}}) {
        const std::string cut = Read(probe, bufferSize);
        Check(bufferSize == 0 ? cut.empty() : cut == before[chosen].substr(0, bufferSize - 1));
    }
    const uint32_t number = norvane::IniReadInt(kPath, probe.section, probe.key, 255);
    const bool hasNumber = before[chosen] != "\n" && !before[chosen].empty();
    Check(hasNumber || number == 255);

    // A write of a value taken from the input (its last line, at most 40 bytes, so that blanks
    // and quotes at either end are tried) reads back as written and changes no other key.
    const size_t lastBreak = input.find_last_of('\n');
    const std::string_view value =
        input.substr(lastBreak == std::string_view::npos ? 0 : lastBreak + 1).substr(0, 40);
    if (!norvane::IniWriteString(kPath, probe.section, probe.key, value)) {
        // The names are fine; only a value that could not be read back is refused.
        Check(value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos);
        return 0;
    }
    for (size_t i = 0; i < kProbeCount; ++i) {
        Check(Read(kProbes[i]) == (i == chosen ? std::string(value) : before[i]));
    }
    return 0;
}
