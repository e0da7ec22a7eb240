// Every format against bytes worked out by hand from the format tables.

#include <gtest/gtest.h>

#include <array>

#include "tests/texture/ArchiveFixture.h"
#include "texture/RgbaColor.h"

using namespace texturetest;

TEST(ColourHelpers, ExpansionCheckValuesPackedOrderAndLerpWeights) {
    EXPECT_EQ((std::array{Expand3(1), Expand3(4), Expand3(7)}),
              (std::array<uint8_t, 3>{36, 144, 252}));
    EXPECT_EQ((std::array{Expand4(1), Expand4(10), Expand4(15)}),
              (std::array<uint8_t, 3>{17, 170, 255}));
    EXPECT_EQ((std::array{Expand5(1), Expand5(16), Expand5(31)}),
              (std::array<uint8_t, 3>{8, 132, 255}));
    EXPECT_EQ((std::array{Expand6(1), Expand6(32), Expand6(63)}),
              (std::array<uint8_t, 3>{4, 130, 255}));
    // Compressed blocks compare colours by Packed: red decides first.
    EXPECT_EQ((RgbaColor{1, 2, 3, 4}.Packed()), 0x01020304u);
    EXPECT_EQ(RgbaColor::Lerp({255, 0, 100, 255}, {0, 255, 200, 0}, 85),
              (RgbaColor{170, 84, 133, 170}));
}

TEST(Intensity4, NibbleOrderAndEightByEightTiling) {
    // 16 x 16: four blocks of 32 bytes, 4 bytes a block row.
    std::vector<uint8_t> b(128, 0);
    b[0] = 0x1F, b[3] = 0xA5;     // (0,0) (1,0); (6,0) (7,0)
    b[4] = 0x30, b[31] = 0x8C;    // (0,1) (1,1); (6,7) (7,7)
    b[32] = 0x2E, b[63] = 0x71;   // block (1,0): (8,0) (9,0); (14,7) (15,7)
    b[64] = 0x40, b[127] = 0x9B;  // block (0,1): (0,8) (1,8); block (1,1): (14,15) (15,15)
    const TexelAt want[] = {{0, 0, Gray(17)},    {1, 0, Gray(255)},   {6, 0, Gray(170)},
                            {7, 0, Gray(85)},    {0, 1, Gray(51)},    {6, 7, Gray(136)},
                            {7, 7, Gray(204)},   {8, 0, Gray(34)},    {9, 0, Gray(238)},
                            {14, 7, Gray(119)},  {15, 7, Gray(17)},   {0, 8, Gray(68)},
                            {14, 15, Gray(153)}, {15, 15, Gray(187)}, {3, 3, Gray(0)}};
    ExpectTexels(DecodeOne(0, 16, 16, b), 16, 16, want);
}

TEST(Intensity8, EightByFourTiling) {
    // 16 x 8: blocks of 8 x 4, two across, two down. (0,1) is row 1 of the
    // block, not texel 8 of the image row.
    const TexelAt want[] = {{0, 0, Gray(0)},   {7, 0, Gray(7)},  {0, 1, Gray(8)},
                            {1, 1, Gray(9)},   {7, 3, Gray(31)}, {8, 0, Gray(32)},
                            {15, 3, Gray(63)}, {0, 4, Gray(64)}, {10, 5, Gray(106)},
                            {15, 7, Gray(127)}};
    ExpectTexels(DecodeOne(1, 16, 8, Counting(128)), 16, 8, want);
}

TEST(IntensityAlpha4, HighNibbleAlphaLowNibbleIntensity) {
    std::vector<uint8_t> b(64, 0);
    b[11] = 0x5A;  // (3,1)
    b[40] = 0xF0;  // block (1,0), texel 8: (8,1)
    b[63] = 0x0F;  // (15,3)
    const TexelAt want[] = {
        {3, 1, Gray(170, 85)}, {8, 1, Gray(0, 255)}, {15, 3, Gray(255, 0)}, {0, 0, kClear}};
    ExpectTexels(DecodeOne(2, 16, 4, b), 16, 4, want);
}

TEST(IntensityAlpha8, AlphaByteThenIntensityByteInFourByFourBlocks) {
    std::vector<uint8_t> b(128, 0);
    b[18] = 0x40, b[19] = 0xC0;    // texel 9 of block 0: (1,2)
    b[32] = 0x11, b[33] = 0x22;    // block (1,0): (4,0)
    b[64] = 0x33, b[65] = 0x44;    // block (0,1): (0,4)
    b[126] = 0x55, b[127] = 0x66;  // (7,7)
    const TexelAt want[] = {{1, 2, Gray(0xC0, 0x40)},
                            {4, 0, Gray(0x22, 0x11)},
                            {0, 4, Gray(0x44, 0x33)},
                            {7, 7, Gray(0x66, 0x55)},
                            {3, 3, kClear}};
    ExpectTexels(DecodeOne(3, 8, 8, b), 8, 8, want);
}

TEST(Rgb565, FieldsHighByteFirst) {
    std::vector<uint8_t> b(128, 0);
    b[0] = 0xF8, b[1] = 0x00;      // (0,0) red
    b[2] = 0x07, b[3] = 0xE0;      // (1,0) green
    b[4] = 0x00, b[5] = 0x1F;      // (2,0) blue
    b[12] = 0x12, b[13] = 0x34;    // (2,1): 00010 010001 10100
    b[114] = 0x84, b[115] = 0x10;  // block (1,1), texel 9: (5,6)
    const TexelAt want[] = {{0, 0, {255, 0, 0, 255}},     {1, 0, {0, 255, 0, 255}},
                            {2, 0, {0, 0, 255, 255}},     {2, 1, {16, 69, 165, 255}},
                            {5, 6, {132, 130, 132, 255}}, {4, 4, {0, 0, 0, 255}}};
    ExpectTexels(DecodeOne(4, 8, 8, b), 8, 8, want);
}

TEST(RgbOrArgb16, BitFifteenSelectsOpaqueRgb555OrAlpha3Rgb444) {
    // 8 x 4: texels 0 to 8 of block 0, two bytes each, high byte first.
    std::vector<uint8_t> b = {
        0xFC, 0x00, 0x83, 0xE0, 0x80, 0x1F, 0x84, 0x44,  // 1 RRRRR GGGGG BBBBB
        0x70, 0x00, 0x0F, 0x00, 0x00, 0xF0, 0x00, 0x0F,  // 0 AAA RRRR GGGG BBBB
        0x31, 0x24};
    b.resize(64);
    b[32] = 0x80;  // block 1, texel 0: (4,0)
    const TexelAt want[] = {
        {0, 0, {255, 0, 0, 255}}, {1, 0, {0, 255, 0, 255}}, {2, 0, {0, 0, 255, 255}},
        {3, 0, {8, 16, 33, 255}}, {0, 1, {0, 0, 0, 252}},   {1, 1, {255, 0, 0, 0}},
        {2, 1, {0, 255, 0, 0}},   {3, 1, {0, 0, 255, 0}},   {0, 2, {17, 34, 68, 108}},
        {4, 0, {0, 0, 0, 255}},   {1, 2, {0, 0, 0, 0}}};  // a stored zero is the alpha layout
    ExpectTexels(DecodeOne(5, 8, 4, b), 8, 4, want);
}

TEST(Rgba8, AlphaRedHalfThenGreenBlueHalf) {
    // 8 x 4: two blocks of 64 bytes.
    std::vector<uint8_t> b(128, 0);
    b[10] = 0x11, b[11] = 0x22, b[42] = 0x33, b[43] = 0x44;    // texel 5: (1,1)
    b[30] = 0xA0, b[31] = 0xA1, b[62] = 0xA2, b[63] = 0xA3;    // texel 15: (3,3)
    b[64] = 0xB0, b[65] = 0xB1, b[96] = 0xB2, b[97] = 0xB3;    // block 1 texel 0: (4,0)
    b[70] = 0xC0, b[71] = 0xC1, b[102] = 0xC2, b[103] = 0xC3;  // block 1 texel 3: (7,0)
    const TexelAt want[] = {{1, 1, {0x22, 0x33, 0x44, 0x11}},
                            {3, 3, {0xA1, 0xA2, 0xA3, 0xA0}},
                            {4, 0, {0xB1, 0xB2, 0xB3, 0xB0}},
                            {7, 0, {0xC1, 0xC2, 0xC3, 0xC0}},
                            {0, 0, kClear}};
    ExpectTexels(DecodeOne(6, 8, 4, b), 8, 4, want);
}

TEST(Compressed, FourAndThreeColourCasesInSubBlockOrder) {
    // 16 x 8: two 8 x 8 blocks of four sub-blocks (top-left, top-right,
    // bottom-left, bottom-right): c0, c1, then a byte of 2-bit indices per row.
    // Block 1's other sub-blocks are zeros: three colours of black.
    std::vector<uint8_t> b = {
        0xFF, 0xFF, 0x00, 0x00, 0x1B, 0x00, 0x00, 0xE4,  // white > black; rows 0, 3: 0123, 3210
        0xF8, 0x00, 0x00, 0x1F, 0x00, 0xB1, 0x00, 0x00,  // red > blue; row 1: 2301
        0x00, 0x1F, 0xF8, 0x00, 0x00, 0x00, 0x1B, 0x00,  // blue < red, three colours; row 2: 0123
        0x07, 0xE0, 0x07, 0xE0, 0x00, 0x00, 0x00, 0xE4,  // equal greens, three colours; row 3: 3210
        0xF8, 0x00, 0x00, 0x00, 0x55, 0x00, 0x00, 0x00};  // block 1: red > black; row 0: 1111
    b.resize(64);
    const RgbaColor white = Gray(255), light = Gray(170), dark = Gray(84), black = Gray(0);
    const RgbaColor red{255, 0, 0, 255}, blue{0, 0, 255, 255}, green{0, 255, 0, 255};
    const RgbaColor redder{170, 0, 84, 255}, bluer{84, 0, 170, 255}, mean{127, 0, 127, 255};
    const TexelAt want[] = {
        {0, 0, white}, {1, 0, black},  {2, 0, light}, {3, 0, dark},   {0, 3, dark},   {3, 3, white},
        {0, 1, white}, {4, 1, redder}, {5, 1, bluer}, {6, 1, red},    {7, 1, blue},   {4, 0, red},
        {0, 6, blue},  {1, 6, red},    {2, 6, mean},  {3, 6, kClear}, {4, 7, kClear}, {5, 7, green},
        {6, 7, green}, {7, 7, green},  {8, 0, black}, {8, 1, red},    {12, 0, black}};
    ExpectTexels(DecodeOne(14, 16, 8, b), 16, 8, want);
}

TEST(PaddedBlocks, EdgeBlocksAreStoredWholeAndTheirOutsideTexelsDropped) {
    // 10 x 5 in 8 x 4 blocks: two blocks a row, two block rows, 128 bytes.
    const TexelAt grays[] = {{7, 3, Gray(31)}, {8, 0, Gray(32)}, {9, 0, Gray(33)},
                             {9, 1, Gray(41)}, {9, 3, Gray(57)}, {0, 4, Gray(64)},
                             {7, 4, Gray(71)}, {8, 4, Gray(96)}, {9, 4, Gray(97)}};
    ExpectTexels(DecodeOne(1, 10, 5, Counting(128)), 10, 5, grays);

    // 5 x 5 Rgba8: four 64-byte blocks; the bottom-right one holds only (4,4).
    const TexelAt colours[] = {{4, 0, {65, 96, 97, 64}},
                               {4, 3, {89, 120, 121, 88}},
                               {0, 4, {129, 160, 161, 128}},
                               {4, 4, {193, 224, 225, 192}}};
    ExpectTexels(DecodeOne(6, 5, 5, Counting(256)), 5, 5, colours);

    // 12 x 4 compressed: the second block's top-left sub-block gives x 8 to 11.
    std::vector<uint8_t> b(64, 0);
    const uint8_t sub[] = {0xFF, 0xFF, 0x00, 0x00, 0x1B, 0x1B, 0x1B, 0x1B};
    std::copy(std::begin(sub), std::end(sub), b.begin() + 32);
    const TexelAt compressed[] = {{8, 0, Gray(255)}, {11, 3, Gray(84)}, {7, 0, Gray(0)}};
    ExpectTexels(DecodeOne(14, 12, 4, b), 12, 4, compressed);
}

TEST(PaddedBlocks, ImagesSmallerThanOneBlockDecodeTheirPartOfIt) {
    // 4 x 4 Intensity4: row r of the 8 x 8 block starts at byte 4r.
    std::vector<uint8_t> b(32, 0);
    b[0] = 0x1F;
    b[13] = 0x0C;  // (2,3) (3,3)
    const TexelAt grays[] = {
        {0, 0, Gray(17)}, {1, 0, Gray(255)}, {2, 3, Gray(0)}, {3, 3, Gray(204)}};
    ExpectTexels(DecodeOne(0, 4, 4, b), 4, 4, grays);

    // 3 x 2 compressed: the first two rows of the first sub-block.
    const std::vector<uint8_t> c = {0xFF, 0xFF, 0x00, 0x00, 0x1B, 0xE4, 0x00, 0x00,
                                    0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    const TexelAt compressed[] = {
        {0, 0, Gray(255)}, {2, 0, Gray(170)}, {0, 1, Gray(84)}, {2, 1, Gray(0)}};
    ExpectTexels(DecodeOne(14, 3, 2, c), 3, 2, compressed);

    // 1 x 1 of a 4 x 4 format.
    const TexelAt green[] = {{0, 0, {0, 255, 0, 255}}};
    ExpectTexels(DecodeOne(4, 1, 1, {0x07, 0xE0}), 1, 1, green);
}

TEST(UnknownFormats, DecodeToTransparentBlackOfTheStatedSize) {
    for (uint32_t format : {7u, 8u, 9u, 10u, 11u, 12u, 13u, 15u, 256u, 0xFFFFFFFFu})
        EXPECT_EQ(DecodeOne(format, 8, 4, std::vector<uint8_t>(64, 0xFF)),
                  std::vector<RgbaColor>(32))
            << format;
}

TEST(DecoderEntryPoints, BlocksAndCompressedDecodeTheImageAsTheFormatSays) {
    // Stored as Intensity8, decoded below as other formats.
    const auto file = LoadArchive(OneImage(8, 8, 1, std::vector<uint8_t>(64, 0xFF)));
    const TexelAt opaqueWhite[] = {{3, 3, Gray(255)}};
    ExpectTexels(file->DecodeBlocks(0, 4), 8, 8, opaqueWhite);
    EXPECT_EQ(file->DecodeBlocks(0, 2).at(0), Gray(255, 255));
    EXPECT_EQ(file->DecodeBlocks(0, 9).at(0), kClear);
    // 0xFFFF over 0xFFFF: three colours, index 3 everywhere.
    const TexelAt clear[] = {{7, 7, kClear}};
    ExpectTexels(file->DecodeCompressed(0), 8, 8, clear);
}
