// Reading texture archives: header, table, image headers and each image's data.

#include <gtest/gtest.h>

#include <filesystem>

#include "sample/BigEndianWriter.h"
#include "tests/support/TempDir.h"
#include "tests/texture/ArchiveFixture.h"

using texturetest::LoadArchive;

using texturetest::ImageOf;

TEST(TextureArchive, EveryFieldIsReadInHostOrder) {
    sample::Archive archive;
    archive.TableOffset = 0x01020304;
    sample::ArchiveImage first = ImageOf(0x0102, 0x0304, 0x05060708, {1, 2, 3});
    first.WrapS = 0x11121314;
    first.WrapT = 0x21222324;
    first.Unknown6 = 0x31323334;
    first.Unknown7 = 0x41424344;
    first.Unknown8 = 1.5f;
    first.Unknown9 = {0xA1, 0xA2, 0xA3, 0xA4};
    first.TableUnknown1 = 0x51525354;
    archive.Images = {first, ImageOf(8, 4, 1, std::vector<uint8_t>(32, 9))};
    const auto file = LoadArchive(archive);

    EXPECT_EQ(file->Header.Magic, 0x0020AF30u);
    EXPECT_EQ(file->Header.ImageCount, 2u);
    EXPECT_EQ(file->Header.TableOffset, 0x01020304u);
    ASSERT_EQ(file->ImageCount(), 2);
    ASSERT_EQ(file->Entries.size(), 2u);
    ASSERT_EQ(file->ImageHeaders.size(), 2u);
    ASSERT_EQ(file->Images.size(), 2u);
    EXPECT_EQ(file->Entries[0].HeaderOffset, 12u + 16u);
    EXPECT_EQ(file->Entries[1].HeaderOffset, 12u + 16u + 36u);
    EXPECT_EQ(file->Entries[0].Unknown1, 0x51525354u);

    const ImageHeader& h = file->ImageHeaders[0];
    EXPECT_EQ(h.Width, 0x0102);
    EXPECT_EQ(h.Height, 0x0304);
    EXPECT_EQ(h.Format, 0x05060708u);
    EXPECT_EQ(h.TexelOffset, 12u + 16u + 72u);
    EXPECT_EQ(h.Wrap_S, 0x11121314u);
    EXPECT_EQ(h.Wrap_T, 0x21222324u);
    EXPECT_EQ(h.Unknown6, 0x31323334u);
    EXPECT_EQ(h.Unknown7, 0x41424344u);
    EXPECT_EQ(h.Unknown8, 1.5f);
    EXPECT_EQ(h.Unknown9[0], 0xA1);
    EXPECT_EQ(h.Unknown9[3], 0xA4);

    EXPECT_EQ(file->Images[0].Header, &file->ImageHeaders[0]);
    EXPECT_EQ(file->Images[1].Header, &file->ImageHeaders[1]);
    EXPECT_EQ(file->Images[0].Data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(file->Images[1].Data, std::vector<uint8_t>(32, 9));
    EXPECT_EQ(file->DecodeImage(1)[31], texturetest::Gray(9));
}

TEST(TextureArchive, CountZeroLoadsWithNoImages) {
    sample::Archive archive;
    const auto file = LoadArchive(archive);
    EXPECT_EQ(file->ImageCount(), 0);
    EXPECT_TRUE(file->Images.empty());
    EXPECT_TRUE(file->DecodeImage(0).empty());
}

TEST(TextureArchive, TableIsReadAtTwelveWhateverTableOffsetSays) {
    sample::Archive archive;
    archive.TableOffset = 100;
    archive.Images = {ImageOf(8, 4, 1, std::vector<uint8_t>(32, 0x42))};
    // Bytes at the claimed table offset that would be a different table.
    archive.Trailer = std::vector<uint8_t>(120, 0xEE);
    const auto file = LoadArchive(archive);
    ASSERT_EQ(file->ImageCount(), 1);
    EXPECT_EQ(file->ImageHeaders[0].Width, 8);
    EXPECT_EQ(file->DecodeImage(0)[0], texturetest::Gray(0x42));
}

TEST(TextureArchive, DataRunsToTheNextImagesOffsetAndTheLastToTheEndOfFile) {
    sample::Archive archive;
    std::vector<uint8_t> texels(64);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = static_cast<uint8_t>(i);
    archive.Images = {ImageOf(8, 4, 1, texels), ImageOf(8, 4, 1, {0xAA})};
    archive.Trailer = {0xB0, 0xB1, 0xB2};
    // The second image's data starts 16 bytes into the first image's.
    const uint32_t firstTexels = 12 + 16 + 72;
    archive.Images[1].TexelOffset = firstTexels + 16;
    const auto file = LoadArchive(archive);
    ASSERT_EQ(file->ImageCount(), 2);

    ASSERT_EQ(file->Images[0].Data.size(), 16u);
    EXPECT_EQ(file->Images[0].Data[15], 15);
    // The rest of the first image's bytes, its own byte and the trailer.
    ASSERT_EQ(file->Images[1].Data.size(), 48u + 1u + 3u);
    EXPECT_EQ(file->Images[1].Data[0], 16);
    EXPECT_EQ(file->Images[1].Data[48], 0xAA);
    EXPECT_EQ(file->Images[1].Data[51], 0xB2);

    // The first image decodes its 16 bytes; the rest of it stays zero.
    const auto first = file->DecodeImage(0);
    EXPECT_EQ(texturetest::At(first, 8, 7, 1), texturetest::Gray(15));
    EXPECT_EQ(texturetest::At(first, 8, 0, 2), (RgbaColor{0, 0, 0, 0}));
}

TEST(TextureArchive, LoadAppendsAHyphenToABareNameOrAFullPath) {
    sample::Archive archive;
    archive.Images = {ImageOf(8, 4, 1, std::vector<uint8_t>(32, 0x80))};
    const std::vector<uint8_t> bytes = sample::WriteArchive(archive);

    testsupport::TempDir dir;
    const std::filesystem::path folder = dir.Path() / u8"Modèle ÄÖ 模型";
    std::filesystem::create_directory(folder);
    const std::string base = testsupport::Utf8(folder / "kestrel_tex");
    ASSERT_TRUE(sample::WriteFile(base + "-", bytes));

    TextureFile file;
    ASSERT_TRUE(file.Load(base));
    EXPECT_EQ(file.FileName, base + "-");
    EXPECT_EQ(file.FileSize(), bytes.size());
    ASSERT_EQ(file.ImageCount(), 1);
    EXPECT_EQ(file.DecodeImage(0)[31], texturetest::Gray(0x80));

    // A bare name is taken relative to the current folder.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    TextureFile bare;
    const bool loaded = bare.Load("kestrel_tex");
    TextureFile missing;
    const bool missingLoaded = missing.Load("no_such_archive");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(bare.FileName, "kestrel_tex-");
    EXPECT_EQ(bare.ImageCount(), 1);

    // The name without the hyphen is not the archive.
    ASSERT_TRUE(sample::WriteFile(base, bytes));
    std::filesystem::remove(folder / "kestrel_tex-");
    TextureFile gone;
    EXPECT_FALSE(gone.Load(base));
    EXPECT_EQ(gone.FileName, base + "-");
    EXPECT_EQ(gone.ImageCount(), 0);
    EXPECT_FALSE(missingLoaded);
    EXPECT_EQ(missing.FileName, "no_such_archive-");
}
