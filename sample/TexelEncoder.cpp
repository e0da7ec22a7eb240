#include "sample/TexelEncoder.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace sample {

namespace {

// The narrowest field value that widens back to `v` or nearest to it.
uint8_t Narrow4(uint8_t v) {
    return static_cast<uint8_t>((v * 15 + 127) / 255);
}
uint8_t Narrow5(uint8_t v) {
    return static_cast<uint8_t>((v * 31 + 127) / 255);
}
uint8_t Narrow6(uint8_t v) {
    return static_cast<uint8_t>((v * 63 + 127) / 255);
}
// Alpha widens as n x 36 (7 is 252).
uint8_t Narrow3(uint8_t v) {
    return static_cast<uint8_t>(std::min(7, (v + 18) / 36));
}

uint8_t Luminance(const Rgba& p) {
    return static_cast<uint8_t>((p.R * 77 + p.G * 150 + p.B * 29 + 128) >> 8);
}

uint16_t To565(const Rgba& p) {
    return static_cast<uint16_t>(Narrow5(p.R) << 11 | Narrow6(p.G) << 5 | Narrow5(p.B));
}

void Put16(uint8_t* at, unsigned v) {
    at[0] = static_cast<uint8_t>(v >> 8);
    at[1] = static_cast<uint8_t>(v);
}

struct Geometry {
    int BlockWidth, BlockHeight, BlockBytes;
};

bool GeometryOf(uint32_t format, Geometry& g) {
    switch (format) {
        case 0:
            g = {8, 8, 32};
            return true;
        case 1:
        case 2:
            g = {8, 4, 32};
            return true;
        case 3:
        case 4:
        case 5:
            g = {4, 4, 32};
            return true;
        case 6:
            g = {4, 4, 64};
            return true;
        case 14:
            g = {8, 8, 32};
            return true;
        default:
            return false;
    }
}

// Texel i (row x block width + column) of an uncompressed block.
void PutTexel(uint32_t format, uint8_t* block, int i, const Rgba& p) {
    switch (format) {
        case 0: {
            // Two texels a byte, the even column in the high nibble.
            uint8_t& byte = block[i / 2];
            byte = (i % 2 == 0) ? static_cast<uint8_t>((byte & 0x0F) | Narrow4(Luminance(p)) << 4)
                                : static_cast<uint8_t>((byte & 0xF0) | Narrow4(Luminance(p)));
            break;
        }
        case 1:
            block[i] = Luminance(p);
            break;
        case 2:
            block[i] = static_cast<uint8_t>(Narrow4(p.A) << 4 | Narrow4(Luminance(p)));
            break;
        case 3:
            block[2 * i] = p.A;
            block[2 * i + 1] = Luminance(p);
            break;
        case 4:
            Put16(block + 2 * i, To565(p));
            break;
        case 5:
            if (p.A == 255)  // 1 RRRRR GGGGG BBBBB
                Put16(block + 2 * i,
                      0x8000u | Narrow5(p.R) << 10 | Narrow5(p.G) << 5 | Narrow5(p.B));
            else  // 0 AAA RRRR GGGG BBBB
                Put16(block + 2 * i, static_cast<unsigned>(Narrow3(p.A)) << 12 | Narrow4(p.R) << 8 |
                                         Narrow4(p.G) << 4 | Narrow4(p.B));
            break;
        case 6:
            block[2 * i] = p.A;
            block[2 * i + 1] = p.R;
            block[32 + 2 * i] = p.G;
            block[32 + 2 * i + 1] = p.B;
            break;
    }
}

// The colour a stored Rgb565 value stands for.
Rgba From565(unsigned v) {
    unsigned r = v >> 11, g = (v >> 5) & 63, b = v & 31;
    return {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
            static_cast<uint8_t>(b << 3 | b >> 2), 255};
}

int Distance(const Rgba& a, const Rgba& b) {
    int dr = a.R - b.R, dg = a.G - b.G, db = a.B - b.B;
    return dr * dr + dg * dg + db * db;
}

// ((256 - f) x a + f x b) >> 8 per channel.
Rgba Mix(const Rgba& a, const Rgba& b, int f) {
    auto mix = [f](int x, int y) { return static_cast<uint8_t>(((256 - f) * x + f * y) >> 8); };
    return {mix(a.R, b.R), mix(a.G, b.G), mix(a.B, b.B), mix(a.A, b.A)};
}

// One 4 x 4 sub-block of format 14: the two end colours are the two stored
// colours furthest apart; a sub-block with a see-through texel (alpha below 128)
// takes the three-colour form, whose fourth colour is transparent black.
void PutSubBlock(uint8_t* out, const std::array<const Rgba*, 16>& texels) {
    std::array<uint16_t, 16> stored{};
    bool anyOpaque = false, anyClear = false;
    for (int i = 0; i < 16; ++i) {
        if (!texels[i])
            continue;
        if (texels[i]->A < 128) {
            anyClear = true;
            continue;
        }
        stored[i] = To565(*texels[i]);
        anyOpaque = true;
    }
    uint16_t c0 = 0, c1 = 0;
    if (anyOpaque) {
        int best = -1;
        for (int i = 0; i < 16; ++i)
            for (int j = i; j < 16; ++j) {
                if (!texels[i] || !texels[j] || texels[i]->A < 128 || texels[j]->A < 128)
                    continue;
                int d = Distance(From565(stored[i]), From565(stored[j]));
                if (d > best) {
                    best = d;
                    c0 = stored[i];
                    c1 = stored[j];
                }
            }
    }
    // Four colours need c0 > c1; three colours c0 <= c1.
    if ((anyClear && c0 > c1) || (!anyClear && c0 < c1))
        std::swap(c0, c1);
    const bool fourColours = c0 > c1;

    std::array<Rgba, 4> palette{From565(c0), From565(c1)};
    if (fourColours) {
        palette[2] = Mix(palette[0], palette[1], 85);
        palette[3] = Mix(palette[0], palette[1], 171);
    } else {
        palette[2] = Mix(palette[0], palette[1], 128);
    }
    Put16(out, c0);
    Put16(out + 2, c1);
    for (int r = 0; r < 4; ++r) {
        unsigned bits = 0;
        for (int c = 0; c < 4; ++c) {
            const Rgba* p = texels[r * 4 + c];
            unsigned index = 0;
            if (p && p->A < 128) {
                index = 3;
            } else if (p) {
                const int choices = fourColours ? 4 : 3;
                for (int k = 1; k < choices; ++k)
                    if (Distance(*p, palette[k]) < Distance(*p, palette[index]))
                        index = static_cast<unsigned>(k);
            }
            bits |= index << (6 - 2 * c);
        }
        out[4 + r] = static_cast<uint8_t>(bits);
    }
}

}  // namespace

std::vector<uint8_t> EncodeTexels(uint32_t format, int width, int height,
                                  const std::vector<Rgba>& pixels) {
    Geometry g{};
    if (!GeometryOf(format, g) || width < 0 || height < 0 ||
        pixels.size() != static_cast<size_t>(width) * static_cast<size_t>(height))
        return {};
    const int across = (width + g.BlockWidth - 1) / g.BlockWidth;
    const int down = (height + g.BlockHeight - 1) / g.BlockHeight;
    std::vector<uint8_t> bytes(static_cast<size_t>(across) * down * g.BlockBytes, 0);
    const Rgba clear{};
    // The picture's colour at (x, y), or nothing past its edges.
    auto at = [&](int x, int y) -> const Rgba* {
        if (x >= width || y >= height)
            return nullptr;
        return &pixels[static_cast<size_t>(y) * width + x];
    };

    for (int by = 0; by < down; ++by)
        for (int bx = 0; bx < across; ++bx) {
            uint8_t* block = bytes.data() + (static_cast<size_t>(by) * across + bx) * g.BlockBytes;
            const int x0 = bx * g.BlockWidth, y0 = by * g.BlockHeight;
            if (format == 14) {
                // Sub-blocks top-left, top-right, bottom-left, bottom-right.
                for (int s = 0; s < 4; ++s) {
                    std::array<const Rgba*, 16> texels{};
                    for (int r = 0; r < 4; ++r)
                        for (int c = 0; c < 4; ++c)
                            texels[r * 4 + c] = at(x0 + (s % 2) * 4 + c, y0 + (s / 2) * 4 + r);
                    PutSubBlock(block + 8 * s, texels);
                }
                continue;
            }
            for (int r = 0; r < g.BlockHeight; ++r)
                for (int c = 0; c < g.BlockWidth; ++c) {
                    const Rgba* p = at(x0 + c, y0 + r);
                    PutTexel(format, block, r * g.BlockWidth + c, p ? *p : clear);
                }
        }
    return bytes;
}

}  // namespace sample
