#pragma once
// A decoded texel: four bytes in memory order R, G, B, A, as OpenGL takes them.

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
