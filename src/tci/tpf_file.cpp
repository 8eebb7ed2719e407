#include "tci/tpf_file.h"

#include <filesystem>
#include <fstream>
#include <limits>

#include "xml/whole_file.h"

namespace norvane {

namespace {

// Whether the rest of the current line holds `needle`; reads up to the line feed or the end of
// the file. Only the last needle-length bytes are kept, so that an engineering system that
// writes the whole document onto one line is judged by all of it without our holding it all.
bool LineContains(std::istream& in, std::string_view needle) {
    std::string tail;
    char c = 0;
    while (in.get(c) && c != '\n') {
        if (tail.size() == needle.size()) {
            tail.erase(0, 1);
        }
        tail += c;
        if (tail == needle) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsTpfFile(const std::string& path) {
    // Only a regular file is looked into: opening a named pipe would wait for a writer that
    // never comes, and a device or folder holds no call of an engineering system.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        throw FileError();
    }
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        throw FileError();
    }
    // The first line is the XML declaration; a namespace there means the declaration is
    // missing, and such a file is not one of ours.
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    return LineContains(in, kTpfNamespaceUri);
}

}  // namespace norvane
