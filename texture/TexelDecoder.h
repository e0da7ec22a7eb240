#pragma once
// The console's tiled texel formats, decoded to row-major RGBA. An image is
// stored as whole blocks: ceil(width / bw) blocks per block row and
// ceil(height / bh) block rows, each block's texels row by row; texels of the
// edge blocks that fall outside the image are dropped. No decoder reads past
// `data`: a texel whose bytes are missing keeps the value it had in `out`.

#include <algorithm>
#include <array>
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

// How each format stores an image: whole blocks of BlockWidth x BlockHeight
// texels, BlockBytes each.
struct TexelFormatInfo {
    TexelFormat Format;
    const char* Name;
    int BlockWidth, BlockHeight, BlockBytes;
};
inline constexpr std::array<TexelFormatInfo, 8> kTexelFormats{{
    {TexelFormat::Intensity4, "Intensity4", 8, 8, 32},
    {TexelFormat::Intensity8, "Intensity8", 8, 4, 32},
    {TexelFormat::IntensityAlpha4, "IntensityAlpha4", 8, 4, 32},
    {TexelFormat::IntensityAlpha8, "IntensityAlpha8", 4, 4, 32},
    {TexelFormat::Rgb565, "Rgb565", 4, 4, 32},
    {TexelFormat::RgbOrArgb16, "RgbOrArgb16", 4, 4, 32},
    {TexelFormat::Rgba8, "Rgba8", 4, 4, 64},
    {TexelFormat::Compressed, "Compressed", 8, 8, 32},
}};

// The row of a format code, or null for a code that decodes to the zero image.
constexpr const TexelFormatInfo* FindTexelFormat(uint32_t format) {
    for (const TexelFormatInfo& info : kTexelFormats)
        if (static_cast<uint32_t>(info.Format) == format)
            return &info;
    return nullptr;
}

// Texels an archive can back per byte of it: no format stores a texel in less
// than half a byte.
inline constexpr uint64_t kTexelsPerStoredByte = [] {
    uint64_t most = 0;
    for (const TexelFormatInfo& info : kTexelFormats)
        most = std::max<uint64_t>(most, info.BlockWidth * info.BlockHeight / info.BlockBytes);
    return most;
}();

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
