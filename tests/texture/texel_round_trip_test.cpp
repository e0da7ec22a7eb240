// Pictures stored by the sample encoder and read back by the viewer's decoders.

#include <gtest/gtest.h>

#include <random>

#include "sample/TexelEncoder.h"
#include "tests/texture/ArchiveFixture.h"

using namespace texturetest;

namespace {

struct Picker {
    std::mt19937 random;

    uint8_t operator()(unsigned count) { return static_cast<uint8_t>(random() % count); }

    // A colour that `format` stores exactly, so the decoded picture must match.
    RgbaColor Exact(uint32_t format) {
        auto& pick = *this;
        switch (format) {
            case 0:
                return Gray(Expand4(pick(16)));
            case 1:
                return Gray(pick(256));
            case 2:
                return Gray(Expand4(pick(16)), Expand4(pick(16)));
            case 3:
                return Gray(pick(256), pick(256));
            case 4:
                return {Expand5(pick(32)), Expand6(pick(64)), Expand5(pick(32)), 255};
            case 5:
                if (pick(2))
                    return {Expand5(pick(32)), Expand5(pick(32)), Expand5(pick(32)), 255};
                return {Expand4(pick(16)), Expand4(pick(16)), Expand4(pick(16)), Expand3(pick(8))};
            default:
                return {pick(256), pick(256), pick(256), pick(256)};
        }
    }
};

// Encodes `picture` in `format` and checks the stored size and what decodes from it.
void ExpectRoundTrip(uint32_t format, int width, int height, const std::vector<RgbaColor>& picture,
                     size_t storedBytes) {
    std::vector<sample::Rgba> pixels;
    for (RgbaColor c : picture)
        pixels.push_back({c.R, c.G, c.B, c.A});
    const std::vector<uint8_t> texels = sample::EncodeTexels(format, width, height, pixels);
    EXPECT_EQ(texels.size(), storedBytes) << "format " << format;
    const auto decoded = DecodeOne(format, width, height, texels);
    ASSERT_EQ(decoded.size(), picture.size()) << "format " << format;
    for (size_t i = 0; i < picture.size(); ++i)
        ASSERT_EQ(decoded[i], picture[i]) << "format " << format << " texel " << i;
}

}  // namespace

TEST(TexelRoundTrip, EveryBlockFormatGivesBackItsPicture) {
    // 13 x 11 is no multiple of any block size: every edge block is partial,
    // and stored whole.
    const size_t storedBytes[] = {4 * 32, 6 * 32, 6 * 32, 12 * 32, 12 * 32, 12 * 32, 12 * 64};
    for (uint32_t format = 0; format <= 6; ++format) {
        Picker pick{std::mt19937(format + 1)};
        std::vector<RgbaColor> picture(13 * 11);
        for (RgbaColor& c : picture)
            c = pick.Exact(format);
        ExpectRoundTrip(format, 13, 11, picture, storedBytes[format]);
    }
}

TEST(TexelRoundTrip, CompressedGivesBackTwoColoursAndClearTexelsPerSubBlock) {
    // 19 x 10: five 4 x 4 sub-blocks across, three down, in 3 x 2 blocks. Two
    // Rgb565-exact colours per sub-block; every third also has clear texels.
    Picker pick{std::mt19937(14)};
    std::vector<RgbaColor> pairs(2 * 5 * 3);
    for (RgbaColor& c : pairs)
        c = pick.Exact(4);
    std::vector<RgbaColor> picture;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 19; ++x) {
            const int sub = (y / 4) * 5 + x / 4, choice = pick(3);
            picture.push_back(choice == 2 && sub % 3 == 0 ? kClear : pairs[2 * sub + (choice & 1)]);
        }
    ExpectRoundTrip(14, 19, 10, picture, 3 * 2 * 32);
}

TEST(TexelRoundTrip, EncoderRefusesWhatItCannotStore) {
    EXPECT_TRUE(sample::EncodeTexels(9, 2, 2, std::vector<sample::Rgba>(4)).empty());
    EXPECT_TRUE(sample::EncodeTexels(4, 3, 2, std::vector<sample::Rgba>(4)).empty());
}
