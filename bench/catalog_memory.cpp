// What holding a catalog costs in memory, as the window holds it:
//
//   catalog_memory FILE
//
// reads FILE, loads it with CatalogData::Load (the window's load: parse, tree, manufacturer
// list) and prints
//   input_bytes    the size of the file
//   tree_bytes     heap bytes the loaded catalog holds beyond the text itself (tree records,
//                  node arrays, manufacturer list): what the load adds to the text it keeps
//   tree_per_input tree_bytes / input_bytes
//   rss_added      resident memory after the load minus before reading the file (text + tree)
//   rss_per_input  rss_added / input_bytes: the figure the window's goal is about
//   peak_added     the process's peak resident memory minus the same start (any transient
//                  copy shows here)
// and the same after every record of the catalog has been visited once (all attribute
// records made), as "visited_*". Exit status 1 when the file does not parse.
#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "base/whole_file.h"
#include "catalog/catalog.h"

namespace {

// Resident and peak resident memory of this process, in bytes, from /proc/self/status.
struct Resident {
    size_t now = 0;
    size_t peak = 0;
};

Resident ReadResident() {
    Resident resident;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        // "VmRSS:     1234 kB"
        const auto kilobytes = [&line] { return std::stoull(line.substr(6)) * 1024; };
        if (line.rfind("VmRSS:", 0) == 0) {
            resident.now = kilobytes();
        } else if (line.rfind("VmHWM:", 0) == 0) {
            resident.peak = kilobytes();
        }
    }
    return resident;
}

size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void Print(const char* prefix, size_t input, size_t tree, const Resident& start,
           const Resident& now) {
    const auto ratio = [input](size_t bytes) {
        return static_cast<double>(bytes) / static_cast<double>(input);
    };
    std::printf(
        "%stree_bytes=%zu %stree_per_input=%.3f %srss_added=%zu %srss_per_input=%.3f "
        "%speak_added=%zu %speak_per_input=%.3f\n",
        prefix, tree, prefix, ratio(tree), prefix, now.now - start.now, prefix,
        ratio(now.now - start.now), prefix, now.peak - start.now, prefix,
        ratio(now.peak - start.now));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: catalog_memory FILE\n";
        return 2;
    }
    const Resident start = ReadResident();
    std::string text;
    try {
        text = norvane::ReadWholeFile(argv[1]);
    } catch (const norvane::FileError&) {
        std::cerr << "catalog_memory: cannot read " << argv[1] << '\n';
        return 2;
    }
    const size_t input = text.size();
    const size_t heapWithText = HeapInUse();

    norvane::CatalogData catalog;
    catalog.Load(std::move(text));
    if (!catalog.catalogDoc) {
        std::cerr << "catalog_memory: " << argv[1] << " does not parse\n";
        return 1;
    }
    std::printf("input_bytes=%zu manufacturers=%zu\n", input, catalog.manufacturerList.size());
    Print("", input, HeapInUse() - heapWithText, start, ReadResident());

    // Every record once, as a user who opened every module would: every attribute record made.
    for (const auto& manufacturer : std::vector(catalog.manufacturerList)) {
        catalog.LoadDevices(manufacturer.name);
        for (const auto& device : std::vector(catalog.deviceList)) {
            catalog.LoadModules(device.name);
            for (const auto& module : std::vector(catalog.moduleList)) {
                catalog.LoadParameters(module.name);
                for (const auto& parameter : std::vector(catalog.parameterList)) {
                    catalog.LoadEnumItems(parameter.name);
                }
            }
        }
    }
    catalog.enumItemList.clear();
    catalog.parameterList.clear();
    catalog.moduleList.clear();
    catalog.deviceList.clear();
    Print("visited_", input, HeapInUse() - heapWithText, start, ReadResident());
    return 0;
}
