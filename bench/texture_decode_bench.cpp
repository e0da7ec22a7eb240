// Decoding a 1024 x 1024 image of every texel format, against a plain copy of
// the decoded image's size (4 MiB).

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/ByteSource.h"
#include "sample/ArchiveWriter.h"
#include "texture/TextureFile.h"

namespace {

constexpr int kSide = 1024;
constexpr int64_t kTexels = int64_t{kSide} * kSide;
// Image k of the archive is stored in kFormats[k]; 9 has no decoder (the zero image).
constexpr uint32_t kFormats[] = {0, 1, 2, 3, 4, 5, 6, 14, 9};

size_t StoredBytes(uint32_t format) {
    switch (format) {
        case 0:
        case 14:
            return kTexels / 2;
        case 1:
        case 2:
            return kTexels;
        case 6:
            return kTexels * 4;
        default:
            return kTexels * 2;
    }
}

// One archive with a 1024 x 1024 image of random texels in every format.
const TextureFile& Archive() {
    static const std::unique_ptr<TextureFile> file = [] {
        std::mt19937 random(7);
        sample::Archive archive;
        for (uint32_t format : kFormats) {
            sample::ArchiveImage image;
            image.Width = kSide;
            image.Height = kSide;
            image.Format = format;
            image.Texels.resize(StoredBytes(format));
            for (uint8_t& b : image.Texels)
                b = static_cast<uint8_t>(random());
            archive.Images.push_back(std::move(image));
        }
        const std::vector<uint8_t> bytes = sample::WriteArchive(archive);
        auto loaded = std::make_unique<TextureFile>();
        MemorySource source(bytes);
        loaded->LoadFrom(source);
        return loaded;
    }();
    return *file;
}

void Decode(benchmark::State& state, int32_t k) {
    const TextureFile& file = Archive();
    for (auto _ : state) {
        std::vector<RgbaColor> texels = file.DecodeImage(k);
        benchmark::DoNotOptimize(texels.data());
    }
    state.SetItemsProcessed(state.iterations() * kTexels);
    state.SetLabel("texels");
}

void MemcpyReference(benchmark::State& state) {
    std::vector<uint8_t> from(kTexels * 4, 1), to(kTexels * 4);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    // Counted in texels, as the decoders are: a texel is four bytes here.
    state.SetItemsProcessed(state.iterations() * kTexels);
    state.SetLabel("texels");
}
BENCHMARK(MemcpyReference)
    ->Name("texture_decode/reference_memcpy_4MiB")
    ->Unit(benchmark::kMicrosecond);

const bool registered = [] {
    for (int k = 0; k < static_cast<int>(std::size(kFormats)); ++k) {
        const std::string name = "texture_decode/1024x1024_format_" + std::to_string(kFormats[k]);
        benchmark::RegisterBenchmark(name.c_str(), Decode, k)->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
