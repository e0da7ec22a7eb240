#pragma once
// The console's tiled texel formats, decoded to row-major RGBA. An image is
// stored as whole blocks: ceil(width / bw) blocks per block row and
// ceil(height / bh) block rows, each block's texels row by row; texels of the
// edge blocks that fall outside the image are dropped. No decoder reads past
// `data`: a texel whose bytes are missing keeps the value it had in `out`.

#include <cstdint>
#include <span>

#include "texture/RgbaColor.h"

enum class TexelFormat : uint32_t {
    Intensity4 = 0,
    Intensity8 = 1,
    IntensityAlpha4 = 2,
    IntensityAlpha8 = 3,
    Rgb565 = 4,
    RgbOrArgb16 = 5,
    Rgba8 = 6,
    Compressed = 14,
};

// The format's name, "unknown" for a code that decodes to the zero image.
const char* TexelFormatName(uint32_t format);
// Whether a code is one of the formats above.
bool IsTexelFormat(uint32_t format);
// The bytes a width x height image takes in its whole blocks; 0 for an unknown code.
uint64_t StoredTexelBytes(uint32_t format, uint32_t width, uint32_t height);

// Formats 0 to 6. `out` holds width x height texels; other format codes leave it alone.
void DecodeBlockTexels(uint32_t format, int width, int height, std::span<const uint8_t> data,
                       std::span<RgbaColor> out);

// Format 14: 8 x 8 blocks of four 4 x 4 sub-blocks (top-left, top-right,
// bottom-left, bottom-right), each two Rgb565 colours and 2-bit indices.
void DecodeCompressedTexels(int width, int height, std::span<const uint8_t> data,
                            std::span<RgbaColor> out);

// A 16-bit Rgb565 value as a colour, A = 255.
inline RgbaColor FromRgb565(unsigned v) {
    return {Expand5((v >> 11) & 31), Expand6((v >> 5) & 63), Expand5(v & 31), 255};
}
