// Archives that lie: short files, offsets out of order, absurd counts and sizes.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/texture/ArchiveFixture.h"

using namespace texturetest;

namespace {

// Decodes every image the file holds, and a few indices it does not.
void DecodeEverything(const TextureFile& file) {
    for (int32_t k = 0; k < file.ImageCount(); ++k)
        (void)file.DecodeImage(k);
    for (int32_t k : {-1, file.ImageCount(), INT32_MAX, INT32_MIN})
        EXPECT_TRUE(file.DecodeImage(k).empty()) << k;
}

}  // namespace

TEST(HostileArchive, FilesCutShortLoadWhatIsThere) {
    const std::vector<uint8_t> whole =
        sample::WriteArchive(OneImage(8, 8, 4, std::vector<uint8_t>(128, 0xFF)));
    // Every length, from nothing to the whole file.
    for (size_t length = 0; length <= whole.size(); ++length) {
        const auto file = LoadBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + length));
        EXPECT_LE(file->ImageCount(), 1) << length;
        EXPECT_EQ(file->FileSize(), length);
        DecodeEverything(*file);
    }

    // Shorter than the header: no table can be read.
    EXPECT_EQ(LoadBytes({0x00, 0x20, 0xAF, 0x30, 0x00, 0x00})->ImageCount(), 0);

    // Cut in the middle of the image header: the dimensions are there, the
    // texel offset is not, so the image is taken from offset 0 on, as far as
    // the file goes and a 24-byte file's budget leaves beside the image itself.
    const auto file = LoadBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + 20 + 4));
    ASSERT_EQ(file->ImageCount(), 1);
    EXPECT_EQ(file->ImageHeaders[0].Width, 8);
    EXPECT_EQ(file->ImageHeaders[0].TexelOffset, 0u);
    const std::vector<uint8_t>& data = file->Images[0].Data;
    ASSERT_FALSE(data.empty());
    EXPECT_LE(data.size(), 24u);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), whole.begin()));
}

TEST(HostileArchive, TexelsWhoseBytesAreMissingStayZero) {
    // 8 x 8 Rgb565 needs 128 bytes; 41 hold block 0, texels 0 to 3 of block 1
    // and half of texel 4.
    const TexelAt rgb565[] = {{3, 3, Gray(255)}, {4, 0, Gray(255)}, {7, 0, Gray(255)},
                              {4, 1, kClear},    {0, 4, kClear},    {7, 7, kClear}};
    ExpectTexels(DecodeOne(4, 8, 8, std::vector<uint8_t>(41, 0xFF)), 8, 8, rgb565);

    // Rgba8 with only 40 of 64 bytes: a texel needs both of its halves.
    const TexelAt rgba8[] = {{3, 0, Gray(0x7F, 0x7F)}, {0, 1, kClear}};
    ExpectTexels(DecodeOne(6, 4, 4, std::vector<uint8_t>(40, 0x7F)), 4, 4, rgba8);

    // Compressed with 6 bytes: the colours and rows 0 and 1 of the first sub-block.
    const TexelAt compressed[] = {{3, 1, {255, 0, 0, 255}}, {0, 2, kClear}, {4, 0, kClear}};
    ExpectTexels(DecodeOne(14, 8, 8, {0xF8, 0x00, 0x00, 0x00, 0x00, 0x00}), 8, 8, compressed);

    // Intensity4 with one byte: two texels.
    const TexelAt intensity4[] = {{0, 0, Gray(255)}, {1, 0, Gray(0)}, {2, 0, kClear}};
    ExpectTexels(DecodeOne(0, 8, 8, {0xF0}), 8, 8, intensity4);

    EXPECT_EQ(DecodeOne(1, 8, 4, {}), std::vector<RgbaColor>(32));
}

TEST(HostileArchive, ImagesOutOfTableOrderGetNoDataInsteadOfANegativeLength) {
    sample::Archive archive = ArchiveOf({ImageOf(8, 4, 1, std::vector<uint8_t>(32, 0x11)),
                                         ImageOf(8, 4, 1, std::vector<uint8_t>(32, 0x22))});
    // The first image claims the second one's texels, and the second the first one's.
    archive.Images[0].TexelOffset = 12 + 16 + 72 + 32;
    archive.Images[1].TexelOffset = 12 + 16 + 72;
    const auto file = LoadArchive(archive);
    ASSERT_EQ(file->ImageCount(), 2);
    EXPECT_TRUE(file->Images[0].Data.empty());
    EXPECT_EQ(file->Images[1].Data.size(), 64u);
    EXPECT_EQ(file->DecodeImage(0), std::vector<RgbaColor>(32));
    EXPECT_EQ(file->DecodeImage(1).at(0), Gray(0x11));

    // Offsets past the end of the file give no data either.
    archive.Images[0].TexelOffset = 0xFFFFFFF0;
    archive.Images[1].TexelOffset = 0xFFFFFFFF;
    const auto far = LoadArchive(archive);
    EXPECT_TRUE(far->Images[0].Data.empty());
    EXPECT_TRUE(far->Images[1].Data.empty());
    DecodeEverything(*far);
}

TEST(HostileArchive, ZeroAndHugeDimensions) {
    EXPECT_TRUE(DecodeOne(1, 0, 4, std::vector<uint8_t>(32, 1)).empty());
    EXPECT_TRUE(DecodeOne(14, 8, 0, std::vector<uint8_t>(32, 1)).empty());
    EXPECT_TRUE(DecodeOne(9, 0, 0, {}).empty());

    // Twice the file size in texels is decoded, one more is refused.
    const uint16_t twiceTheFile = 2 * (12 + 8 + 36 + 100);
    EXPECT_EQ(DecodeOne(9, twiceTheFile, 1, std::vector<uint8_t>(100)).size(), twiceTheFile);
    EXPECT_TRUE(DecodeOne(9, twiceTheFile + 1, 1, std::vector<uint8_t>(100)).empty());

    // 65535 x 65535 would be 16 GiB of texels that no file this size can back.
    for (uint32_t format : {0u, 4u, 6u, 9u, 14u})
        EXPECT_TRUE(DecodeOne(format, 65535, 65535, std::vector<uint8_t>(64, 1)).empty());

    // As long as the file could back it, a 65535-texel row decodes: the blocks
    // the data holds, then zeros. Block 1249, the last the data holds whole,
    // starts at byte 39968, texel 9992.
    const TexelAt row[] = {
        {0, 0, Gray(0x44)}, {9992, 0, Gray(0x44)}, {10000, 0, kClear}, {65534, 0, kClear}};
    ExpectTexels(DecodeOne(1, 65535, 1, std::vector<uint8_t>(40000, 0x44)), 65535, 1, row);
}

TEST(HostileArchive, ImagesTogetherDecodeNoMoreTexelsThanTheFileCanBack) {
    // 200 images that each claim a 16000 x 1 row: each alone could lie in the
    // file, together they would decode 400 times what it can back. A small
    // image after them still fits.
    sample::Archive archive;
    for (int i = 0; i < 200; ++i)
        archive.Images.push_back(ImageOf(16000, 1, 1, {}));
    archive.Images[0].Texels.assign(64, 0x55);
    archive.Images.push_back(ImageOf(8, 4, 1, std::vector<uint8_t>(32, 0x66)));
    const std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    ASSERT_LT(16000u, 2 * bytes.size());
    const auto file = LoadBytes(bytes);
    ASSERT_EQ(file->ImageCount(), 201);

    size_t decoded = 0;
    for (int32_t k = 0; k < file->ImageCount(); ++k)
        decoded += file->DecodeImage(k).size();
    EXPECT_LE(decoded, 2 * bytes.size());
    const auto first = file->DecodeImage(0);
    ASSERT_EQ(first.size(), 16000u);
    EXPECT_EQ(first[0], Gray(0x55));
    EXPECT_TRUE(file->DecodeImage(1).empty());
    EXPECT_TRUE(file->DecodeImage(199).empty());
    const TexelAt last[] = {{0, 0, Gray(0x66)}};
    ExpectTexels(file->DecodeImage(200), 8, 4, last);

    // Two entries that name one header: the first has no data (it runs to the
    // second's offset, its own), the second holds it, and the file backs only
    // one of them. The one with the data is decoded.
    sample::Archive shared =
        ArchiveOf({ImageOf(8, 4, 1, {}), ImageOf(64, 8, 0, std::vector<uint8_t>(256, 0x77))});
    shared.Images[0].HeaderOffset = 12 + 16 + 36;
    const auto twice = LoadBytes(sample::WriteArchive(shared));
    ASSERT_LT(2 * twice->FileSize(), 2u * 64 * 8);
    EXPECT_TRUE(twice->DecodeImage(0).empty());
    const TexelAt held[] = {{63, 7, Gray(0x77)}};
    ExpectTexels(twice->DecodeImage(1), 64, 8, held);
}
