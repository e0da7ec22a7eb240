// Loading a large model through the one loader against a plain read of the same file.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "document/Document.h"
#include "sample/BigEndianWriter.h"
#include "sample/ModelWriter.h"

namespace {

// 1 000 000 vertices and 100 000 four-cornered polygons, with every order list.
const std::string& LargeModelPath() {
    static const std::string path = [] {
        sample::Model m;
        m.ModelName = "bench";
        const int vertices = 1'000'000, polygons = 100'000;
        m.Vertices.resize(vertices);
        m.Normals.resize(vertices);
        m.Colors.resize(vertices);
        m.TexVertices.resize(vertices);
        for (int i = 0; i < vertices; ++i) {
            m.Vertices[i] = {float(i % 1000), float(i / 1000), 0.5f};
            m.Normals[i] = {0, 0, 1};
            m.Colors[i] = {200, 100, 50, 255};
            m.TexVertices[i] = {float(i % 7) / 7, float(i % 11) / 11};
        }
        for (int p = 0; p < polygons; ++p) {
            m.Polygons.push_back({uint32_t(4 * p), 4});
            for (int k = 0; k < 4; ++k) {
                uint32_t index = uint32_t((4 * p + k) * 2 % vertices);
                m.VertexOrder.push_back(index);
                m.NormalOrder.push_back(index);
                m.ColorOrder.push_back(index);
                m.TexVertexOrder.push_back(index);
            }
        }
        auto file = std::filesystem::temp_directory_path() / "kestrel-bench-large-model.bin";
        std::string name = file.string();
        sample::WriteFile(name, sample::WriteModel(m));
        return name;
    }();
    return path;
}

// 65 536 animation sets, each with its own area (its own block-26 record,
// whose lists are empty): a 4 MiB file of nothing but sets.
const std::string& ManySetsPath() {
    static const std::string path = [] {
        sample::Model m;
        m.ModelName = "sets";
        const uint32_t sets = 65536;
        m.AnimationSets.resize(sets);
        for (uint32_t i = 0; i < sets; ++i)
            m.AnimationSets[i].DataOffset = 432 + 64 * i;
        auto file = std::filesystem::temp_directory_path() / "kestrel-bench-many-sets.bin";
        std::string name = file.string();
        sample::WriteFile(name, sample::WriteModel(m));
        return name;
    }();
    return path;
}

int64_t FileSize(const std::string& path) {
    return static_cast<int64_t>(std::filesystem::file_size(path));
}

void PlainRead(benchmark::State& state, const std::string& (*file)()) {
    const std::string& path = file();
    // The buffer is made once: the reference is the read itself.
    std::vector<unsigned char> bytes(static_cast<size_t>(FileSize(path)));
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        benchmark::DoNotOptimize(got);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
}
void ModelLoad(benchmark::State& state, const std::string& (*file)()) {
    const std::string& path = file();
    for (auto _ : state) {
        // What every program does with a path: the one loader.
        const Document document = LoadDocument(path);
        benchmark::DoNotOptimize(document.Kind);
        benchmark::DoNotOptimize(document.Model.Vertices().data());
    }
    state.SetBytesProcessed(state.iterations() * FileSize(path));
}
// Each file beside a plain read of it.
const bool kRegistered = [] {
    const struct {
        const char* Group;
        const char* Case;
        const std::string& (*File)();
    } files[] = {{"model_load", "1M_vertices", LargeModelPath},
                 {"model_load_sets", "65536_animation_sets", ManySetsPath}};
    for (const auto& file : files) {
        benchmark::RegisterBenchmark((std::string(file.Group) + "/reference_plain_read").c_str(),
                                     PlainRead, file.File)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string(file.Group) + "/" + file.Case).c_str(), ModelLoad,
                                     file.File)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace
