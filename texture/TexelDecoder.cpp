#include "texture/TexelDecoder.h"

#include <algorithm>
#include <cstddef>

namespace {

unsigned Big16(const uint8_t* p) {
    return static_cast<unsigned>(p[0]) << 8 | p[1];
}

RgbaColor Gray(uint8_t intensity, uint8_t alpha) {
    return {intensity, intensity, intensity, alpha};
}

// One block format each: block size, bytes per block, where the bytes of texel i
// (i = row * BW + column within the block) end, and its colour.
struct Intensity4 {
    static constexpr int BW = 8, BH = 8, Bytes = 32;
    static constexpr size_t End(int i) { return static_cast<size_t>(i / 2 + 1); }
    static RgbaColor Texel(const uint8_t* b, int i) {
        // Even columns take the high nibble.
        unsigned byte = b[i >> 1];
        return Gray(Expand4((i & 1) ? byte & 15 : byte >> 4), 255);
    }
};

struct Intensity8 {
    static constexpr int BW = 8, BH = 4, Bytes = 32;
    static constexpr size_t End(int i) { return static_cast<size_t>(i + 1); }
    static RgbaColor Texel(const uint8_t* b, int i) { return Gray(b[i], 255); }
};

struct IntensityAlpha4 {
    static constexpr int BW = 8, BH = 4, Bytes = 32;
    static constexpr size_t End(int i) { return static_cast<size_t>(i + 1); }
    static RgbaColor Texel(const uint8_t* b, int i) {
        return Gray(Expand4(b[i] & 15u), Expand4(b[i] >> 4));
    }
};

struct IntensityAlpha8 {
    static constexpr int BW = 4, BH = 4, Bytes = 32;
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static RgbaColor Texel(const uint8_t* b, int i) { return Gray(b[2 * i + 1], b[2 * i]); }
};

struct Rgb565 {
    static constexpr int BW = 4, BH = 4, Bytes = 32;
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static RgbaColor Texel(const uint8_t* b, int i) { return FromRgb565(Big16(b + 2 * i)); }
};

struct RgbOrArgb16 {
    static constexpr int BW = 4, BH = 4, Bytes = 32;
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static RgbaColor Texel(const uint8_t* b, int i) {
        unsigned v = Big16(b + 2 * i);
        if (v & 0x8000)  // opaque: 1 RRRRR GGGGG BBBBB
            return {Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255};
        // 0 AAA RRRR GGGG BBBB
        return {Expand4((v >> 8) & 15), Expand4((v >> 4) & 15), Expand4(v & 15),
                Expand3((v >> 12) & 7)};
    }
};

struct Rgba8 {
    // Alpha-red pairs in the first 32 bytes, green-blue pairs in the last 32.
    static constexpr int BW = 4, BH = 4, Bytes = 64;
    static constexpr size_t End(int i) { return static_cast<size_t>(32 + 2 * i + 2); }
    static RgbaColor Texel(const uint8_t* b, int i) {
        return {b[2 * i + 1], b[32 + 2 * i], b[32 + 2 * i + 1], b[2 * i]};
    }
};

// Where a block lies in the image and how much of it the image and the data hold.
struct BlockSpot {
    size_t X0, Y0;
    int Columns, Rows;  // texels of the block inside the image
    size_t Available;   // bytes of the block present in the data
};

// Calls visit(block bytes, spot) for every stored block in storage order, until
// the data runs out. Blocks are whole and padded at the right and bottom edges.
template <int BW, int BH, int Bytes, class Visit>
void ForEachBlock(int width, int height, std::span<const uint8_t> data, Visit visit) {
    if (width <= 0 || height <= 0)
        return;
    const size_t across = (static_cast<size_t>(width) + BW - 1) / BW;
    const size_t down = (static_cast<size_t>(height) + BH - 1) / BH;
    size_t start = 0;
    for (size_t by = 0; by < down; ++by) {
        const size_t y0 = by * BH;
        const int rows = static_cast<int>(std::min<size_t>(BH, height - y0));
        for (size_t bx = 0; bx < across; ++bx, start += Bytes) {
            if (start >= data.size())
                return;
            const size_t x0 = bx * BW;
            const int columns = static_cast<int>(std::min<size_t>(BW, width - x0));
            const size_t available = std::min<size_t>(Bytes, data.size() - start);
            visit(data.data() + start, BlockSpot{x0, y0, columns, rows, available});
        }
    }
}

template <class F>
void DecodeTiled(int width, int height, std::span<const uint8_t> data, RgbaColor* out) {
    const size_t stride = static_cast<size_t>(width);
    ForEachBlock<F::BW, F::BH, F::Bytes>(
        width, height, data, [&](const uint8_t* block, const BlockSpot& at) {
            RgbaColor* origin = out + at.Y0 * stride + at.X0;
            if (at.Columns == F::BW && at.Rows == F::BH && at.Available == F::Bytes) {
                for (int r = 0; r < F::BH; ++r) {
                    RgbaColor* row = origin + r * stride;
                    for (int c = 0; c < F::BW; ++c)
                        row[c] = F::Texel(block, r * F::BW + c);
                }
                return;
            }
            // An edge block, or the last one the data holds part of.
            for (int r = 0; r < at.Rows; ++r) {
                RgbaColor* row = origin + r * stride;
                for (int c = 0; c < at.Columns; ++c) {
                    const int i = r * F::BW + c;
                    if (F::End(i) <= at.Available)
                        row[c] = F::Texel(block, i);
                }
            }
        });
}

// c0, c1 and the two colours between them. When c0 is not greater than c1 the
// third colour is their mean and the fourth transparent black.
void Palette(const uint8_t* sub, RgbaColor colors[4]) {
    colors[0] = FromRgb565(Big16(sub));
    colors[1] = FromRgb565(Big16(sub + 2));
    if (colors[0].Packed() > colors[1].Packed()) {
        colors[2] = RgbaColor::Lerp(colors[0], colors[1], 85);
        colors[3] = RgbaColor::Lerp(colors[0], colors[1], 171);
    } else {
        colors[2] = RgbaColor::Lerp(colors[0], colors[1], 128);
        colors[3] = RgbaColor{0, 0, 0, 0};
    }
}

}  // namespace

void DecodeBlockTexels(uint32_t format, int width, int height, std::span<const uint8_t> data,
                       std::span<RgbaColor> out) {
    if (width <= 0 || height <= 0 || out.size() < static_cast<size_t>(width) * height)
        return;
    switch (static_cast<TexelFormat>(format)) {
        case TexelFormat::Intensity4:
            return DecodeTiled<Intensity4>(width, height, data, out.data());
        case TexelFormat::Intensity8:
            return DecodeTiled<Intensity8>(width, height, data, out.data());
        case TexelFormat::IntensityAlpha4:
            return DecodeTiled<IntensityAlpha4>(width, height, data, out.data());
        case TexelFormat::IntensityAlpha8:
            return DecodeTiled<IntensityAlpha8>(width, height, data, out.data());
        case TexelFormat::Rgb565:
            return DecodeTiled<Rgb565>(width, height, data, out.data());
        case TexelFormat::RgbOrArgb16:
            return DecodeTiled<RgbOrArgb16>(width, height, data, out.data());
        case TexelFormat::Rgba8:
            return DecodeTiled<Rgba8>(width, height, data, out.data());
        default:
            return;
    }
}

void DecodeCompressedTexels(int width, int height, std::span<const uint8_t> data,
                            std::span<RgbaColor> out) {
    if (width <= 0 || height <= 0 || out.size() < static_cast<size_t>(width) * height)
        return;
    const size_t stride = static_cast<size_t>(width);
    ForEachBlock<8, 8, 32>(width, height, data, [&](const uint8_t* block, const BlockSpot& at) {
        const bool whole = at.Columns == 8 && at.Rows == 8 && at.Available == 32;
        for (int s = 0; s < 4; ++s) {
            const int sx = (s & 1) * 4, sy = (s >> 1) * 4;
            const size_t first = static_cast<size_t>(8 * s);
            if (first + 4 > at.Available)
                return;  // the colours of this and every later sub-block are missing
            const uint8_t* sub = block + first;
            RgbaColor colors[4];
            Palette(sub, colors);
            if (whole) {
                RgbaColor* origin = out.data() + (at.Y0 + sy) * stride + at.X0 + sx;
                for (int r = 0; r < 4; ++r) {
                    const unsigned bits = sub[4 + r];
                    RgbaColor* row = origin + r * stride;
                    row[0] = colors[bits >> 6];
                    row[1] = colors[(bits >> 4) & 3];
                    row[2] = colors[(bits >> 2) & 3];
                    row[3] = colors[bits & 3];
                }
                continue;
            }
            // An edge block: sub-blocks may lie partly or wholly outside the image.
            const int rows = std::min(4, at.Rows - sy);
            const int columns = std::min(4, at.Columns - sx);
            if (rows <= 0 || columns <= 0)
                continue;
            RgbaColor* origin = out.data() + (at.Y0 + sy) * stride + at.X0 + sx;
            for (int r = 0; r < rows && first + 4 + r < at.Available; ++r) {
                const unsigned bits = sub[4 + r];
                RgbaColor* row = origin + r * stride;
                for (int c = 0; c < columns; ++c)
                    row[c] = colors[(bits >> (6 - 2 * c)) & 3];
            }
        }
    });
}
