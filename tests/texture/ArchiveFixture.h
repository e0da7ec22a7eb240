#pragma once
// Archives built by the sample writer and read back from memory, as the viewer
// reads them from disk.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <vector>

#include "sample/ArchiveWriter.h"
#include "texture/TextureFile.h"

inline void PrintTo(const RgbaColor& c, std::ostream* os) {
    *os << "(" << int{c.R} << ", " << int{c.G} << ", " << int{c.B} << ", " << int{c.A} << ")";
}

namespace texturetest {

sample::ArchiveImage ImageOf(uint16_t width, uint16_t height, uint32_t format,
                             std::vector<uint8_t> texels);
// An archive of one image.
sample::Archive OneImage(uint16_t width, uint16_t height, uint32_t format,
                         std::vector<uint8_t> texels);

std::unique_ptr<TextureFile> LoadBytes(const std::vector<uint8_t>& bytes);
std::unique_ptr<TextureFile> LoadArchive(const sample::Archive& archive);

// Decodes one image of `format` whose texel data is `texels`.
std::vector<RgbaColor> DecodeOne(uint32_t format, uint16_t width, uint16_t height,
                                 std::vector<uint8_t> texels);

// Texel (x, y) of a decoded image `width` texels wide.
inline RgbaColor At(const std::vector<RgbaColor>& image, int width, int x, int y) {
    return image.at(static_cast<size_t>(y) * width + x);
}

struct TexelAt {
    int X, Y;
    RgbaColor Expected;
};

// Checks each listed texel of a decoded image `width` texels wide.
void ExpectTexels(const std::vector<RgbaColor>& image, int width,
                  std::initializer_list<TexelAt> texels);

inline RgbaColor Gray(uint8_t i, uint8_t a = 255) {
    return {i, i, i, a};
}

}  // namespace texturetest
