// Building the data-view text of large blocks, beside formatting the same
// values with plain snprintf into a reused buffer: what the numbers alone cost.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dataview/DataText.h"
#include "model/ByteSource.h"
#include "model/ModelFile.h"
#include "sample/ModelWriter.h"

namespace {

// 1 000 000 vertices and 100 000 node transformations (2 400 000 floats).
const ModelFile& LargeModel() {
    static const ModelFile model = [] {
        sample::Model m;
        m.Vertices.resize(1'000'000);
        for (size_t i = 0; i < m.Vertices.size(); ++i)
            m.Vertices[i] = {float(i % 1000) * 0.25f, -float(i / 1000), 123.456f};
        m.Transforms.resize(2'400'000);
        for (size_t i = 0; i < m.Transforms.size(); ++i)
            m.Transforms[i] = float(i % 360) - 180.0f;
        std::vector<uint8_t> bytes = sample::WriteModel(m);
        MemorySource source(bytes);
        ModelFile loaded;
        loaded.LoadFrom(source);
        return loaded;
    }();
    return model;
}

void Text(benchmark::State& state, int block) {
    const ModelFile& model = LargeModel();
    size_t bytes = 0;
    for (auto _ : state) {
        std::string text = dataview::BlockText(model, nullptr, block);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

// Formats each record with `line` into one buffer, grown once before timing
// and then only cleared: the formatting alone.
template <class Line>
void Reference(benchmark::State& state, size_t records, Line line) {
    std::string text;
    char buffer[256];
    auto format = [&] {
        text.clear();
        for (size_t i = 0; i < records; ++i) {
            const int length = line(buffer, sizeof buffer, i);
            text.append(buffer, static_cast<size_t>(length));
        }
    };
    format();
    for (auto _ : state) {
        format();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void VerticesReference(benchmark::State& state) {
    const std::vector<VertexRecord>& v = LargeModel().Vertices();
    Reference(state, v.size(), [&](char* buffer, size_t size, size_t i) {
        return std::snprintf(buffer, size, "%3zu: % 7.3f, % 7.3f, % 7.3f\r\n", i, v[i].X, v[i].Y,
                             v[i].Z);
    });
}
BENCHMARK(VerticesReference)
    ->Name("dataview_block4/reference_snprintf")
    ->Unit(benchmark::kMillisecond);

void VerticesText(benchmark::State& state) {
    Text(state, 4);
}
BENCHMARK(VerticesText)->Name("dataview_block4/text_1M_vertices")->Unit(benchmark::kMillisecond);

void TransformsReference(benchmark::State& state) {
    const std::vector<float>& f = LargeModel().Transforms();
    Reference(state, f.size(), [&](char* buffer, size_t size, size_t i) {
        return i % 24 == 0 ? std::snprintf(buffer, size, "\r\n%3zu: % 7.3f", i, f[i])
                           : std::snprintf(buffer, size, ", % 7.3f", f[i]);
    });
}
BENCHMARK(TransformsReference)
    ->Name("dataview_block24/reference_snprintf")
    ->Unit(benchmark::kMillisecond);

void TransformsText(benchmark::State& state) {
    Text(state, 24);
}
BENCHMARK(TransformsText)
    ->Name("dataview_block24/text_2400000_floats")
    ->Unit(benchmark::kMillisecond);

}  // namespace
