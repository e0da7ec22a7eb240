#pragma once
// A decoded texel: four bytes in memory order R, G, B, A, as OpenGL takes them,
// and the widening of the texel formats' narrow channels to 8 bits.

#include <cstdint>

struct RgbaColor {
    uint8_t R = 0, G = 0, B = 0, A = 0;

    // The colour as one number, only for comparing two colours.
    uint32_t Packed() const {
        return static_cast<uint32_t>(R) << 24 | static_cast<uint32_t>(G) << 16 |
               static_cast<uint32_t>(B) << 8 | A;
    }

    // ((256 - f) * a + f * b) >> 8 for every channel.
    static RgbaColor Lerp(RgbaColor a, RgbaColor b, uint8_t f) {
        auto mix = [f](uint8_t x, uint8_t y) {
            return static_cast<uint8_t>(((256 - f) * x + f * y) >> 8);
        };
        return {mix(a.R, b.R), mix(a.G, b.G), mix(a.B, b.B), mix(a.A, b.A)};
    }

    friend bool operator==(RgbaColor, RgbaColor) = default;
};
static_assert(sizeof(RgbaColor) == 4);

// n x 36: the top value 7 gives 252, not 255, as the console does it.
constexpr uint8_t Expand3(unsigned n) {
    return static_cast<uint8_t>((n << 5) | (n << 2));
}
constexpr uint8_t Expand4(unsigned n) {
    return static_cast<uint8_t>((n << 4) | n);
}
constexpr uint8_t Expand5(unsigned n) {
    return static_cast<uint8_t>((n << 3) | (n >> 2));
}
constexpr uint8_t Expand6(unsigned n) {
    return static_cast<uint8_t>((n << 2) | (n >> 4));
}
