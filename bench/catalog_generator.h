// Synthetic inputs for the benchmarks: a large device catalog in the tool's XML dialect, and a
// document whose one element has very many children.
//
// Everything is deterministic (our own generator, no std distributions), so two runs on any
// machine measure the same bytes.
#pragma once

#include <cstdint>
#include <string>

namespace norvane {

// How much catalog to generate. Each manufacturer draws its devices, modules and parameters
// from a sequence seeded by its own position, so a catalog with twice the manufacturers is the
// smaller catalog followed by as much again: the text grows linearly with `manufacturers`.
struct CatalogShape {
    int32_t manufacturers = 1;
    int32_t devicesPerManufacturer = 1;
    int32_t modulesPerDevice = 1;
    // Parameters of a module beyond its four fixed F-parameters (source and destination
    // address, watchdog time, SIL), drawn evenly from this range.
    int32_t minParameters = 0;
    int32_t maxParameters = 0;
};

// The benchmarks' catalog at `scale` times the base size; the base is about 20 MB.
CatalogShape CatalogShapeForScale(int32_t scale);

// A complete catalog: declaration, comment, FileVersion, then the manufacturers. Names are
// unique at every level, so every record can be selected by name; every module's fields fit
// its record (lenModulParam bytes, lenUserParam = lenModulParam - 4, fields from bit 32 on);
// every enumeration's default is one of its items.
std::string GenerateCatalog(const CatalogShape& shape);

// "<List>" holding `children` elements "<Entry v="k"/>", one a line.
std::string GenerateWideElement(int32_t children);

// The same texts, each generated once per process: the benchmark library runs a benchmark
// several times while it settles the iteration count, and regenerating tens of megabytes each
// time would dominate the run. The references stay valid until the process ends.
const std::string& CachedCatalog(int32_t scale);
const std::string& CachedWideElement(int32_t children);

}  // namespace norvane
