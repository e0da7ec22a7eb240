// Packing edited pictures back into an archive: the compressed format from
// stb_dxt's blocks against libsquish's cluster fit on the same pixels (PSNR
// and time), and a whole pack in every texel format.

#include <benchmark/benchmark.h>
#include <squish.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/ByteSource.h"
#include "sample/ArchiveWriter.h"
#include "sample/TexelEncoder.h"
#include "texture/ArchivePack.h"
#include "texture/TexelDecoder.h"
#include "texture/TexelEncoder.h"
#include "texture/TextureFile.h"

namespace {

constexpr int kSide = 1024;
constexpr int64_t kTexels = int64_t{kSide} * kSide;

uint8_t Byte(double v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0, 1.0) * 255 + 0.5);
}

// Throughput in texels, and the texels of one iteration for the time per megatexel.
void Texels(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kTexels);
    state.SetLabel("texels");
    state.counters["megatexels"] = kTexels / 1e6;
}

// The test pictures, each kSide x kSide.
enum class Kind { Gradients, HardEdges, Alpha };

std::vector<RgbaColor> Picture(Kind kind) {
    std::mt19937 random(static_cast<unsigned>(kind) + 1);
    std::normal_distribution<double> grain(0, 0.012);
    std::vector<RgbaColor> pixels;
    pixels.reserve(kTexels);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const double u = (x + 0.5) / kSide, v = (y + 0.5) / kSide;
            switch (kind) {
                case Kind::Gradients: {
                    // A sky over hills with film grain: slow gradients, soft shapes.
                    const double hill = 0.55 + 0.08 * std::sin(u * 9) + 0.04 * std::sin(u * 23);
                    const bool ground = v > hill;
                    const double shade = ground ? 0.35 + 0.3 * (v - hill) : 0.4 + 0.5 * v;
                    pixels.push_back({Byte((ground ? 0.3 : 0.5) * shade + grain(random)),
                                      Byte((ground ? 0.9 : 0.7) * shade + grain(random)),
                                      Byte((ground ? 0.2 : 1.0) * shade + grain(random)), 255});
                    break;
                }
                case Kind::HardEdges: {
                    // Saturated stripes, a checkerboard and thin lines.
                    const int cell = (x / 32 + y / 32) % 2, stripe = (x + 2 * y) / 40 % 3;
                    const bool line = x % 64 < 2 || y % 48 < 1;
                    const RgbaColor colours[3] = {
                        {230, 40, 30, 255}, {20, 200, 60, 255}, {30, 50, 220, 255}};
                    RgbaColor c = line   ? RgbaColor{250, 250, 250, 255}
                                  : cell ? colours[stripe]
                                         : RgbaColor{20, 20, 24, 255};
                    pixels.push_back(c);
                    break;
                }
                case Kind::Alpha: {
                    // Leaves: a green gradient with see-through holes between discs.
                    const double fu = std::fmod(u * 12, 1.0) - 0.5,
                                 fv = std::fmod(v * 12, 1.0) - 0.5;
                    const bool leaf = fu * fu + fv * fv < 0.16;
                    pixels.push_back({Byte(0.2 * u + grain(random)), Byte(0.4 + 0.5 * v),
                                      Byte(0.1 + 0.2 * u * v),
                                      static_cast<uint8_t>(leaf ? 255 : 0)});
                    break;
                }
            }
        }
    return pixels;
}

const char* Name(Kind kind) {
    switch (kind) {
        case Kind::Gradients:
            return "gradients";
        case Kind::HardEdges:
            return "hard_edges";
        default:
            return "alpha";
    }
}

// PSNR of the colours of the texels the picture shows (alpha 128 and up): the
// format shows the others as transparent black, whichever compressor it is.
double Psnr(const std::vector<RgbaColor>& picture, const std::vector<RgbaColor>& decoded) {
    double squares = 0;
    int64_t samples = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i].A < 128)
            continue;
        for (const auto& [a, b] :
             {std::pair{picture[i].R, decoded[i].R}, std::pair{picture[i].G, decoded[i].G},
              std::pair{picture[i].B, decoded[i].B}})
            squares += (a - b) * (a - b);
        samples += 3;
    }
    return squares == 0 ? 99 : 10 * std::log10(255.0 * 255.0 * samples / squares);
}

// The compressed format through libsquish: each 4 x 4 sub-block by its
// cluster fit, in the archive's order as the pack puts stb_dxt's.
std::vector<uint8_t> SquishCompressed(const std::vector<RgbaColor>& pixels) {
    std::vector<uint8_t> bytes(kTexels / 2);
    for (int by = 0; by < kSide / 8; ++by)
        for (int bx = 0; bx < kSide / 8; ++bx)
            for (int s = 0; s < 4; ++s) {
                RgbaColor texels[16];
                for (int i = 0; i < 16; ++i)
                    texels[i] = pixels[static_cast<size_t>(by * 8 + (s >> 1) * 4 + i / 4) * kSide +
                                       bx * 8 + (s & 1) * 4 + i % 4];
                uint8_t dxt1[8];
                squish::Compress(&texels[0].R, dxt1, squish::kDxt1 | squish::kColourClusterFit);
                SubBlockFromDxt1(dxt1,
                                 &bytes[static_cast<size_t>(by * kSide / 8 + bx) * 32 + 8 * s]);
            }
    return bytes;
}

std::vector<RgbaColor> DecodedCompressed(const std::vector<uint8_t>& bytes) {
    std::vector<RgbaColor> texels(kTexels);
    DecodeCompressedTexels(kSide, kSide, bytes, texels);
    return texels;
}

void CompressedStb(benchmark::State& state, Kind kind) {
    const std::vector<RgbaColor> picture = Picture(kind);
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        bytes = EncodeTexels(static_cast<uint32_t>(TexelFormat::Compressed), kSide, kSide, picture);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["psnr_db"] = Psnr(picture, DecodedCompressed(bytes));
    Texels(state);
}

void CompressedSquish(benchmark::State& state, Kind kind) {
    const std::vector<RgbaColor> picture = Picture(kind);
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        bytes = SquishCompressed(picture);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["psnr_db"] = Psnr(picture, DecodedCompressed(bytes));
    Texels(state);
}

// Pictures by key, held in memory.
struct HeldPictures final : PictureSource {
    std::map<PictureKey, std::vector<RgbaColor>> Held;
    std::vector<PictureKey> Keys() override {
        std::vector<PictureKey> keys;
        for (const auto& held : Held)
            keys.push_back(held.first);
        return keys;
    }
    bool Read(PictureKey key, uint32_t, uint32_t, std::vector<RgbaColor>& texels,
              std::string&) override {
        texels = Held.at(key);
        return true;
    }
};

// A whole pack: an archive of one kSide x kSide image in `format`, written by
// the sample writer, and the gradients picture in its place.
void PackOne(benchmark::State& state, uint32_t format) {
    const std::vector<RgbaColor> picture = Picture(Kind::Gradients);
    sample::Archive archive;
    archive.Images.resize(1);
    archive.Images[0].Width = archive.Images[0].Height = kSide;
    archive.Images[0].Format = format;
    archive.Images[0].Texels = sample::EncodeTexels(
        format, kSide, kSide, std::vector<sample::Rgba>(kTexels, sample::Rgba{9, 9, 9, 255}));
    const std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    TextureFile file;
    MemorySource source(bytes);
    file.LoadFrom(source);
    HeldPictures pictures;
    pictures.Held[{0, 0}] = picture;
    for (auto _ : state) {
        PackResult result = PackArchive(file, bytes, pictures);
        if (!result.Error.empty())
            state.SkipWithError(result.Error.c_str());
        benchmark::DoNotOptimize(result.Bytes.data());
    }
    Texels(state);
}

// What a pack cannot do without: the decode of the image it compares with.
void DecodeReference(benchmark::State& state) {
    std::vector<uint8_t> bytes(kTexels * 4, 7);
    std::vector<RgbaColor> texels(kTexels);
    for (auto _ : state) {
        DecodeBlockTexels(static_cast<uint32_t>(TexelFormat::Rgba8), kSide, kSide, bytes, texels);
        benchmark::DoNotOptimize(texels.data());
    }
    Texels(state);
}

const bool registered = [] {
    for (Kind kind : {Kind::Gradients, Kind::HardEdges, Kind::Alpha}) {
        const std::string group = std::string("pack_compressed_") + Name(kind);
        benchmark::RegisterBenchmark((group + "/reference_libsquish_cluster_fit").c_str(),
                                     CompressedSquish, kind)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((group + "/stb_dxt_high_quality").c_str(), CompressedStb, kind)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("pack/reference_decode_1024x1024_format_6", DecodeReference)
        ->Unit(benchmark::kMillisecond);
    for (uint32_t format : {0, 1, 2, 3, 4, 5, 6, 14})
        benchmark::RegisterBenchmark(("pack/1024x1024_format_" + std::to_string(format)).c_str(),
                                     PackOne, format)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace
