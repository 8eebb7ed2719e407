// Parse and serialisation throughput of our XML dialect, with pugixml on the very same bytes
// as the yardstick.
#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <malloc.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "catalog_generator.h"
#include "xml/xml_parser.h"
#include "xml/xml_writer.h"

namespace {

void CountBytes(benchmark::State& state, size_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
    state.counters["input_MB"] = static_cast<double>(bytes) / 1e6;
}

size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Heap bytes a parsed tree holds (text copy included), per byte of input: measured once
// before timing, reported as the counter tree_per_input.
template <class Parse>
void CountTree(benchmark::State& state, size_t input, Parse parse) {
    const size_t before = HeapInUse();
    const auto tree = parse();
    state.counters["tree_per_input"] =
        static_cast<double>(HeapInUse() - before) / static_cast<double>(input);
}

// Checked once before timing, so that a parser that gives up early cannot look fast.
bool OursParses(benchmark::State& state, const std::string& text) {
    norvane::XmlResults results;
    if (!norvane::XmlParseText(text, &results)) {
        state.SkipWithError(
            ("our parser failed: " + std::string(norvane::XmlErrorText(results.error)) +
             " at line " + std::to_string(results.line))
                .c_str());
        return false;
    }
    return true;
}

bool PugiParses(benchmark::State& state, const std::string& text) {
    pugi::xml_document document;
    const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
    if (!result) {
        state.SkipWithError((std::string("pugixml failed: ") + result.description()).c_str());
        return false;
    }
    return true;
}

// Each iteration builds and releases a whole tree, with either parser.
void ParseOurs(benchmark::State& state, const std::string& text) {
    if (!OursParses(state, text)) {
        return;
    }
    CountTree(state, text.size(), [&] { return norvane::XmlParseText(text); });
    for (auto _ : state) {
        norvane::XmlRoot root = norvane::XmlParseText(text);
        benchmark::DoNotOptimize(root.get());
    }
    CountBytes(state, text.size());
}

// pugixml with its default options (parse_default), which does more per byte than our dialect:
// it decodes entities and character references, turns line ends into "\n" and white space in
// attribute values into blanks, and checks that every end tag matches. It skips the
// declaration and comments, which we keep. load_buffer copies the text first, as we do.
void ParsePugi(benchmark::State& state, const std::string& text) {
    if (!PugiParses(state, text)) {
        return;
    }
    CountTree(state, text.size(), [&] {
        auto document = std::make_unique<pugi::xml_document>();
        document->load_buffer(text.data(), text.size());
        return document;
    });
    for (auto _ : state) {
        pugi::xml_document document;
        const pugi::xml_parse_result result = document.load_buffer(text.data(), text.size());
        benchmark::DoNotOptimize(result.status);
    }
    CountBytes(state, text.size());
}

void BM_ParseCatalog_Norvane(benchmark::State& state) {
    ParseOurs(state, norvane::CachedCatalog(static_cast<int32_t>(state.range(0))));
}
void BM_ParseCatalog_Pugixml(benchmark::State& state) {
    ParsePugi(state, norvane::CachedCatalog(static_cast<int32_t>(state.range(0))));
}
void BM_ParseWide_Norvane(benchmark::State& state) {
    ParseOurs(state, norvane::CachedWideElement(static_cast<int32_t>(state.range(0))));
}
void BM_ParseWide_Pugixml(benchmark::State& state) {
    ParsePugi(state, norvane::CachedWideElement(static_cast<int32_t>(state.range(0))));
}

void Write(benchmark::State& state, const std::string& text) {
    const norvane::XmlRoot root = norvane::XmlParseText(text);
    if (!root) {
        state.SkipWithError("the input does not parse");
        return;
    }
    size_t written = 0;
    for (auto _ : state) {
        std::optional<std::string> out = norvane::XmlCreateString(root.get());
        written = out->size();
        benchmark::DoNotOptimize(out->data());
    }
    // Throughput counts the bytes produced; the writer drops indentation, so fewer than read.
    CountBytes(state, written);
}

void BM_WriteCatalog_Norvane(benchmark::State& state) {
    Write(state, norvane::CachedCatalog(static_cast<int32_t>(state.range(0))));
}
void BM_WriteWide_Norvane(benchmark::State& state) {
    Write(state, norvane::CachedWideElement(static_cast<int32_t>(state.range(0))));
}

// Each pair of sizes shows whether the time grows linearly with the input.
BENCHMARK(BM_ParseCatalog_Norvane)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseCatalog_Pugixml)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseWide_Norvane)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseWide_Pugixml)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCatalog_Norvane)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWide_Norvane)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
