#include "texture/TexelDecoder.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace {

unsigned Big16(const uint8_t* p) {
    return static_cast<unsigned>(p[0]) << 8 | p[1];
}

// Texels are worked out as 32-bit words in RgbaColor's memory order and stored
// with one write each; assigned as RgbaColor, every texel becomes four byte
// writes and decoding takes two to three times as long.
uint32_t Color(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if constexpr (std::endian::native == std::endian::little)
        return r | g << 8 | b << 16 | a << 24;
    else
        return r << 24 | g << 16 | b << 8 | a;
}

uint32_t Gray(uint32_t intensity, uint32_t alpha) {
    return Color(intensity, intensity, intensity, alpha);
}

uint32_t Word(RgbaColor c) {
    return Color(c.R, c.G, c.B, c.A);
}

void Put(RgbaColor* at, uint32_t word) {
    std::memcpy(static_cast<void*>(at), &word, sizeof word);
}

// A format's block geometry, from the format table.
template <TexelFormat F>
struct Blocks {
    static constexpr const TexelFormatInfo& Info = *FindTexelFormat(static_cast<uint32_t>(F));
    static constexpr int BW = Info.BlockWidth, BH = Info.BlockHeight, Bytes = Info.BlockBytes;
};

// One block format each: where the bytes of texel i (i = row * BW + column
// within the block) end, and its colour.
struct Intensity4 : Blocks<TexelFormat::Intensity4> {
    static constexpr size_t End(int i) { return static_cast<size_t>(i / 2 + 1); }
    static uint32_t Texel(const uint8_t* b, int i) {
        // Even columns take the high nibble.
        const unsigned shift = (i & 1) ? 0 : 4;
        return Gray(Expand4((b[i >> 1] >> shift) & 15), 255);
    }
    // A whole row of a block, a byte at a time: per texel, the shared byte
    // keeps the compiler from vectorizing.
    static void WholeRow(const uint8_t* b, int r, RgbaColor* out) {
        for (int j = 0; j < BW / 2; ++j) {
            const unsigned byte = b[r * BW / 2 + j];
            Put(out + 2 * j, Gray(Expand4(byte >> 4), 255));
            Put(out + 2 * j + 1, Gray(Expand4(byte & 15), 255));
        }
    }
};

struct Intensity8 : Blocks<TexelFormat::Intensity8> {
    static constexpr size_t End(int i) { return static_cast<size_t>(i + 1); }
    static uint32_t Texel(const uint8_t* b, int i) { return Gray(b[i], 255); }
};

struct IntensityAlpha4 : Blocks<TexelFormat::IntensityAlpha4> {
    static constexpr size_t End(int i) { return static_cast<size_t>(i + 1); }
    static uint32_t Texel(const uint8_t* b, int i) {
        return Gray(Expand4(b[i] & 15u), Expand4(b[i] >> 4));
    }
};

struct IntensityAlpha8 : Blocks<TexelFormat::IntensityAlpha8> {
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static uint32_t Texel(const uint8_t* b, int i) {
        const unsigned v = Big16(b + 2 * i);
        return Gray(v & 255, v >> 8);
    }
};

struct Rgb565 : Blocks<TexelFormat::Rgb565> {
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static uint32_t Texel(const uint8_t* b, int i) {
        const unsigned v = Big16(b + 2 * i);
        return Color(Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31), 255);
    }
};

struct RgbOrArgb16 : Blocks<TexelFormat::RgbOrArgb16> {
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static uint32_t Texel(const uint8_t* b, int i) {
        const unsigned v = Big16(b + 2 * i);
        // 1 RRRRR GGGGG BBBBB, opaque
        const uint32_t opaque =
            Color(Expand5((v >> 10) & 31), Expand5((v >> 5) & 31), Expand5(v & 31), 255);
        // 0 AAA RRRR GGGG BBBB
        const uint32_t alpha = Color(Expand4((v >> 8) & 15), Expand4((v >> 4) & 15),
                                     Expand4(v & 15), Expand3((v >> 12) & 7));
        // Both are worked out and one is masked off: a branch on bit 15
        // mispredicts on every mixed image.
        const uint32_t opaqueMask = 0u - (v >> 15);
        return (opaque & opaqueMask) | (alpha & ~opaqueMask);
    }
};

struct Rgba8 : Blocks<TexelFormat::Rgba8> {
    // Alpha-red pairs in the first 32 bytes, green-blue pairs in the last 32.
    static constexpr size_t End(int i) { return static_cast<size_t>(32 + 2 * i + 2); }
    static uint32_t Texel(const uint8_t* b, int i) {
        // Read as two 16-bit values, the loop vectorizes; byte by byte it does not.
        const unsigned ar = Big16(b + 2 * i), gb = Big16(b + 32 + 2 * i);
        return Color(ar & 255, gb >> 8, gb & 255, ar >> 8);
    }
};

// Walks the stored blocks in storage order, ceil(width / BW) to a block row and
// ceil(height / BH) block rows, until the data ends. A block wholly inside the
// image and the data goes to whole(bytes, origin, stride); any other to
// part(bytes, origin, stride, columns, rows, bytes present), with the columns and
// rows of it that lie inside the image.
template <int BW, int BH, int Bytes, class Whole, class Part>
void WalkBlocks(int width, int height, std::span<const uint8_t> data, RgbaColor* out, Whole whole,
                Part part) {
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    const size_t across = (w + BW - 1) / BW, down = (h + BH - 1) / BH;
    for (size_t by = 0; by < down; ++by) {
        const size_t rowStart = by * across * Bytes;
        if (rowStart >= data.size())
            return;
        const uint8_t* blocks = data.data() + rowStart;
        const size_t present = data.size() - rowStart;
        const size_t y0 = by * BH;
        const int rows = static_cast<int>(std::min<size_t>(BH, h - y0));
        RgbaColor* line = out + y0 * w;

        const size_t wholeBlocks = rows == BH ? std::min(w / BW, present / Bytes) : 0;
        size_t bx = 0;
        for (; bx < wholeBlocks; ++bx)
            whole(blocks + bx * Bytes, line + bx * BW, w);
        for (; bx < across && bx * Bytes < present; ++bx) {
            const int columns = static_cast<int>(std::min<size_t>(BW, w - bx * BW));
            part(blocks + bx * Bytes, line + bx * BW, w, columns, rows,
                 std::min<size_t>(Bytes, present - bx * Bytes));
        }
    }
}

template <class F>
void DecodeTiled(int width, int height, std::span<const uint8_t> data, RgbaColor* out) {
    WalkBlocks<F::BW, F::BH, F::Bytes>(
        width, height, data, out,
        [](const uint8_t* block, RgbaColor* origin, size_t stride) {
            for (int r = 0; r < F::BH; ++r, origin += stride) {
                if constexpr (requires { F::WholeRow(block, r, origin); }) {
                    F::WholeRow(block, r, origin);
                } else {
                    for (int c = 0; c < F::BW; ++c)
                        Put(origin + c, F::Texel(block, r * F::BW + c));
                }
            }
        },
        [](const uint8_t* block, RgbaColor* origin, size_t stride, int columns, int rows,
           size_t present) {
            for (int r = 0; r < rows; ++r, origin += stride)
                for (int c = 0; c < columns; ++c) {
                    const int i = r * F::BW + c;
                    if (F::End(i) <= present)
                        Put(origin + c, F::Texel(block, i));
                }
        });
}

// c0, c1 and the two colours between them. When c0 is not greater than c1 the
// third colour is their mean and the fourth transparent black.
void Palette(const uint8_t* sub, uint32_t words[4]) {
    const RgbaColor c0 = FromRgb565(Big16(sub)), c1 = FromRgb565(Big16(sub + 2));
    words[0] = Word(c0);
    words[1] = Word(c1);
    if (c0.Packed() > c1.Packed()) {
        words[2] = Word(RgbaColor::Lerp(c0, c1, 85));
        words[3] = Word(RgbaColor::Lerp(c0, c1, 171));
    } else {
        words[2] = Word(RgbaColor::Lerp(c0, c1, 128));
        words[3] = 0;
    }
}

// Sub-block s of an 8 x 8 block: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
constexpr int SubX(int s) {
    return (s & 1) * 4;
}
constexpr int SubY(int s) {
    return (s >> 1) * 4;
}

}  // namespace

bool IsTexelFormat(uint32_t format) {
    return FindTexelFormat(format) != nullptr;
}

uint64_t StoredTexelBytes(uint32_t format, uint32_t width, uint32_t height) {
    const TexelFormatInfo* info = FindTexelFormat(format);
    if (!info)
        return 0;
    const uint64_t bw = static_cast<uint64_t>(info->BlockWidth);
    const uint64_t bh = static_cast<uint64_t>(info->BlockHeight);
    return (width + bw - 1) / bw * ((height + bh - 1) / bh) *
           static_cast<uint64_t>(info->BlockBytes);
}

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
    using Compressed = Blocks<TexelFormat::Compressed>;
    WalkBlocks<Compressed::BW, Compressed::BH, Compressed::Bytes>(
        width, height, data, out.data(),
        [](const uint8_t* block, RgbaColor* origin, size_t stride) {
            for (int s = 0; s < 4; ++s) {
                const uint8_t* sub = block + 8 * s;
                uint32_t colors[4];
                Palette(sub, colors);
                RgbaColor* row = origin + SubY(s) * stride + SubX(s);
                for (int r = 0; r < 4; ++r, row += stride) {
                    const unsigned bits = sub[4 + r];
                    Put(row + 0, colors[bits >> 6]);
                    Put(row + 1, colors[(bits >> 4) & 3]);
                    Put(row + 2, colors[(bits >> 2) & 3]);
                    Put(row + 3, colors[bits & 3]);
                }
            }
        },
        [](const uint8_t* block, RgbaColor* origin, size_t stride, int columns, int rows,
           size_t present) {
            for (int s = 0; s < 4; ++s) {
                const size_t first = static_cast<size_t>(8 * s);
                if (first + 4 > present)
                    return;  // this sub-block's colours and all after it are missing
                const int subRows = std::min(4, rows - SubY(s));
                const int subColumns = std::min(4, columns - SubX(s));
                if (subRows <= 0 || subColumns <= 0)
                    continue;  // outside the image
                const uint8_t* sub = block + first;
                uint32_t colors[4];
                Palette(sub, colors);
                RgbaColor* row = origin + SubY(s) * stride + SubX(s);
                for (int r = 0; r < subRows && first + 4 + r < present; ++r, row += stride) {
                    const unsigned bits = sub[4 + r];
                    for (int c = 0; c < subColumns; ++c)
                        Put(row + c, colors[(bits >> (6 - 2 * c)) & 3]);
                }
            }
        });
}

const char* TexelFormatName(uint32_t format) {
    const TexelFormatInfo* info = FindTexelFormat(format);
    return info ? info->Name : "unknown";
}
