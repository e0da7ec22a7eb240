// Reading texture archives: header, table, image headers and each image's data.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "model/Utf8Path.h"
#include "tests/support/TempDir.h"
#include "tests/texture/ArchiveFixture.h"

using namespace texturetest;

TEST(TextureArchive, EveryFieldIsReadInHostOrder) {
    sample::ArchiveImage first = ImageOf(0x0102, 0x0304, 0x05060708, {1, 2, 3});
    first.WrapS = 0x11121314;
    first.WrapT = 0x21222324;
    first.Unknown6 = 0x31323334;
    first.Unknown7 = 0x41424344;
    first.Unknown8 = 1.5f;
    first.Unknown9 = {0xA1, 0xA2, 0xA3, 0xA4};
    first.TableUnknown1 = 0x51525354;
    sample::Archive archive = ArchiveOf({first, ImageOf(8, 4, 1, std::vector<uint8_t>(32, 9))});
    archive.TableOffset = 0x01020304;
    const auto file = LoadArchive(archive);

    const ArchiveHeader& a = file->Header;
    EXPECT_EQ((std::array{a.Magic, a.ImageCount, a.TableOffset}),
              (std::array<uint32_t, 3>{0x0020AF30, 2, 0x01020304}));
    ASSERT_EQ(file->ImageCount(), 2);
    const std::vector<ImageTableEntry>& e = file->Entries;
    EXPECT_EQ((std::array{e.at(0).HeaderOffset, e.at(1).HeaderOffset, e.at(0).Unknown1}),
              (std::array<uint32_t, 3>{12 + 16, 12 + 16 + 36, 0x51525354}));
    const ImageHeader& h = file->ImageHeaders.at(0);
    EXPECT_EQ((std::array{h.Width, h.Height}), (std::array<uint16_t, 2>{0x0102, 0x0304}));
    EXPECT_EQ((std::array{h.Format, h.TexelOffset, h.Wrap_S, h.Wrap_T, h.Unknown6, h.Unknown7}),
              (std::array<uint32_t, 6>{0x05060708, 12 + 16 + 72, 0x11121314, 0x21222324, 0x31323334,
                                       0x41424344}));
    EXPECT_EQ(h.Unknown8, 1.5f);
    EXPECT_EQ(std::to_array(h.Unknown9), first.Unknown9);

    EXPECT_EQ(file->Images[1].Header, &file->ImageHeaders.at(1));
    EXPECT_EQ(file->Images[0].Data, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(file->Images[1].Data, std::vector<uint8_t>(32, 9));
    EXPECT_EQ(file->DecodeImage(1).at(31), Gray(9));
}

TEST(TextureArchive, CountZeroHoldsNoImagesAndTheTableIsAlwaysAtTwelve) {
    // A count of 0 holds no images, whatever follows the header.
    sample::Archive archive = OneImage(8, 4, 1, std::vector<uint8_t>(32, 0x42));
    archive.ImageCount = 0;
    EXPECT_EQ(LoadArchive(archive)->ImageCount(), 0);

    // Bytes at the claimed table offset that would be a different table.
    archive.ImageCount = std::nullopt;
    archive.TableOffset = 100;
    archive.Trailer = std::vector<uint8_t>(120, 0xEE);
    const auto file = LoadArchive(archive);
    ASSERT_EQ(file->ImageCount(), 1);
    EXPECT_EQ(file->ImageHeaders[0].Width, 8);
    EXPECT_EQ(file->DecodeImage(0).at(0), Gray(0x42));
}

TEST(TextureArchive, DataRunsToTheNextImagesOffsetAndTheLastToTheEndOfFile) {
    sample::Archive archive = ArchiveOf({ImageOf(8, 4, 1, Counting(64)), ImageOf(8, 4, 1, {0xAA})});
    archive.Trailer = {0xB0, 0xB1, 0xB2};
    // The second image's data starts 16 bytes into the first image's.
    archive.Images[1].TexelOffset = 12 + 16 + 72 + 16;
    const auto file = LoadArchive(archive);
    ASSERT_EQ(file->ImageCount(), 2);

    EXPECT_EQ(file->Images[0].Data, Counting(16));
    // The rest of the first image's bytes, its own byte and the trailer.
    ASSERT_EQ(file->Images[1].Data.size(), 48u + 1u + 3u);
    EXPECT_EQ(file->Images[1].Data[0], 16);
    EXPECT_EQ(file->Images[1].Data[48], 0xAA);
    EXPECT_EQ(file->Images[1].Data[51], 0xB2);

    // The first image decodes its 16 bytes; the rest of it stays zero.
    const TexelAt want[] = {{7, 1, Gray(15)}, {0, 2, kClear}};
    ExpectTexels(file->DecodeImage(0), 8, 4, want);
}

TEST(TextureArchive, FoundByNameWithAHyphenOrBesideItsModel) {
    const std::vector<uint8_t> bytes =
        sample::WriteArchive(OneImage(8, 4, 1, std::vector<uint8_t>(32, 0x80)));
    testsupport::TempDir dir;
    const std::string base = dir.File("Modèle ÄÖ 模型");
    dir.Write("Modèle ÄÖ 模型-", bytes);
    // Without the hyphen this is the model, not its archive.
    const std::string modelPath = dir.Write("model", bytes);

    TextureFile file;
    ASSERT_TRUE(file.Load(base));
    EXPECT_EQ(file.FileName, base + "-");
    EXPECT_EQ(file.FileSize(), bytes.size());
    ASSERT_EQ(file.ImageCount(), 1);
    EXPECT_EQ(file.DecodeImage(0).at(31), Gray(0x80));

    TextureFile model;
    EXPECT_FALSE(model.Load(modelPath));
    EXPECT_EQ(model.FileName, modelPath + "-");

    // A bare name is taken relative to the current folder.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    TextureFile bare;
    const bool loaded = bare.Load("Modèle ÄÖ 模型");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(bare.FileName, "Modèle ÄÖ 模型-");
    EXPECT_EQ(bare.ImageCount(), 1);

    // A model's archive lies beside the model, whatever the current folder.
    const std::string crate = dir.File("crate.mdl");
    dir.Write("crate-", bytes);
    // A name in the game's own 8-bit encoding, as a byte-string open sees it.
    const std::string latin1 = "\xE9t\xE9";
    std::FILE* opened = std::fopen((Utf8FromPath(dir.Path()) + "/" + latin1 + "-").c_str(), "wb");
    ASSERT_NE(opened, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), opened);
    std::fclose(opened);

    // Where the archive of that name is looked for, and the images held there.
    auto loads = [&crate](const std::string& name) {
        ModelHeader header{};
        std::memcpy(header.TextureName, name.data(), name.size());
        const std::optional<std::string> path = ArchivePathBeside(crate, header);
        TextureFile archive;
        const bool loaded = path && archive.Load(path->substr(0, path->size() - 1));
        return loaded ? archive.ImageCount() : -1;
    };
    for (const std::string& name : {std::string("crate"), latin1})
        EXPECT_EQ(loads(name), 1) << name;

    // A name with a folder in it reaches no file outside the model's folder,
    // nor in a folder below it, though each names an archive that exists.
    std::filesystem::create_directory(dir.Path() / "sub");
    dir.Write("sub/crate-", bytes);
    const std::string folder = Utf8FromPath(dir.Path());
    const std::string names[] = {folder + "/crate",
                                 "../" + Utf8FromPath(dir.Path().filename()) + "/crate",
                                 "sub/crate", "sub\\crate", "C:crate"};
    for (const std::string& name : names)
        EXPECT_EQ(loads(name), -1) << name;
}

TEST(TextureArchive, SmallerLevelsStoredAfterTheFirstDecodeWhileHeldWhole) {
    // Intensity8 8 x 4, then 4 x 2, 2 x 1 and 1 x 1, each in one whole 8 x 4
    // block of its own grey; then bytes a further level would take, which
    // 1 x 1 ends. Compressed 8 x 8, then a white 4 x 4 and a cut-short 2 x 2.
    std::vector<uint8_t> grey;
    for (uint8_t level = 0; level < 5; ++level)
        grey.insert(grey.end(), 32, static_cast<uint8_t>(0x10 * level));
    std::vector<uint8_t> compressed(32);
    for (int sub = 0; sub < 4; ++sub)
        compressed.insert(compressed.end(), {0xFF, 0xFF, 0, 0, 0, 0, 0, 0});
    compressed.resize(compressed.size() + 31);
    const auto file = LoadArchive(ArchiveOf(
        {ImageOf(8, 4, 1, grey), ImageOf(8, 8, 14, compressed), ImageOf(8, 4, 99, grey)}));
    struct Level {
        int32_t Image;
        int Level;
        uint32_t Width, Height;
        RgbaColor Texel;  // every texel's; none when Width is 0
    };
    for (const Level& want : {Level{0, 1, 4, 2, Gray(0x10)},
                              {0, 2, 2, 1, Gray(0x20)},
                              {0, 3, 1, 1, Gray(0x30)},
                              {0, 4, 0, 0, {}},
                              {1, 1, 4, 4, Gray(0xFF)},
                              {1, 2, 0, 0, {}},
                              {2, 1, 0, 0, {}}}) {
        SCOPED_TRACE(testing::Message() << "image " << want.Image << " level " << want.Level);
        uint32_t width = 0, height = 0;
        const std::vector<RgbaColor> texels =
            file->DecodeLevel(want.Image, want.Level, width, height);
        ASSERT_EQ(texels.size(), size_t{want.Width} * want.Height);
        if (!texels.empty()) {
            EXPECT_EQ((std::array{width, height}), (std::array{want.Width, want.Height}));
        }
        for (const RgbaColor& texel : texels)
            EXPECT_EQ(texel, want.Texel);
    }
}
