#include "texture/TexelEncoder.h"

#include <stb_dxt.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "texture/TexelCodecs.h"

namespace {

using namespace texel;

// Calls store(block, x0, y0, at) for every block of BW x BH texels in storage
// order, where at(x, y) is the picture's colour there, its last column and row
// standing in past its edges.
template <int BW, int BH, int Bytes, class Store>
void ForEachBlock(int width, int height, std::span<const RgbaColor> pixels, uint8_t* out,
                  Store store) {
    const size_t w = static_cast<size_t>(width), h = static_cast<size_t>(height);
    const size_t across = (w + BW - 1) / BW, down = (h + BH - 1) / BH;
    auto at = [&](size_t x, size_t y) -> const RgbaColor& {
        return pixels[std::min(y, h - 1) * w + std::min(x, w - 1)];
    };
    for (size_t by = 0; by < down; ++by)
        for (size_t bx = 0; bx < across; ++bx)
            store(out + (by * across + bx) * Bytes, bx * BW, by * BH, at);
}

template <class F>
void EncodeTiled(int width, int height, std::span<const RgbaColor> pixels, uint8_t* out) {
    ForEachBlock<F::BW, F::BH, F::Bytes>(
        width, height, pixels, out, [](uint8_t* block, size_t x0, size_t y0, auto& at) {
            for (int r = 0; r < F::BH; ++r)
                for (int c = 0; c < F::BW; ++c)
                    F::Store(block, r * F::BW + c, at(x0 + c, y0 + r));
        });
}

int SquaredDistance(RgbaColor a, RgbaColor b) {
    const int r = a.R - b.R, g = a.G - b.G, bl = a.B - b.B;
    return r * r + g * g + bl * bl;
}

// One sub-block of the compressed format. stb_dxt chooses the two colours and
// the indices of an opaque sub-block; it knows no see-through texels. A
// sub-block with some (alpha below 128, the decoder's transparent black) keeps
// the colours stb_dxt finds for its opaque texels, in the three-colour order
// whose fourth index is transparent black, and each opaque texel the nearest
// of the three.
void StoreSubBlock(const std::array<RgbaColor, 16>& texels, uint8_t* sub) {
    const auto opaque =
        std::find_if(texels.begin(), texels.end(), [](RgbaColor c) { return c.A >= 128; });
    if (opaque == texels.end()) {
        std::fill(sub, sub + 8, uint8_t{0xFF});
        PutBig16(sub, 0);
        PutBig16(sub + 2, 0);
        return;
    }
    bool clear = false;
    alignas(4) std::array<RgbaColor, 16> filled = texels;  // stb_dxt reads whole words
    for (RgbaColor& c : filled) {
        if (c.A < 128) {
            clear = true;
            c = *opaque;
        }
    }
    uint8_t dxt1[8];
    stb_compress_dxt_block(dxt1, &filled[0].R, 0, STB_DXT_HIGHQUAL);
    SubBlockFromDxt1(dxt1, sub);
    if (!clear)
        return;

    unsigned c0 = Big16(sub), c1 = Big16(sub + 2);
    if (c0 > c1)
        std::swap(c0, c1);
    PutBig16(sub, c0);
    PutBig16(sub + 2, c1);
    uint32_t words[4];
    Palette(sub, words);
    std::array<RgbaColor, 3> palette;
    std::memcpy(palette.data(), words, sizeof palette);
    for (int r = 0; r < 4; ++r) {
        unsigned bits = 0;
        for (int c = 0; c < 4; ++c) {
            const RgbaColor texel = texels[static_cast<size_t>(r * 4 + c)];
            unsigned index = 3;
            if (texel.A >= 128) {
                index = 0;
                for (unsigned k = 1; k < 3; ++k)
                    if (SquaredDistance(texel, palette[k]) < SquaredDistance(texel, palette[index]))
                        index = k;
            }
            bits |= index << (6 - 2 * c);
        }
        sub[4 + r] = static_cast<uint8_t>(bits);
    }
}

void EncodeCompressed(int width, int height, std::span<const RgbaColor> pixels, uint8_t* out) {
    ForEachBlock<Compressed::BW, Compressed::BH, Compressed::Bytes>(
        width, height, pixels, out, [](uint8_t* block, size_t x0, size_t y0, auto& at) {
            for (int s = 0; s < 4; ++s) {
                std::array<RgbaColor, 16> texels;
                for (int r = 0; r < 4; ++r)
                    for (int c = 0; c < 4; ++c)
                        texels[static_cast<size_t>(r * 4 + c)] =
                            at(x0 + SubX(s) + c, y0 + SubY(s) + r);
                StoreSubBlock(texels, block + 8 * s);
            }
        });
}

}  // namespace

std::vector<uint8_t> EncodeTexels(uint32_t format, int width, int height,
                                  std::span<const RgbaColor> pixels) {
    if (!IsTexelFormat(format) || width <= 0 || height <= 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return {};
    std::vector<uint8_t> bytes(
        StoredTexelBytes(format, static_cast<uint32_t>(width), static_cast<uint32_t>(height)));
    if (format == static_cast<uint32_t>(TexelFormat::Compressed))
        EncodeCompressed(width, height, pixels, bytes.data());
    else
        WithBlockFormat(format, [&](auto traits) {
            EncodeTiled<decltype(traits)>(width, height, pixels, bytes.data());
        });
    return bytes;
}

void SubBlockFromDxt1(const uint8_t dxt1[8], uint8_t sub[8]) {
    sub[0] = dxt1[1];
    sub[1] = dxt1[0];
    sub[2] = dxt1[3];
    sub[3] = dxt1[2];
    for (int r = 0; r < 4; ++r) {
        const unsigned row = dxt1[4 + r];
        sub[4 + r] = static_cast<uint8_t>((row & 3) << 6 | (row >> 2 & 3) << 4 |
                                          (row >> 4 & 3) << 2 | row >> 6);
    }
}
