#pragma once
// Archives built by the sample writer and read back from memory, as the viewer
// reads them from disk, and checks of the texels they decode to.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <numeric>
#include <ostream>
#include <span>
#include <vector>

#include "model/ByteSource.h"
#include "sample/ArchiveWriter.h"
#include "texture/TextureFile.h"

inline void PrintTo(const RgbaColor& c, std::ostream* os) {
    *os << "(" << int{c.R} << ", " << int{c.G} << ", " << int{c.B} << ", " << int{c.A} << ")";
}

namespace texturetest {

inline constexpr RgbaColor kClear{0, 0, 0, 0};

inline RgbaColor Gray(uint8_t i, uint8_t a = 255) {
    return {i, i, i, a};
}

// Bytes 0, 1, 2, ... so that every texel tells which byte it came from.
inline std::vector<uint8_t> Counting(size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

inline sample::ArchiveImage ImageOf(uint16_t width, uint16_t height, uint32_t format,
                                    std::vector<uint8_t> texels) {
    sample::ArchiveImage image;
    image.Width = width;
    image.Height = height;
    image.Format = format;
    image.Texels = std::move(texels);
    return image;
}

inline sample::Archive ArchiveOf(std::vector<sample::ArchiveImage> images) {
    sample::Archive archive;
    archive.Images = std::move(images);
    return archive;
}

inline sample::Archive OneImage(uint16_t width, uint16_t height, uint32_t format,
                                std::vector<uint8_t> texels) {
    return ArchiveOf({ImageOf(width, height, format, std::move(texels))});
}

inline std::unique_ptr<TextureFile> LoadBytes(const std::vector<uint8_t>& bytes) {
    auto file = std::make_unique<TextureFile>();
    MemorySource source(bytes);
    file->LoadFrom(source);
    return file;
}

inline std::unique_ptr<TextureFile> LoadArchive(const sample::Archive& archive) {
    return LoadBytes(sample::WriteArchive(archive));
}

// Decodes an archive of one image of `format` whose texel data is `texels`.
inline std::vector<RgbaColor> DecodeOne(uint32_t format, uint16_t width, uint16_t height,
                                        std::vector<uint8_t> texels) {
    return LoadArchive(OneImage(width, height, format, std::move(texels)))->DecodeImage(0);
}

struct TexelAt {
    int X, Y;
    RgbaColor Expected;
};

// Checks that `image` holds width x height texels, and each listed one.
inline void ExpectTexels(const std::vector<RgbaColor>& image, int width, int height,
                         std::span<const TexelAt> texels) {
    ASSERT_EQ(image.size(), static_cast<size_t>(width) * height);
    for (const TexelAt& t : texels)
        EXPECT_EQ(image.at(static_cast<size_t>(t.Y) * width + t.X), t.Expected)
            << "texel (" << t.X << ", " << t.Y << ")";
}

}  // namespace texturetest
