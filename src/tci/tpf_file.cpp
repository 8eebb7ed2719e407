#include "tci/tpf_file.h"

#include "base/whole_file.h"

namespace norvane {

namespace {

// Whether the rest of the current line holds `needle`; reads up to the line feed or the end of
// the file. Only the last needle-length bytes are kept, so that an engineering system that
// writes the whole document onto one line is judged by all of it without our holding it all.
bool LineContains(RegularFileReader& in, std::string_view needle) {
    std::string tail;
    char c = 0;
    while (in.Get(c) && c != '\n') {
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
    // Refuses folders, FIFOs and devices, so that a FIFO cannot hang the start.
    RegularFileReader in(path);
    // The first line is the XML declaration; a namespace there means the declaration is
    // missing, and such a file is not one of ours.
    char c = 0;
    while (in.Get(c) && c != '\n') {
    }
    return LineContains(in, kTpfNamespaceUri);
}

}  // namespace norvane
