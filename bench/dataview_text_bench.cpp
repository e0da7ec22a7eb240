// Building the data-view text of large blocks.

#include <benchmark/benchmark.h>

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

void VerticesText(benchmark::State& state) {
    Text(state, 4);
}
BENCHMARK(VerticesText)->Name("dataview/block4_1M_vertices")->Unit(benchmark::kMillisecond);

void TransformsText(benchmark::State& state) {
    Text(state, 24);
}
BENCHMARK(TransformsText)->Name("dataview/block24_2400000_floats")->Unit(benchmark::kMillisecond);

}  // namespace
