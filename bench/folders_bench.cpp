// `kestrel export` of a whole folder: 400 models as the sample writers make
// them, half the demo and half a grid ten times its size, each textured,
// exported on one thread and on every hardware thread; beside them the same
// models exported one by one in this process, the reference of what the run
// itself adds to each file.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/GridModel.h"
#include "cli/Cli.h"
#include "sample/BigEndianWriter.h"
#include "sample/DemoScene.h"

namespace {

namespace fs = std::filesystem;

constexpr int kModels = 400;
// The demo draws 64 polygons, about 100 triangles: a grid of 23 x 23 squares
// draws ten times as many.
constexpr int kLargeSquares = 23;

fs::path Root() {
    return fs::temp_directory_path() / "kestrel-folders-bench";
}

// The folder of models and their two archives, written once.
const std::vector<std::string>& Models() {
    static const std::vector<std::string> models = [] {
        const fs::path game = Root() / "game";
        fs::remove_all(Root());
        fs::create_directories(game);
        const std::vector<uint8_t> demo = sample::WriteModel(sample::DemoModel());
        const std::vector<uint8_t> grid = sample::WriteModel(GridModel(kLargeSquares));
        sample::WriteFile((game / (std::string(sample::kDemoTextureName) + "-")).string(),
                          sample::WriteArchive(sample::DemoArchive()));
        sample::WriteFile((game / "grid-").string(), sample::WriteArchive(GridArchive()));
        std::vector<std::string> paths;
        for (int i = 0; i < kModels; ++i) {
            const bool large = i % 2 != 0;
            paths.push_back(
                (game / ((large ? "grid-" : "demo-") + std::to_string(i) + ".model")).string());
            sample::WriteFile(paths.back(), large ? grid : demo);
        }
        return paths;
    }();
    return models;
}

bool Kestrel(const std::vector<std::string>& words) {
    std::ostringstream out, err;
    return RunKestrel(words, out, err) == 0;
}

void CountFiles(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kModels);
    state.SetLabel("files");
}

void OneByOne(benchmark::State& state) {
    const std::string out = (Root() / "one-by-one").string();
    for (auto _ : state) {
        for (const std::string& model : Models()) {
            const std::string name = fs::path(model).stem().string() + ".glb";
            if (!Kestrel({"export", model, "-o", out + "/" + name}))
                state.SkipWithError("kestrel export failed");
        }
    }
    CountFiles(state);
}

void Folder(benchmark::State& state, unsigned threads) {
    const std::string game = fs::path(Models()[0]).parent_path().string();
    const std::string jobs = std::to_string(threads);
    const std::string out = (Root() / ("j" + jobs)).string();
    for (auto _ : state) {
        if (!Kestrel({"export", game, "-o", out, "-j", jobs}))
            state.SkipWithError("kestrel export failed");
    }
    CountFiles(state);
}

// Files a second by the clock: the work is on threads of the run's own.
const bool kRegistered = [] {
    const unsigned all = std::max(1u, std::thread::hardware_concurrency());
    std::string jAll = "export_400_files/folder_j";
    jAll += std::to_string(all);
    for (auto* benchmark : {benchmark::RegisterBenchmark(
                                "export_400_files/reference_one_by_one_in_process", OneByOne),
                            benchmark::RegisterBenchmark("export_400_files/folder_j1", Folder, 1u),
                            benchmark::RegisterBenchmark(jAll.c_str(), Folder, all)})
        benchmark->Unit(benchmark::kMillisecond)->UseRealTime();
    return true;
}();

}  // namespace
