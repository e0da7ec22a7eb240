#pragma once
// Both directions of every block format, side by side: where the bytes of
// texel i of a block lie, the colour they stand for, and how a colour is stored
// there. Only the texel decoder and encoder include this.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "texture/RgbaColor.h"
#include "texture/TexelDecoder.h"

namespace texel {

inline unsigned Big16(const uint8_t* p) {
    return static_cast<unsigned>(p[0]) << 8 | p[1];
}

inline void PutBig16(uint8_t* p, unsigned v) {
    p[0] = static_cast<uint8_t>(v >> 8);
    p[1] = static_cast<uint8_t>(v);
}

// Texels are worked out as 32-bit words in RgbaColor's memory order and stored
// with one write each; assigned as RgbaColor, every texel becomes four byte
// writes and decoding takes two to three times as long.
inline uint32_t Color(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    if constexpr (std::endian::native == std::endian::little)
        return r | g << 8 | b << 16 | a << 24;
    else
        return r << 24 | g << 16 | b << 8 | a;
}

inline uint32_t Gray(uint32_t intensity, uint32_t alpha) {
    return Color(intensity, intensity, intensity, alpha);
}

inline uint32_t Word(RgbaColor c) {
    return Color(c.R, c.G, c.B, c.A);
}

inline void Put(RgbaColor* at, uint32_t word) {
    std::memcpy(static_cast<void*>(at), &word, sizeof word);
}

// The grey a colour is stored as in the intensity formats: Rec. 601 luma,
// rounded; a grey colour keeps its value.
inline uint8_t Luma(RgbaColor c) {
    return static_cast<uint8_t>((299u * c.R + 587u * c.G + 114u * c.B + 500) / 1000);
}

constexpr int Distance(int a, int b) {
    return a < b ? b - a : a - b;
}

// For every 8-bit value, the field value whose widening comes nearest to it.
template <unsigned Bits>
constexpr std::array<uint8_t, 256> NearestField(uint8_t (*widen)(unsigned)) {
    std::array<uint8_t, 256> nearest{};
    for (int v = 0; v < 256; ++v)
        for (unsigned n = 1; n < (1u << Bits); ++n)
            if (Distance(widen(n), v) < Distance(widen(nearest[v]), v))
                nearest[v] = static_cast<uint8_t>(n);
    return nearest;
}
inline constexpr std::array<uint8_t, 256> kNearest3 = NearestField<3>(Expand3);
inline constexpr std::array<uint8_t, 256> kNearest4 = NearestField<4>(Expand4);
inline constexpr std::array<uint8_t, 256> kNearest5 = NearestField<5>(Expand5);
inline constexpr std::array<uint8_t, 256> kNearest6 = NearestField<6>(Expand6);

inline unsigned To565(RgbaColor c) {
    return unsigned{kNearest5[c.R]} << 11 | unsigned{kNearest6[c.G]} << 5 | kNearest5[c.B];
}

// A format's block geometry, from the format table.
template <TexelFormat F>
struct Blocks {
    static constexpr const TexelFormatInfo& Info = *FindTexelFormat(static_cast<uint32_t>(F));
    static constexpr int BW = Info.BlockWidth, BH = Info.BlockHeight, Bytes = Info.BlockBytes;
};

// One block format each: where the bytes of texel i (i = row * BW + column
// within the block) end, its colour, and the storing of a colour there into a
// block that starts zeroed.
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
    static void Store(uint8_t* b, int i, RgbaColor c) {
        b[i >> 1] |= static_cast<uint8_t>(kNearest4[Luma(c)] << ((i & 1) ? 0 : 4));
    }
};

struct Intensity8 : Blocks<TexelFormat::Intensity8> {
    static constexpr size_t End(int i) { return static_cast<size_t>(i + 1); }
    static uint32_t Texel(const uint8_t* b, int i) { return Gray(b[i], 255); }
    static void Store(uint8_t* b, int i, RgbaColor c) { b[i] = Luma(c); }
};

struct IntensityAlpha4 : Blocks<TexelFormat::IntensityAlpha4> {
    static constexpr size_t End(int i) { return static_cast<size_t>(i + 1); }
    static uint32_t Texel(const uint8_t* b, int i) {
        return Gray(Expand4(b[i] & 15u), Expand4(b[i] >> 4));
    }
    static void Store(uint8_t* b, int i, RgbaColor c) {
        b[i] = static_cast<uint8_t>(kNearest4[c.A] << 4 | kNearest4[Luma(c)]);
    }
};

struct IntensityAlpha8 : Blocks<TexelFormat::IntensityAlpha8> {
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static uint32_t Texel(const uint8_t* b, int i) {
        const unsigned v = Big16(b + 2 * i);
        return Gray(v & 255, v >> 8);
    }
    static void Store(uint8_t* b, int i, RgbaColor c) {
        b[2 * i] = c.A;
        b[2 * i + 1] = Luma(c);
    }
};

struct Rgb565 : Blocks<TexelFormat::Rgb565> {
    static constexpr size_t End(int i) { return static_cast<size_t>(2 * i + 2); }
    static uint32_t Texel(const uint8_t* b, int i) {
        const unsigned v = Big16(b + 2 * i);
        return Color(Expand5(v >> 11), Expand6((v >> 5) & 63), Expand5(v & 31), 255);
    }
    static void Store(uint8_t* b, int i, RgbaColor c) { PutBig16(b + 2 * i, To565(c)); }
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
    // The layout whose alpha comes nearer: 255 is opaque, the three alpha bits
    // reach 252 at most.
    static void Store(uint8_t* b, int i, RgbaColor c) {
        const unsigned a = kNearest3[c.A];
        if (255 - c.A < Distance(Expand3(a), c.A))
            PutBig16(b + 2 * i, 0x8000u | unsigned{kNearest5[c.R]} << 10 |
                                    unsigned{kNearest5[c.G]} << 5 | kNearest5[c.B]);
        else
            PutBig16(b + 2 * i, a << 12 | unsigned{kNearest4[c.R]} << 8 |
                                    unsigned{kNearest4[c.G]} << 4 | kNearest4[c.B]);
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
    static void Store(uint8_t* b, int i, RgbaColor c) {
        b[2 * i] = c.A;
        b[2 * i + 1] = c.R;
        b[32 + 2 * i] = c.G;
        b[32 + 2 * i + 1] = c.B;
    }
};

// Calls use(traits) with the traits of block format `format` (0 to 6); false
// for any other code.
template <class Use>
bool WithBlockFormat(uint32_t format, Use&& use) {
    switch (static_cast<TexelFormat>(format)) {
        case TexelFormat::Intensity4:
            return use(Intensity4{}), true;
        case TexelFormat::Intensity8:
            return use(Intensity8{}), true;
        case TexelFormat::IntensityAlpha4:
            return use(IntensityAlpha4{}), true;
        case TexelFormat::IntensityAlpha8:
            return use(IntensityAlpha8{}), true;
        case TexelFormat::Rgb565:
            return use(Rgb565{}), true;
        case TexelFormat::RgbOrArgb16:
            return use(RgbOrArgb16{}), true;
        case TexelFormat::Rgba8:
            return use(Rgba8{}), true;
        default:
            return false;
    }
}

using Compressed = Blocks<TexelFormat::Compressed>;

// c0, c1 and the two colours between them. When c0 is not greater than c1 the
// third colour is their mean and the fourth transparent black.
inline void Palette(const uint8_t* sub, uint32_t words[4]) {
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

// Sub-block s of a compressed 8 x 8 block: 0 top-left, 1 top-right, 2
// bottom-left, 3 bottom-right.
constexpr int SubX(int s) {
    return (s & 1) * 4;
}
constexpr int SubY(int s) {
    return (s >> 1) * 4;
}

}  // namespace texel
