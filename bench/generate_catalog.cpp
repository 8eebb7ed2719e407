// Writes the benchmarks' generated input to a file, to try the tools on it by hand:
//
//   generate_catalog FILE [SCALE]     the device catalog at SCALE times the base size (1)
//   generate_catalog --wide N FILE    one element with N children
#include <charconv>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "base/whole_file.h"
#include "catalog_generator.h"

namespace {

bool ParseCount(std::string_view text, int32_t& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && value > 0;
}

int Usage() {
    std::cerr << "usage: generate_catalog FILE [SCALE]\n"
                 "       generate_catalog --wide N FILE\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string text;
    std::string path;
    int32_t count = 1;
    if (argc == 4 && std::string_view(argv[1]) == "--wide") {
        if (!ParseCount(argv[2], count)) {
            return Usage();
        }
        text = norvane::GenerateWideElement(count);
        path = argv[3];
    } else if ((argc == 2 || argc == 3) && argv[1][0] != '-') {
        if (argc == 3 && !ParseCount(argv[2], count)) {
            return Usage();
        }
        text = norvane::GenerateCatalog(norvane::CatalogShapeForScale(count));
        path = argv[1];
    } else {
        return Usage();
    }
    try {
        norvane::WriteWholeFile(text, path);
    } catch (const norvane::FileError&) {
        std::cerr << "generate_catalog: cannot write " << path << '\n';
        return 1;
    }
    std::cout << path << ": " << text.size() << " bytes\n";
    return 0;
}
