// Loading the generated catalog, and the level loads the window runs on every selection.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "catalog/catalog.h"
#include "catalog_generator.h"

namespace {

using norvane::CatalogData;

void BM_CatalogLoad(benchmark::State& state) {
    const auto scale = static_cast<int32_t>(state.range(0));
    const std::string& text = norvane::CachedCatalog(scale);
    CatalogData catalog;
    catalog.Load(text);
    const auto expected = static_cast<size_t>(norvane::CatalogShapeForScale(scale).manufacturers);
    if (catalog.manufacturerList.size() != expected) {
        state.SkipWithError("the generated catalog did not load completely");
        return;
    }
    for (auto _ : state) {
        // Load takes its text by value; the copy is the caller's, so it is not timed. Releasing
        // the previous catalog is part of Load and is.
        state.PauseTiming();
        std::string copy = text;
        state.ResumeTiming();
        catalog.Load(std::move(copy));
        benchmark::DoNotOptimize(catalog.manufacturerList.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
}

// The catalog with one record list per selection one level up, gathered before timing. A level
// load reads its names from the list one level up, so each benchmark swaps the prepared list
// in (no copy) and loads every record of it by name.
struct Levels {
    CatalogData catalog;
    std::vector<std::vector<norvane::CatalogDevice>> deviceLists;
    std::vector<std::vector<norvane::CatalogModule>> moduleLists;
    std::vector<std::vector<norvane::CatalogParameter>> parameterLists;
    int64_t devices = 0;
    int64_t modules = 0;
    int64_t parameters = 0;
};

Levels& LoadedLevels() {
    static Levels levels = [] {
        Levels built;
        built.catalog.Load(norvane::CachedCatalog(1));
        for (const auto& manufacturer : built.catalog.manufacturerList) {
            built.catalog.LoadDevices(manufacturer.name);
            for (const auto& device : built.catalog.deviceList) {
                built.catalog.LoadModules(device.name);
                for (const auto& module : built.catalog.moduleList) {
                    built.catalog.LoadParameters(module.name);
                    built.parameters += static_cast<int64_t>(built.catalog.parameterList.size());
                    built.parameterLists.push_back(built.catalog.parameterList);
                }
                built.modules += static_cast<int64_t>(built.catalog.moduleList.size());
                built.moduleLists.push_back(built.catalog.moduleList);
            }
            built.devices += static_cast<int64_t>(built.catalog.deviceList.size());
            built.deviceLists.push_back(built.catalog.deviceList);
        }
        return built;
    }();
    return levels;
}

void BM_CatalogLoadDevices(benchmark::State& state) {
    CatalogData& catalog = LoadedLevels().catalog;
    for (auto _ : state) {
        for (const auto& manufacturer : catalog.manufacturerList) {
            benchmark::DoNotOptimize(catalog.LoadDevices(manufacturer.name));
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * LoadedLevels().devices);
}

// Runs `load` on every record of every prepared list, with that list in the catalog's `slot`.
template <class Record, class Load>
void LoadEachRecord(benchmark::State& state, std::vector<std::vector<Record>>& lists,
                    std::vector<Record>& slot, Load load, int64_t loadedPerPass) {
    for (auto _ : state) {
        for (std::vector<Record>& list : lists) {
            std::swap(slot, list);
            for (const Record& record : slot) {
                benchmark::DoNotOptimize(load(record.name));
            }
            std::swap(slot, list);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * loadedPerPass);
}

void BM_CatalogLoadModules(benchmark::State& state) {
    Levels& levels = LoadedLevels();
    CatalogData& catalog = levels.catalog;
    LoadEachRecord(
        state, levels.deviceLists, catalog.deviceList,
        [&](const std::string& name) { return catalog.LoadModules(name); }, levels.modules);
}

void BM_CatalogLoadParameters(benchmark::State& state) {
    Levels& levels = LoadedLevels();
    CatalogData& catalog = levels.catalog;
    LoadEachRecord(
        state, levels.moduleLists, catalog.moduleList,
        [&](const std::string& name) { return catalog.LoadParameters(name); }, levels.parameters);
}

// Counts parameters visited; only enumerations have items, the others load an empty list.
void BM_CatalogLoadEnumItems(benchmark::State& state) {
    Levels& levels = LoadedLevels();
    CatalogData& catalog = levels.catalog;
    LoadEachRecord(
        state, levels.parameterLists, catalog.parameterList,
        [&](const std::string& name) { return catalog.LoadEnumItems(name); }, levels.parameters);
}

BENCHMARK(BM_CatalogLoad)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogLoadDevices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogLoadModules)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogLoadParameters)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogLoadEnumItems)->Unit(benchmark::kMillisecond);

}  // namespace
