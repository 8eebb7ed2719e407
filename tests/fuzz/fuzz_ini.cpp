// Fuzz target for the INI layer: whatever the settings file holds, reads must end without
// crashing, respect the reader's buffer, and a write must read back as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "settings/ini_file.h"

namespace {

// One file per process, so that parallel fuzzing jobs do not share it; removed at exit.
struct InputFile {
    std::string path = "/tmp/norvane_fuzz_ini_" + std::to_string(::getpid()) + ".ini";
    ~InputFile() { ::unlink(path.c_str()); }
};

const std::string& InputPath() {
    static const InputFile file;
    return file.path;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = InputPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) {
            return 0;
        }
    }

    static const char* const kSections[] = {"COMMON", "LANGUAGE01", "language02", "", "S"};
    static const char* const kKeys[] = {
        "SelectedLanguage", "EditModeEnabled", "DisplayName", "ProjectFolderPath", "", "k"};
    static const size_t kBufferSizes[] = {0, 1, 2, 40, 80, 260, 1 << 16};
    for (const char* section : kSections) {
        for (const char* key : kKeys) {
            norvane::IniReadInt(path, section, key, 255);
            for (const size_t bufferSize : kBufferSizes) {
                const std::string text =
                    norvane::IniReadString(path, section, key, "dflt", bufferSize);
                Check(text.size() < bufferSize || (bufferSize == 0 && text.empty()));
            }
        }
    }

    if (norvane::IniWriteString(path, "common", "CrcDisplayFormat", "1")) {
        Check(norvane::IniReadInt(path, "COMMON", "crcdisplayformat", 255) == 1);
        Check(norvane::IniReadString(path, "COMMON", "CRCDISPLAYFORMAT", "", 260) == "1");
    }
    return 0;
}
