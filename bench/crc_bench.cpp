// The safety CRC against Boost.CRC with the same parameters, and building a parameter image.
#include <benchmark/benchmark.h>
#include <boost/crc.hpp>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "catalog_generator.h"
#include "safety/param_stream.h"
#include "safety/safety_crc.h"

namespace {

using norvane::CrcDirection;
using norvane::SafetyCrc32;

// Width 32, our polynomial, initial value 0, no final XOR, neither input nor output reflected.
using BoostSafetyCrc = boost::crc_optimal<32, norvane::kSafetyCrcPolynomial, 0, 0, false, false>;

constexpr size_t kCrcBytes = size_t{64} * 1024;

uint32_t BoostCrc(const uint8_t* data, size_t length) {
    BoostSafetyCrc crc;
    crc.process_bytes(data, length);
    return crc.checksum();
}

// A race between two routines is only worth running if they compute the same thing: checked
// on the whole input and on every length up to 64 from an odd start, which reaches both the
// eight-byte steps and the byte-wise tail of ours.
const std::vector<uint8_t>& CrcInput() {
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> data(kCrcBytes);
        uint32_t state = 0x2545F491u;
        for (uint8_t& byte : data) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            byte = static_cast<uint8_t>(state >> 24);
        }
        auto check = [&](const uint8_t* start, size_t length) {
            const uint32_t ours =
                SafetyCrc32(static_cast<uint32_t>(length), 0, start, CrcDirection::Forward);
            const uint32_t boost = BoostCrc(start, length);
            if (ours != boost) {
                std::fprintf(stderr,
                             "crc_bench: SafetyCrc32 gives 0x%08X but Boost.CRC 0x%08X over %zu "
                             "bytes; the comparison would be meaningless\n",
                             static_cast<unsigned>(ours), static_cast<unsigned>(boost), length);
                std::abort();
            }
        };
        check(data.data(), data.size());
        for (size_t length = 0; length <= 64; ++length) {
            check(data.data() + 1, length);
        }
        return data;
    }();
    return bytes;
}

void BM_SafetyCrc32(benchmark::State& state) {
    const std::vector<uint8_t>& data = CrcInput();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SafetyCrc32(static_cast<uint32_t>(data.size()), 0, data.data(), CrcDirection::Forward));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}

void BM_BoostCrc(benchmark::State& state) {
    const std::vector<uint8_t>& data = CrcInput();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BoostCrc(data.data(), data.size()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(data.size()));
}

// One module with `range(0)` parameters beyond the fixed four, taken from a generated catalog
// through the catalog loads, with every value at its default.
void BM_BuildParamStream(benchmark::State& state) {
    norvane::CatalogShape shape;
    shape.minParameters = static_cast<int32_t>(state.range(0));
    shape.maxParameters = shape.minParameters;
    norvane::CatalogData catalog;
    catalog.Load(norvane::GenerateCatalog(shape));
    const norvane::CatalogDevice* device = nullptr;
    const norvane::CatalogModule* module = nullptr;
    if (!catalog.manufacturerList.empty() &&
        catalog.LoadDevices(catalog.manufacturerList[0].name) != nullptr &&
        !catalog.deviceList.empty()) {
        device = catalog.LoadModules(catalog.deviceList[0].name);
        if (device != nullptr && !catalog.moduleList.empty()) {
            module = catalog.LoadParameters(catalog.moduleList[0].name);
        }
    }
    if (module == nullptr) {
        state.SkipWithError("the generated module did not load");
        return;
    }
    for (norvane::CatalogParameter& parameter : catalog.parameterList) {
        parameter.value = parameter.defaultValue;
    }
    const uint32_t size = uint32_t{module->lenUserParam} + 4;
    try {
        norvane::BuildParamStream(device->dataFormat, size, catalog.parameterList);
    } catch (const norvane::ParamStreamError& error) {
        state.SkipWithError(error.what());
        return;
    }
    for (auto _ : state) {
        norvane::ParamStream image =
            norvane::BuildParamStream(device->dataFormat, size, catalog.parameterList);
        benchmark::DoNotOptimize(image.data.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(catalog.parameterList.size()));
    state.counters["image_bytes"] = size;
}

// The largest image a module can have (lenUserParam 65 535 plus the four uncovered bytes),
// and what computing its CRC twice costs: the table routine alone, the bit-wise one alone, and
// RecordSafetyCrc, which runs both and compares.
constexpr uint16_t kLargestCovered = 65535;

std::vector<uint8_t> LargestImage() {
    const std::vector<uint8_t>& bytes = CrcInput();
    std::vector<uint8_t> image(size_t{kLargestCovered} + 4);
    for (size_t i = 0; i < image.size(); ++i) {
        image[i] = bytes[i % bytes.size()];
    }
    return image;
}

void BM_LargestImage_TableRoutine(benchmark::State& state) {
    const std::vector<uint8_t> image = LargestImage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SafetyCrc32(kLargestCovered, 0, image.data() + 4, CrcDirection::Forward));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargestCovered);
}

void BM_LargestImage_BitwiseRoutine(benchmark::State& state) {
    const std::vector<uint8_t> image = LargestImage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(norvane::SafetyCrc32Bitwise(kLargestCovered, 0, image.data() + 4));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargestCovered);
}

void BM_LargestImage_RecordSafetyCrc(benchmark::State& state) {
    const std::vector<uint8_t> image = LargestImage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(norvane::RecordSafetyCrc(image, kLargestCovered));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLargestCovered);
}

BENCHMARK(BM_SafetyCrc32);
BENCHMARK(BM_LargestImage_TableRoutine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargestImage_BitwiseRoutine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LargestImage_RecordSafetyCrc)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BoostCrc);
BENCHMARK(BM_BuildParamStream)->Arg(256)->Arg(4096);

}  // namespace
