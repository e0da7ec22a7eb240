// Pictures stored by the sample encoder and read back by the viewer's decoders.

#include <gtest/gtest.h>

#include <random>

#include "sample/TexelEncoder.h"
#include "tests/texture/ArchiveFixture.h"

namespace {

// Picks colours that `format` stores exactly, so the decoded picture must match.
class ExactColours {
  public:
    explicit ExactColours(uint32_t seed) : random_(seed) {}

    sample::Rgba For(uint32_t format) {
        switch (format) {
            case 0:
                return Gray(Expand4(Pick(16)), 255);
            case 1:
                return Gray(Pick(256), 255);
            case 2:
                return Gray(Expand4(Pick(16)), Expand4(Pick(16)));
            case 3:
                return Gray(Pick(256), Pick(256));
            case 4:
                return {Expand5(Pick(32)), Expand6(Pick(64)), Expand5(Pick(32)), 255};
            case 5:
                if (Pick(2))
                    return {Expand5(Pick(32)), Expand5(Pick(32)), Expand5(Pick(32)), 255};
                return {Expand4(Pick(16)), Expand4(Pick(16)), Expand4(Pick(16)), Expand3(Pick(8))};
            default:
                return {Pick(256), Pick(256), Pick(256), Pick(256)};
        }
    }

    uint8_t Pick(unsigned count) {
        return static_cast<uint8_t>(std::uniform_int_distribution<unsigned>(0, count - 1)(random_));
    }

  private:
    static sample::Rgba Gray(uint8_t i, uint8_t a) { return {i, i, i, a}; }
    std::mt19937 random_;
};

void ExpectSame(const std::vector<sample::Rgba>& picture, const std::vector<RgbaColor>& decoded,
                uint32_t format) {
    ASSERT_EQ(decoded.size(), picture.size()) << "format " << format;
    for (size_t i = 0; i < picture.size(); ++i) {
        const sample::Rgba& p = picture[i];
        ASSERT_EQ(decoded[i], (RgbaColor{p.R, p.G, p.B, p.A}))
            << "format " << format << " texel " << i;
    }
}

}  // namespace

TEST(TexelRoundTrip, EveryBlockFormatGivesBackItsPicture) {
    // 13 x 11 is no multiple of any block size: every edge block is partial.
    const int width = 13, height = 11;
    for (uint32_t format : {0u, 1u, 2u, 3u, 4u, 5u, 6u}) {
        ExactColours colours(format + 1);
        std::vector<sample::Rgba> picture(width * height);
        for (sample::Rgba& p : picture)
            p = colours.For(format);
        const std::vector<uint8_t> texels = sample::EncodeTexels(format, width, height, picture);
        const size_t blockBytes = format == 6 ? 64 : 32;
        const size_t blocks = format == 0 ? 2 * 2 : format <= 2 ? 2 * 3 : 4 * 3;
        EXPECT_EQ(texels.size(), blocks * blockBytes) << "format " << format;
        ExpectSame(picture, texturetest::DecodeOne(format, width, height, texels), format);
    }
}

TEST(TexelRoundTrip, CompressedGivesBackTwoColoursAndClearTexelsPerSubBlock) {
    const int width = 19, height = 10;
    ExactColours colours(14);
    // Two Rgb565-exact colours per 4 x 4 sub-block; every third sub-block also
    // has transparent texels.
    std::vector<sample::Rgba> picture(width * height);
    const int subAcross = (width + 3) / 4, subDown = (height + 3) / 4;
    std::vector<std::array<sample::Rgba, 2>> pairs(subAcross * subDown);
    for (auto& pair : pairs)
        for (sample::Rgba& c : pair)
            c = colours.For(4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sub = (y / 4) * subAcross + x / 4;
            const int pick = colours.Pick(3);
            picture[y * width + x] =
                (pick == 2 && sub % 3 == 0) ? sample::Rgba{} : pairs[sub][pick & 1];
        }
    const std::vector<uint8_t> texels = sample::EncodeTexels(14, width, height, picture);
    EXPECT_EQ(texels.size(), 3u * 2u * 32u);
    ExpectSame(picture, texturetest::DecodeOne(14, width, height, texels), 14);
}

TEST(TexelRoundTrip, EncoderRefusesWhatItCannotStore) {
    const std::vector<sample::Rgba> four(4);
    EXPECT_TRUE(sample::EncodeTexels(9, 2, 2, four).empty());
    EXPECT_TRUE(sample::EncodeTexels(4, 3, 2, four).empty());
    EXPECT_EQ(sample::EncodeTexels(4, 2, 2, four).size(), 32u);
}
