// Archives that lie: short files, offsets out of order, absurd counts and sizes.

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/texture/ArchiveFixture.h"

using texturetest::At;
using texturetest::DecodeOne;
using texturetest::ExpectTexels;
using texturetest::LoadArchive;
using texturetest::LoadBytes;
using texturetest::OneImage;

namespace {

constexpr RgbaColor kClear{0, 0, 0, 0};

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
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + length);
        const auto file = LoadBytes(cut);
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
    auto img = DecodeOne(4, 8, 8, std::vector<uint8_t>(41, 0xFF));
    ASSERT_EQ(img.size(), 64u);
    const RgbaColor white{255, 255, 255, 255};
    ExpectTexels(img, 8,
                 {{3, 3, white},
                  {4, 0, white},
                  {7, 0, white},
                  {4, 1, kClear},
                  {0, 4, kClear},
                  {7, 7, kClear}});

    // Rgba8 with only 40 of 64 bytes: a texel needs both of its halves.
    img = DecodeOne(6, 4, 4, std::vector<uint8_t>(40, 0x7F));
    ASSERT_EQ(img.size(), 16u);
    ExpectTexels(img, 4, {{3, 0, RgbaColor{0x7F, 0x7F, 0x7F, 0x7F}}, {0, 1, kClear}});

    // Compressed with 6 bytes: the colours and rows 0 and 1 of the first sub-block.
    img = DecodeOne(14, 8, 8, {0xF8, 0x00, 0x00, 0x00, 0x00, 0x00});
    ASSERT_EQ(img.size(), 64u);
    ExpectTexels(img, 8, {{3, 1, RgbaColor{255, 0, 0, 255}}, {0, 2, kClear}, {4, 0, kClear}});

    // Intensity4 with one byte: two texels.
    img = DecodeOne(0, 8, 8, {0xF0});
    ExpectTexels(img, 8,
                 {{0, 0, texturetest::Gray(255)}, {1, 0, texturetest::Gray(0)}, {2, 0, kClear}});

    // No data at all.
    img = DecodeOne(1, 8, 4, {});
    ASSERT_EQ(img.size(), 32u);
    EXPECT_EQ(img[0], kClear);
}

TEST(HostileArchive, ImagesOutOfTableOrderGetNoDataInsteadOfANegativeLength) {
    sample::Archive archive = OneImage(8, 4, 1, std::vector<uint8_t>(32, 0x11));
    archive.Images.push_back(archive.Images[0]);
    archive.Images[1].Texels.assign(32, 0x22);
    // Store the second image's texels first.
    const uint32_t texelsAt = 12 + 16 + 72;
    archive.Images[0].TexelOffset = texelsAt + 32;
    archive.Images[1].TexelOffset = texelsAt;
    const auto file = LoadArchive(archive);
    ASSERT_EQ(file->ImageCount(), 2);
    EXPECT_TRUE(file->Images[0].Data.empty());
    EXPECT_EQ(file->Images[1].Data.size(), 64u);

    const auto first = file->DecodeImage(0);
    ASSERT_EQ(first.size(), 32u);
    EXPECT_EQ(first[0], kClear);
    EXPECT_EQ(file->DecodeImage(1)[0], texturetest::Gray(0x11));

    // Offsets past the end of the file give no data either.
    archive.Images[0].TexelOffset = 0xFFFFFFF0;
    archive.Images[1].TexelOffset = 0xFFFFFFFF;
    const auto far = LoadArchive(archive);
    EXPECT_TRUE(far->Images[0].Data.empty());
    EXPECT_TRUE(far->Images[1].Data.empty());
    DecodeEverything(*far);
}

TEST(HostileArchive, HugeImageCountHoldsOnlyWhatTheFileCanHold) {
    sample::Archive archive = OneImage(8, 4, 1, std::vector<uint8_t>(32, 0x33));
    archive.ImageCount = 0xFFFFFFFF;
    archive.Trailer = std::vector<uint8_t>(1000, 0);
    const std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    const auto file = LoadBytes(bytes);

    EXPECT_EQ(file->Header.ImageCount, 0xFFFFFFFFu);
    EXPECT_GT(file->ImageCount(), 0);
    EXPECT_LE(static_cast<size_t>(file->ImageCount()), bytes.size() / 8);
    EXPECT_EQ(file->Images.size(), static_cast<size_t>(file->ImageCount()));
    EXPECT_EQ(file->ImageHeaders.size(), file->Images.size());
    size_t held = 0;
    for (const TextureImage& image : file->Images)
        held += image.Data.size();
    EXPECT_LE(held, 4 * bytes.size());
    EXPECT_EQ(file->ImageHeaders[0].Width, 8);
    DecodeEverything(*file);
}

TEST(HostileArchive, ZeroAndHugeDimensions) {
    EXPECT_TRUE(DecodeOne(1, 0, 4, std::vector<uint8_t>(32, 1)).empty());
    EXPECT_TRUE(DecodeOne(14, 8, 0, std::vector<uint8_t>(32, 1)).empty());
    EXPECT_TRUE(DecodeOne(9, 0, 0, {}).empty());

    // Just over twice the file size in texels is refused, just under is decoded.
    const size_t fileSize = 12 + 8 + 36 + 100;
    EXPECT_EQ(
        DecodeOne(9, static_cast<uint16_t>(2 * fileSize), 1, std::vector<uint8_t>(100)).size(),
        2 * fileSize);
    ASSERT_TRUE(DecodeOne(9, static_cast<uint16_t>(2 * fileSize + 1), 1, std::vector<uint8_t>(100))
                    .empty());

    // 65535 x 65535 would be 16 GiB of texels that no file this size can back.
    for (uint32_t format : {0u, 4u, 6u, 9u, 14u})
        EXPECT_TRUE(DecodeOne(format, 65535, 65535, std::vector<uint8_t>(64, 1)).empty());

    // As long as the file could back it, a 65535-texel row decodes: the
    // blocks the data holds, then zeros.
    auto img = DecodeOne(1, 65535, 1, std::vector<uint8_t>(40000, 0x44));
    ASSERT_EQ(img.size(), 65535u);
    EXPECT_EQ(img[0], texturetest::Gray(0x44));
    EXPECT_EQ(img[7], texturetest::Gray(0x44));
    // Block 1249 (the last the data holds whole) starts at byte 39968, texel 9992.
    EXPECT_EQ(img[9992], texturetest::Gray(0x44));
    EXPECT_EQ(img[10000], kClear);
    EXPECT_EQ(img[65534], kClear);
}

TEST(HostileArchive, ImagesTogetherDecodeNoMoreTexelsThanTheFileCanBack) {
    // 200 images that each claim a 16000 x 1 row: each alone could lie in the
    // file, together they would decode 400 times what it can back.
    sample::Archive archive;
    for (int i = 0; i < 200; ++i)
        archive.Images.push_back(texturetest::ImageOf(16000, 1, 1, {}));
    archive.Images[0].Texels.assign(64, 0x55);
    archive.Images.push_back(texturetest::ImageOf(8, 4, 1, std::vector<uint8_t>(32, 0x66)));
    const std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    ASSERT_LT(16000u, 2 * bytes.size());
    const auto file = LoadBytes(bytes);
    ASSERT_EQ(file->ImageCount(), 201);

    size_t decoded = 0;
    for (int32_t k = 0; k < file->ImageCount(); ++k)
        decoded += file->DecodeImage(k).size();
    EXPECT_LE(decoded, 2 * bytes.size());
    // The first takes its texels; the others that would exceed the file stay
    // undecoded, and a small image after them still fits.
    const auto first = file->DecodeImage(0);
    ASSERT_EQ(first.size(), 16000u);
    EXPECT_EQ(first[0], texturetest::Gray(0x55));
    EXPECT_TRUE(file->DecodeImage(1).empty());
    EXPECT_TRUE(file->DecodeImage(199).empty());
    const auto last = file->DecodeImage(200);
    ASSERT_EQ(last.size(), 32u);
    EXPECT_EQ(last[0], texturetest::Gray(0x66));
}

TEST(HostileArchive, ATableNamingOneHeaderThousandsOfTimesHoldsBoundedMemory) {
    // Every table entry of a 4 KiB file names the same header, which lies at
    // the end of the file with its texels.
    constexpr size_t kSize = 4096, kHeaderAt = kSize - 68, kTexelsAt = kSize - 32;
    sample::Archive archive = OneImage(8, 4, 1, std::vector<uint8_t>(32, 0x33));
    archive.ImageCount = 0xFFFFFFFF;
    archive.Images[0].HeaderOffset = kHeaderAt;
    archive.Images[0].TexelOffset = kTexelsAt;
    std::vector<uint8_t> bytes = sample::WriteArchive(archive);
    ASSERT_EQ(bytes.size(), 12u + 8 + 36 + 32);
    bytes.resize(kSize);
    std::copy_n(bytes.begin() + 20, 68, bytes.begin() + kHeaderAt);
    for (size_t entry = 20; entry + 8 <= kHeaderAt; entry += 8)
        std::copy_n(bytes.begin() + 12, 8, bytes.begin() + static_cast<ptrdiff_t>(entry));
    const auto file = LoadBytes(bytes);

    ASSERT_GT(file->ImageCount(), 1);
    // Entries, headers and images together within the reader's budget of four
    // times the file.
    const size_t held = file->Entries.size() * sizeof(ImageTableEntry) +
                        file->ImageHeaders.size() * sizeof(ImageHeader) +
                        file->Images.size() * sizeof(TextureImage);
    EXPECT_LE(held, 4 * bytes.size());
    EXPECT_EQ(file->ImageHeaders.back().Width, 8);
    EXPECT_EQ(file->DecodeImage(0).size(), 32u);
}
