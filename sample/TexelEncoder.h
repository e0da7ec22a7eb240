#pragma once
// Stores pictures in the console's texel formats, for test images and the demo
// scene's textures. Written from the format tables, apart from the viewer's
// decoders, so that a test of one against the other checks both.

#include <cstdint>
#include <vector>

namespace sample {

struct Rgba {
    uint8_t R = 0, G = 0, B = 0, A = 0;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// `pixels` holds width x height colours, row-major. The result is the image as
// whole blocks of `format` (0 to 6 or 14), ceil(width / bw) blocks per block row
// and ceil(height / bh) block rows; texels past the picture's edges are stored as
// transparent black. Intensity formats take the picture's luminance. Other format
// codes, or a picture of the wrong size, give no bytes.
std::vector<uint8_t> EncodeTexels(uint32_t format, int width, int height,
                                  const std::vector<Rgba>& pixels);

}  // namespace sample
