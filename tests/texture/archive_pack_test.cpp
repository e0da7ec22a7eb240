// Pictures stored back into the texel formats, and archives packed from them.

#include <gtest/gtest.h>
#include <stb_dxt.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <random>

#include "model/Irregularities.h"
#include "sample/TexelEncoder.h"
#include "tests/texture/ArchiveFixture.h"
#include "texture/ArchivePack.h"
#include "texture/TexelDecoder.h"
#include "texture/TexelEncoder.h"

using namespace texturetest;

namespace {

std::vector<RgbaColor> RandomPicture(size_t texels, unsigned seed, bool grey = false) {
    std::mt19937 random(seed);
    std::vector<RgbaColor> picture(texels);
    for (RgbaColor& c : picture) {
        c = {uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random())};
        if (grey)
            c.G = c.B = c.R;
    }
    return picture;
}

std::vector<RgbaColor> Decoded(uint32_t format, int width, int height,
                               const std::vector<uint8_t>& texels) {
    return DecodeOne(format, static_cast<uint16_t>(width), static_cast<uint16_t>(height), texels);
}

// Pictures by key, as a folder of them would give them.
struct Pictures final : PictureSource {
    std::map<PictureKey, std::vector<RgbaColor>> Held;

    std::vector<PictureKey> Keys() override {
        std::vector<PictureKey> keys;
        for (const auto& [key, texels] : Held)
            keys.push_back(key);
        return keys;
    }
    bool Read(PictureKey key, uint32_t width, uint32_t height, std::vector<RgbaColor>& texels,
              std::string& error) override {
        texels = Held.at(key);
        if (texels.size() == size_t{width} * height)
            return true;
        error = "wrong size";
        return false;
    }
};

// What `kestrel textures --levels` writes of an archive: every image and every
// smaller level it holds whole.
Pictures Exported(const TextureFile& archive) {
    Pictures pictures;
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        pictures.Held[{k, 0}] = archive.DecodeImage(k);
        uint32_t width, height;
        for (int level = 1; !archive.DecodeLevel(k, level, width, height).empty(); ++level)
            pictures.Held[{k, level}] = archive.DecodeLevel(k, level, width, height);
    }
    return pictures;
}

// What kestrel check says of an archive, line by line.
std::vector<std::string> Checked(const std::vector<uint8_t>& bytes) {
    Irregularities found;
    TextureFile archive;
    MemorySource source(bytes);
    archive.LoadFrom(source, &found);
    std::vector<std::string> lines;
    for (const Irregularities::Kind& kind : found.Kinds())
        lines.insert(lines.end(), kind.Lines.begin(), kind.Lines.end());
    return lines;
}

PackResult Pack(const std::vector<uint8_t>& bytes, PictureSource& pictures) {
    return PackArchive(*LoadBytes(bytes), bytes, pictures);
}

}  // namespace

TEST(TexelEncoder, BlockFormatsStoreColoursExactlyOrToTheNearestStep) {
    // Every channel within half a step, 255 / (2^bits - 1), of the picture's:
    // a step of 1 is exact, 0 a channel the format has not (opaque).
    using Steps = std::array<double, 4>;  // R, G, B, A
    const auto expectNear = [](uint32_t format, const std::vector<RgbaColor>& picture,
                               auto&& steps) {
        const std::vector<RgbaColor> back =
            Decoded(format, 13, 11, EncodeTexels(format, 13, 11, picture));
        ASSERT_EQ(back.size(), picture.size());
        for (size_t i = 0; i < back.size(); ++i) {
            const Steps step = steps(picture[i]);
            const uint8_t *got = &back[i].R, *want = &picture[i].R;
            for (int ch = 0; ch < 4; ++ch)
                ASSERT_LE(std::abs(got[ch] - (step[ch] ? want[ch] : 255)), step[ch] / 2)
                    << "format " << format << " texel " << i << " channel " << ch;
        }
    };
    const auto always = [](Steps steps) { return [steps](RgbaColor) { return steps; }; };
    expectNear(6, RandomPicture(13 * 11, 6), always({1, 1, 1, 1}));
    expectNear(1, RandomPicture(13 * 11, 1, true), always({1, 1, 1, 0}));
    expectNear(3, RandomPicture(13 * 11, 3, true), always({1, 1, 1, 1}));
    expectNear(0, RandomPicture(13 * 11, 0, true), always({17, 17, 17, 0}));
    expectNear(2, RandomPicture(13 * 11, 2, true), always({17, 17, 17, 17}));
    expectNear(4, RandomPicture(13 * 11, 4), always({255 / 31.0, 255 / 63.0, 255 / 31.0, 0}));
    // The 16-bit format: 5 bits a colour when opaque, else 4 bits and 3 of
    // alpha, whose top value is 252.
    std::vector<RgbaColor> mixed = RandomPicture(13 * 11, 5);
    for (size_t i = 0; i < mixed.size(); i += 2)
        mixed[i].A = static_cast<uint8_t>(253 + i % 3);
    expectNear(5, mixed, [](RgbaColor c) {
        return c.A >= 254 ? Steps{255 / 31.0, 255 / 31.0, 255 / 31.0, 2} : Steps{17, 17, 17, 36};
    });
    // Colours in the intensity formats: Rec. 601, 0.299 R + 0.587 G + 0.114 B, rounded.
    const std::vector<RgbaColor> primaries = {
        {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {10, 200, 90, 255}};
    for (uint32_t format : {1u, 3u})
        EXPECT_EQ(Decoded(format, 4, 1, EncodeTexels(format, 4, 1, primaries)),
                  (std::vector<RgbaColor>{Gray(76), Gray(150), Gray(29), Gray(131)}));
    EXPECT_TRUE(EncodeTexels(9, 2, 2, std::vector<RgbaColor>(4)).empty());
    EXPECT_TRUE(EncodeTexels(4, 3, 2, std::vector<RgbaColor>(4)).empty());
}

TEST(TexelEncoder, CompressedIsStbDxtsOwnBlocksInTheArchivesOrder) {
    // 21 x 13: edge blocks past the picture, whose texels repeat its last
    // column and row.
    const int width = 21, height = 13;
    std::vector<RgbaColor> picture = RandomPicture(width * height, 14);
    for (size_t i = 0; i < picture.size(); ++i) {
        const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
        picture[i] = {uint8_t(x * 12 + picture[i].R % 9), uint8_t(y * 19), uint8_t(picture[i].B),
                      255};
    }
    const std::vector<RgbaColor> packed =
        Decoded(14, width, height, EncodeTexels(14, width, height, picture));
    ASSERT_EQ(packed.size(), picture.size());
    for (int sy = 0; sy < height; sy += 4)
        for (int sx = 0; sx < width; sx += 4) {
            alignas(4) RgbaColor block[16];
            for (int i = 0; i < 16; ++i)
                block[i] = picture[std::min(sy + i / 4, height - 1) * width +
                                   std::min(sx + i % 4, width - 1)];
            uint8_t dxt1[8];
            stb_compress_dxt_block(dxt1, &block[0].R, 0, STB_DXT_HIGHQUAL);
            // A plain decode: colours low byte first, column 0 in the low bits.
            const RgbaColor c0 = FromRgb565(dxt1[0] | dxt1[1] << 8);
            const RgbaColor c1 = FromRgb565(dxt1[2] | dxt1[3] << 8);
            const bool four = (dxt1[0] | dxt1[1] << 8) > (dxt1[2] | dxt1[3] << 8);
            const RgbaColor colours[4] = {c0, c1, RgbaColor::Lerp(c0, c1, four ? 85 : 128),
                                          four ? RgbaColor::Lerp(c0, c1, 171) : kClear};
            for (int i = 0; i < 16; ++i) {
                const int x = sx + i % 4, y = sy + i / 4;
                if (x < width && y < height) {
                    ASSERT_EQ(packed[y * width + x], colours[dxt1[4 + i / 4] >> (2 * (i % 4)) & 3])
                        << "texel (" << x << ", " << y << ")";
                }
            }
        }
    // Alpha below 128 is transparent black, the rest opaque.
    for (size_t i = 0; i < picture.size(); i += 3)
        picture[i].A = static_cast<uint8_t>(i % 256);
    const std::vector<RgbaColor> holes =
        Decoded(14, width, height, EncodeTexels(14, width, height, picture));
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i].A < 128)
            ASSERT_EQ(holes[i], kClear) << i;
        else
            ASSERT_EQ(holes[i].A, 255) << i;
    }
}

TEST(ArchivePack, UnchangedPicturesGiveBackTheArchiveAndEditedOnesASoundOne) {
    // Every format, odd sizes and whole smaller levels, each stored by the
    // sample writer from random pictures; then a format with no decoder, a
    // first level with some bytes after it, fields all set, and a trailer.
    std::vector<sample::ArchiveImage> images;
    std::mt19937 random(30);
    const struct {
        uint32_t Format;
        uint16_t Width, Height;
        int Levels;
    } shapes[] = {{0, 13, 11, 3}, {1, 8, 4, 4},  {2, 17, 9, 1},  {3, 4, 4, 3},
                  {4, 19, 10, 5}, {5, 7, 13, 4}, {6, 5, 3, 3},   {14, 21, 13, 5},
                  {14, 1, 1, 1},  {6, 64, 2, 7}, {9, 16, 16, 1}, {4, 16, 8, 1}};
    for (const auto& shape : shapes) {
        sample::ArchiveImage image = ImageOf(shape.Width, shape.Height, shape.Format, {});
        image.WrapS = random();
        image.Unknown8 = 0.5f;
        image.Unknown9 = {1, 2, 3, 4};
        image.TableUnknown1 = random();
        for (int level = 0; level < shape.Levels; ++level) {
            const int w = std::max(shape.Width >> level, 1), h = std::max(shape.Height >> level, 1);
            std::vector<sample::Rgba> pixels(static_cast<size_t>(w * h));
            for (sample::Rgba& p : pixels)
                p = {uint8_t(random()), uint8_t(random()), uint8_t(random()), uint8_t(random())};
            const std::vector<uint8_t> texels =
                shape.Format == 9 ? Counting(100)
                                  : sample::EncodeTexels(shape.Format, w, h, pixels);
            image.Texels.insert(image.Texels.end(), texels.begin(), texels.end());
        }
        images.push_back(image);
    }
    images.back().Texels.resize(images.back().Texels.size() + 10, 0xAB);
    sample::Archive sampleArchive = ArchiveOf(images);
    sampleArchive.TableOffset = 99;
    sampleArchive.Trailer = {9, 9, 9};
    const std::vector<uint8_t> bytes = sample::WriteArchive(sampleArchive);
    const std::unique_ptr<TextureFile> archive = LoadBytes(bytes);

    Pictures unchanged = Exported(*archive);
    const PackResult same = Pack(bytes, unchanged);
    EXPECT_EQ(same.Error, "");
    EXPECT_EQ(same.Bytes, bytes);

    // Every known format's pictures edited: the archive has its layout, and
    // the readers find nothing amiss.
    Pictures edited = unchanged;
    for (auto& [key, texels] : edited.Held)
        if (archive->Images[static_cast<size_t>(key.Image)].Header->Format != 9)
            for (RgbaColor& c : texels)
                c = {uint8_t(255 - c.R), uint8_t(c.G ^ 0x5A), c.B, uint8_t(255 - c.A)};
    const PackResult changed = Pack(bytes, edited);
    ASSERT_EQ(changed.Error, "");
    ASSERT_EQ(changed.Bytes.size(), bytes.size());
    const size_t texelsStart = archive->ImageHeaders[0].TexelOffset;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + texelsStart, changed.Bytes.begin()));
    EXPECT_TRUE(std::equal(bytes.end() - 13, bytes.end(), changed.Bytes.end() - 13));
    EXPECT_NE(changed.Bytes, bytes);
    // The readers find in it what they find in the original: the unknown format alone.
    EXPECT_EQ(Checked(changed.Bytes), Checked(bytes));
    EXPECT_EQ(Checked(bytes).size(), 1u);
    for (size_t k = 0; k < changed.Images.size(); ++k)
        EXPECT_EQ(changed.Images[k].Changed(), archive->ImageHeaders[k].Format != 9) << k;
}

TEST(ArchivePack, EditedImagesRebuildTheirWholeLevelsAndKeepOtherBytes) {
    // 8 x 8 Rgba8 (which stores colours exactly) with its levels 4 x 4, 2 x 2
    // and 1 x 1, a block each; between two such, one with 5 bytes after its
    // first level.
    const std::vector<uint8_t> levels(4 * 64 + 3 * 64, 0);
    const std::vector<uint8_t> bytes = sample::WriteArchive(
        ArchiveOf({ImageOf(8, 8, 6, levels), ImageOf(8, 8, 6, Counting(4 * 64 + 5)),
                   ImageOf(8, 8, 6, levels)}));
    // 2 x 2 cells of one grey each: 0 and 100 in the top half, 200 and 100 below.
    std::vector<RgbaColor> cells(64);
    for (int i = 0; i < 64; ++i) {
        const int x = i % 8, y = i / 8;
        cells[static_cast<size_t>(i)] = Gray(x / 2 % 2 ? 100 : y < 4 ? 0 : 200);
    }
    Pictures pictures;
    pictures.Held[{0, 0}] = cells;
    pictures.Held[{1, 0}] = cells;
    pictures.Held[{2, 2}] = std::vector<RgbaColor>(4, Gray(7));  // level 2 alone
    const PackResult result = Pack(bytes, pictures);
    ASSERT_EQ(result.Error, "");
    ASSERT_EQ(result.Images.size(), 3u);
    EXPECT_EQ(result.Images[0].LevelsRebuilt, 3);
    EXPECT_EQ(result.Images[1].BytesKept, 5u);
    EXPECT_EQ(result.Images[2].LevelsReplaced, std::vector<int>{2});
    EXPECT_EQ(result.Images[2].LevelsRebuilt, 1);

    const std::unique_ptr<TextureFile> packed = LoadBytes(result.Bytes);
    uint32_t w, h;
    std::vector<RgbaColor> level1(16);
    for (size_t i = 0; i < 16; ++i)
        level1[i] = cells[(i / 4) * 16 + (i % 4) * 2];
    EXPECT_EQ(packed->DecodeImage(0), cells);
    EXPECT_EQ(packed->DecodeLevel(0, 1, w, h), level1);
    EXPECT_EQ(packed->DecodeLevel(0, 2, w, h),
              (std::vector<RgbaColor>{Gray(50), Gray(50), Gray(150), Gray(150)}));
    EXPECT_EQ(packed->DecodeLevel(0, 3, w, h), std::vector<RgbaColor>{Gray(100)});
    EXPECT_EQ(packed->DecodeImage(1), cells);
    EXPECT_EQ(std::vector<uint8_t>(packed->Images[1].Data.end() - 5, packed->Images[1].Data.end()),
              (std::vector<uint8_t>{0, 1, 2, 3, 4}));  // 256 to 260 of the counting bytes
    EXPECT_EQ(packed->DecodeImage(2), std::vector<RgbaColor>(64, kClear));
    EXPECT_EQ(packed->DecodeLevel(2, 1, w, h), std::vector<RgbaColor>(16, kClear));
    EXPECT_EQ(packed->DecodeLevel(2, 2, w, h), std::vector<RgbaColor>(4, Gray(7)));
    EXPECT_EQ(packed->DecodeLevel(2, 3, w, h), std::vector<RgbaColor>{Gray(7)});
}
