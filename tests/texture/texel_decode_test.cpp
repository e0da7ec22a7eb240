// Every format against bytes worked out by hand from the format tables.

#include <gtest/gtest.h>

#include <numeric>

#include "tests/texture/ArchiveFixture.h"
#include "texture/RgbaColor.h"

using texturetest::At;
using texturetest::DecodeOne;
using texturetest::ExpectTexels;
using texturetest::Gray;

namespace {

constexpr RgbaColor kClear{0, 0, 0, 0};

// Bytes 0, 1, 2, ... so that every texel tells which byte it came from.
std::vector<uint8_t> Counting(size_t count) {
    std::vector<uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

}  // namespace

TEST(ChannelExpansion, CheckValues) {
    EXPECT_EQ(Expand3(7), 252);
    EXPECT_EQ(Expand3(1), 36);
    EXPECT_EQ(Expand3(4), 144);
    EXPECT_EQ(Expand4(15), 255);
    EXPECT_EQ(Expand4(1), 17);
    EXPECT_EQ(Expand4(10), 170);
    EXPECT_EQ(Expand5(31), 255);
    EXPECT_EQ(Expand5(1), 8);
    EXPECT_EQ(Expand5(16), 132);
    EXPECT_EQ(Expand6(63), 255);
    EXPECT_EQ(Expand6(1), 4);
    EXPECT_EQ(Expand6(32), 130);
}

TEST(RgbaColorOps, PackedOrdersRedFirstAndLerpWeighsEachChannel) {
    EXPECT_EQ((RgbaColor{1, 2, 3, 4}.Packed()), 0x01020304u);
    EXPECT_GT((RgbaColor{1, 0, 0, 0}.Packed()), (RgbaColor{0, 255, 255, 255}.Packed()));
    const RgbaColor a{255, 0, 100, 255}, b{0, 255, 200, 0};
    EXPECT_EQ(RgbaColor::Lerp(a, b, 85), (RgbaColor{170, 84, 133, 170}));
    EXPECT_EQ(RgbaColor::Lerp(a, b, 128), (RgbaColor{127, 127, 150, 127}));
}

TEST(Intensity4, NibbleOrderAndEightByEightTiling) {
    // 16 x 16: four blocks of 32 bytes, 4 bytes a block row.
    std::vector<uint8_t> b(128, 0);
    b[0] = 0x1F;    // (0,0) (1,0)
    b[3] = 0xA5;    // (6,0) (7,0)
    b[4] = 0x30;    // (0,1) (1,1)
    b[31] = 0x8C;   // (6,7) (7,7)
    b[32] = 0x2E;   // block (1,0): (8,0) (9,0)
    b[63] = 0x71;   // (14,7) (15,7)
    b[64] = 0x40;   // block (0,1): (0,8) (1,8)
    b[127] = 0x9B;  // (14,15) (15,15)
    const auto img = DecodeOne(0, 16, 16, b);
    ASSERT_EQ(img.size(), 256u);
    ExpectTexels(img, 16,
                 {
                     {0, 0, Gray(17)},
                     {1, 0, Gray(255)},
                     {6, 0, Gray(170)},
                     {7, 0, Gray(85)},
                     {0, 1, Gray(51)},
                     {1, 1, Gray(0)},
                     {6, 7, Gray(136)},
                     {7, 7, Gray(204)},
                     {8, 0, Gray(34)},
                     {9, 0, Gray(238)},
                     {14, 7, Gray(119)},
                     {15, 7, Gray(17)},
                     {0, 8, Gray(68)},
                     {1, 8, Gray(0)},
                     {14, 15, Gray(153)},
                     {15, 15, Gray(187)},
                     {3, 3, Gray(0)},  // no chosen byte: opaque black
                 });
}

TEST(Intensity8, EightByFourTiling) {
    // 16 x 8: blocks of 8 x 4, two across, two down.
    const auto img = DecodeOne(1, 16, 8, Counting(128));
    ASSERT_EQ(img.size(), 128u);
    ExpectTexels(img, 16,
                 {{0, 0, Gray(0)},
                  {7, 0, Gray(7)},
                  {0, 1, Gray(8)},  // row 1 of the block, not texel 8 of the image row
                  {1, 1, Gray(9)},
                  {7, 3, Gray(31)},
                  {8, 0, Gray(32)},
                  {15, 3, Gray(63)},
                  {0, 4, Gray(64)},
                  {10, 5, Gray(106)},
                  {15, 7, Gray(127)}});
}

TEST(IntensityAlpha4, HighNibbleAlphaLowNibbleIntensity) {
    std::vector<uint8_t> b(64, 0);
    b[11] = 0x5A;  // (3,1)
    b[40] = 0xF0;  // block (1,0), texel 8: (8,1)
    b[63] = 0x0F;  // (15,3)
    const auto img = DecodeOne(2, 16, 4, b);
    ASSERT_EQ(img.size(), 64u);
    ExpectTexels(
        img, 16,
        {{3, 1, Gray(170, 85)}, {8, 1, Gray(0, 255)}, {15, 3, Gray(255, 0)}, {0, 0, kClear}});
}

TEST(IntensityAlpha8, AlphaByteThenIntensityByteInFourByFourBlocks) {
    std::vector<uint8_t> b(128, 0);
    b[18] = 0x40, b[19] = 0xC0;    // texel 9 of block 0: (1,2)
    b[32] = 0x11, b[33] = 0x22;    // block (1,0): (4,0)
    b[64] = 0x33, b[65] = 0x44;    // block (0,1): (0,4)
    b[126] = 0x55, b[127] = 0x66;  // (7,7)
    const auto img = DecodeOne(3, 8, 8, b);
    ASSERT_EQ(img.size(), 64u);
    ExpectTexels(img, 8,
                 {{1, 2, Gray(0xC0, 0x40)},
                  {4, 0, Gray(0x22, 0x11)},
                  {0, 4, Gray(0x44, 0x33)},
                  {7, 7, Gray(0x66, 0x55)},
                  {3, 3, kClear}});
}

TEST(Rgb565, FieldsHighByteFirst) {
    std::vector<uint8_t> b(128, 0);
    b[0] = 0xF8, b[1] = 0x00;      // (0,0) red
    b[2] = 0x07, b[3] = 0xE0;      // (1,0) green
    b[4] = 0x00, b[5] = 0x1F;      // (2,0) blue
    b[12] = 0x12, b[13] = 0x34;    // (2,1): 00010 010001 10100
    b[114] = 0x84, b[115] = 0x10;  // block (1,1), texel 9: (5,6)
    const auto img = DecodeOne(4, 8, 8, b);
    ASSERT_EQ(img.size(), 64u);
    ExpectTexels(img, 8,
                 {{0, 0, RgbaColor{255, 0, 0, 255}},
                  {1, 0, RgbaColor{0, 255, 0, 255}},
                  {2, 0, RgbaColor{0, 0, 255, 255}},
                  {2, 1, RgbaColor{16, 69, 165, 255}},
                  {5, 6, RgbaColor{132, 130, 132, 255}},
                  {4, 4, RgbaColor{0, 0, 0, 255}}});
}

TEST(RgbOrArgb16, BitFifteenSelectsOpaqueRgb555OrAlpha3Rgb444) {
    // 8 x 4: two blocks; the second starts at byte 32.
    const uint16_t values[] = {
        0xFC00, 0x83E0, 0x801F, 0x8444,  // 1 RRRRR GGGGG BBBBB
        0x7000, 0x0F00, 0x00F0, 0x000F,  // 0 AAA RRRR GGGG BBBB
        0x3124, 0x8000,
    };
    const int texel[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 16};  // 16: first texel of block 1
    std::vector<uint8_t> b(64, 0);
    for (int n = 0; n < 10; ++n) {
        b[2 * texel[n]] = static_cast<uint8_t>(values[n] >> 8);
        b[2 * texel[n] + 1] = static_cast<uint8_t>(values[n]);
    }
    const auto img = DecodeOne(5, 8, 4, b);
    ASSERT_EQ(img.size(), 32u);
    ExpectTexels(img, 8,
                 {
                     {0, 0, RgbaColor{255, 0, 0, 255}},
                     {1, 0, RgbaColor{0, 255, 0, 255}},
                     {2, 0, RgbaColor{0, 0, 255, 255}},
                     {3, 0, RgbaColor{8, 16, 33, 255}},
                     {0, 1, RgbaColor{0, 0, 0, 252}},
                     {1, 1, RgbaColor{255, 0, 0, 0}},
                     {2, 1, RgbaColor{0, 255, 0, 0}},
                     {3, 1, RgbaColor{0, 0, 255, 0}},
                     {0, 2, RgbaColor{17, 34, 68, 108}},
                     {4, 0, RgbaColor{0, 0, 0, 255}},
                     {1, 2, kClear},  // a stored zero is the alpha layout
                 });
}

TEST(Rgba8, AlphaRedHalfThenGreenBlueHalf) {
    // 8 x 4: two blocks of 64 bytes.
    std::vector<uint8_t> b(128, 0);
    b[10] = 0x11, b[11] = 0x22, b[42] = 0x33, b[43] = 0x44;    // texel 5: (1,1)
    b[30] = 0xA0, b[31] = 0xA1, b[62] = 0xA2, b[63] = 0xA3;    // texel 15: (3,3)
    b[64] = 0xB0, b[65] = 0xB1, b[96] = 0xB2, b[97] = 0xB3;    // block 1 texel 0: (4,0)
    b[70] = 0xC0, b[71] = 0xC1, b[102] = 0xC2, b[103] = 0xC3;  // block 1 texel 3: (7,0)
    const auto img = DecodeOne(6, 8, 4, b);
    ASSERT_EQ(img.size(), 32u);
    ExpectTexels(img, 8,
                 {{1, 1, RgbaColor{0x22, 0x33, 0x44, 0x11}},
                  {3, 3, RgbaColor{0xA1, 0xA2, 0xA3, 0xA0}},
                  {4, 0, RgbaColor{0xB1, 0xB2, 0xB3, 0xB0}},
                  {7, 0, RgbaColor{0xC1, 0xC2, 0xC3, 0xC0}},
                  {0, 0, kClear}});
}

TEST(Compressed, FourAndThreeColourCasesInSubBlockOrder) {
    // 16 x 8: two 8 x 8 blocks of four 8-byte sub-blocks.
    std::vector<uint8_t> b(64, 0);
    // Sub-block 0 (top-left): white over black, row 0 indices 0 1 2 3.
    const uint8_t s0[] = {0xFF, 0xFF, 0x00, 0x00, 0x1B, 0x00, 0x00, 0xE4};
    // Sub-block 1 (top-right): red over blue, row 1 indices 2 3 0 1.
    const uint8_t s1[] = {0xF8, 0x00, 0x00, 0x1F, 0x00, 0xB1, 0x00, 0x00};
    // Sub-block 2 (bottom-left): blue under red, three colours; row 2 indices 0 1 2 3.
    const uint8_t s2[] = {0x00, 0x1F, 0xF8, 0x00, 0x00, 0x00, 0x1B, 0x00};
    // Sub-block 3 (bottom-right): two equal greens, three colours; row 3 indices 3 2 1 0.
    const uint8_t s3[] = {0x07, 0xE0, 0x07, 0xE0, 0x00, 0x00, 0x00, 0xE4};
    // Block 1, sub-block 0: red over black, row 0 all index 1.
    const uint8_t t0[] = {0xF8, 0x00, 0x00, 0x00, 0x55, 0x00, 0x00, 0x00};
    std::copy(std::begin(s0), std::end(s0), b.begin());
    std::copy(std::begin(s1), std::end(s1), b.begin() + 8);
    std::copy(std::begin(s2), std::end(s2), b.begin() + 16);
    std::copy(std::begin(s3), std::end(s3), b.begin() + 24);
    std::copy(std::begin(t0), std::end(t0), b.begin() + 32);
    const auto img = DecodeOne(14, 16, 8, b);
    ASSERT_EQ(img.size(), 128u);

    const RgbaColor white{255, 255, 255, 255}, black{0, 0, 0, 255};
    const RgbaColor red{255, 0, 0, 255}, blue{0, 0, 255, 255}, green{0, 255, 0, 255};
    ExpectTexels(img, 16,
                 {// sub-block 0: four colours
                  {0, 0, white},
                  {1, 0, black},
                  {2, 0, RgbaColor{170, 170, 170, 255}},
                  {3, 0, RgbaColor{84, 84, 84, 255}},
                  {0, 3, RgbaColor{84, 84, 84, 255}},  // row 3 indices 3 2 1 0
                  {3, 3, white},
                  {0, 1, white},
                  // sub-block 1: four colours
                  {4, 1, RgbaColor{170, 0, 84, 255}},
                  {5, 1, RgbaColor{84, 0, 170, 255}},
                  {6, 1, red},
                  {7, 1, blue},
                  {4, 0, red},
                  // sub-block 2: three colours
                  {0, 6, blue},
                  {1, 6, red},
                  {2, 6, RgbaColor{127, 0, 127, 255}},
                  {3, 6, kClear},
                  // sub-block 3: equal colours
                  {4, 7, kClear},
                  {5, 7, green},
                  {6, 7, green},
                  {7, 7, green},
                  // block 1
                  {8, 0, black},
                  {11, 0, black},
                  {8, 1, red},
                  // Block 1's other sub-blocks are zero bytes: three colours of black.
                  {12, 0, black}});
}

TEST(PaddedBlocks, EdgeBlocksAreStoredWholeAndTheirOutsideTexelsDropped) {
    // 10 x 5 in 8 x 4 blocks: two blocks a row, two block rows, 128 bytes.
    auto img = DecodeOne(1, 10, 5, Counting(128));
    ASSERT_EQ(img.size(), 50u);
    ExpectTexels(img, 10,
                 {{7, 3, Gray(31)},
                  {8, 0, Gray(32)},
                  {9, 0, Gray(33)},
                  {9, 1, Gray(41)},
                  {9, 3, Gray(57)},
                  {0, 4, Gray(64)},
                  {7, 4, Gray(71)},
                  {8, 4, Gray(96)},
                  {9, 4, Gray(97)}});

    // 5 x 5 Rgba8: four 64-byte blocks; the bottom-right one holds only (4,4).
    img = DecodeOne(6, 5, 5, Counting(256));
    ASSERT_EQ(img.size(), 25u);
    ExpectTexels(img, 5,
                 {{4, 0, RgbaColor{65, 96, 97, 64}},
                  {4, 3, RgbaColor{89, 120, 121, 88}},
                  {0, 4, RgbaColor{129, 160, 161, 128}},
                  {4, 4, RgbaColor{193, 224, 225, 192}}});

    // 12 x 4 compressed: the second block's top-left sub-block gives x 8 to 11.
    std::vector<uint8_t> b(64, 0);
    const uint8_t sub[] = {0xFF, 0xFF, 0x00, 0x00, 0x1B, 0x1B, 0x1B, 0x1B};
    std::copy(std::begin(sub), std::end(sub), b.begin() + 32);
    img = DecodeOne(14, 12, 4, b);
    ASSERT_EQ(img.size(), 48u);
    ExpectTexels(img, 12,
                 {{8, 0, RgbaColor{255, 255, 255, 255}},
                  {11, 3, RgbaColor{84, 84, 84, 255}},
                  {7, 0, RgbaColor{0, 0, 0, 255}}});
}

TEST(PaddedBlocks, ImagesSmallerThanOneBlockDecodeTheirPartOfIt) {
    // 4 x 4 Intensity4: row r of the 8 x 8 block starts at byte 4r.
    std::vector<uint8_t> b(32, 0);
    b[0] = 0x1F;
    b[13] = 0x0C;  // (2,3) (3,3)
    auto img = DecodeOne(0, 4, 4, b);
    ASSERT_EQ(img.size(), 16u);
    ExpectTexels(img, 4, {{0, 0, Gray(17)}, {1, 0, Gray(255)}, {2, 3, Gray(0)}, {3, 3, Gray(204)}});

    // 3 x 2 compressed: the first two rows of the first sub-block.
    const std::vector<uint8_t> c = {0xFF, 0xFF, 0x00, 0x00, 0x1B, 0xE4, 0x00, 0x00,
                                    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    img = DecodeOne(14, 3, 2, c);
    ASSERT_EQ(img.size(), 6u);
    ExpectTexels(img, 3,
                 {{0, 0, RgbaColor{255, 255, 255, 255}},
                  {2, 0, RgbaColor{170, 170, 170, 255}},
                  {0, 1, RgbaColor{84, 84, 84, 255}},
                  {2, 1, RgbaColor{0, 0, 0, 255}}});

    // 1 x 1 of a 4 x 4 format.
    img = DecodeOne(4, 1, 1, {0x07, 0xE0});
    ASSERT_EQ(img.size(), 1u);
    EXPECT_EQ(img[0], (RgbaColor{0, 255, 0, 255}));
}

TEST(UnknownFormats, DecodeToTransparentBlackOfTheStatedSize) {
    for (uint32_t format : {7u, 8u, 9u, 10u, 11u, 12u, 13u, 15u, 256u, 0xFFFFFFFFu}) {
        const auto img = DecodeOne(format, 8, 4, std::vector<uint8_t>(64, 0xFF));
        ASSERT_EQ(img.size(), 32u) << format;
        for (const RgbaColor& c : img)
            ASSERT_EQ(c, kClear) << format;
    }
}

TEST(DecoderEntryPoints, BlocksAndCompressedDecodeTheImageAsTheFormatSays) {
    sample::Archive archive;
    sample::ArchiveImage image;
    image.Format = 1;  // stored as Intensity8, decoded below as other formats
    image.Width = 8;
    image.Height = 8;
    image.Texels = std::vector<uint8_t>(64, 0xFF);
    archive.Images.push_back(image);
    const auto file = texturetest::LoadArchive(archive);

    EXPECT_EQ(At(file->DecodeBlocks(0, 2), 8, 0, 0), Gray(255, 255));
    EXPECT_EQ(At(file->DecodeBlocks(0, 4), 8, 3, 3), (RgbaColor{255, 255, 255, 255}));
    EXPECT_EQ(At(file->DecodeBlocks(0, 9), 8, 0, 0), kClear);
    // 0xFFFF over 0xFFFF: three colours, index 3 everywhere.
    EXPECT_EQ(At(file->DecodeCompressed(0), 8, 7, 7), kClear);
    EXPECT_EQ(file->DecodeCompressed(0).size(), 64u);
}
