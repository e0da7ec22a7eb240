#include "tests/texture/ArchiveFixture.h"

#include <gtest/gtest.h>

#include "model/ByteSource.h"

namespace texturetest {

std::unique_ptr<TextureFile> LoadBytes(const std::vector<uint8_t>& bytes) {
    auto file = std::make_unique<TextureFile>();
    MemorySource source(bytes);
    file->LoadFrom(source);
    return file;
}

std::unique_ptr<TextureFile> LoadArchive(const sample::Archive& archive) {
    return LoadBytes(sample::WriteArchive(archive));
}

sample::ArchiveImage ImageOf(uint16_t width, uint16_t height, uint32_t format,
                             std::vector<uint8_t> texels) {
    sample::ArchiveImage image;
    image.Width = width;
    image.Height = height;
    image.Format = format;
    image.Texels = std::move(texels);
    return image;
}

sample::Archive OneImage(uint16_t width, uint16_t height, uint32_t format,
                         std::vector<uint8_t> texels) {
    sample::Archive archive;
    archive.Images.push_back(ImageOf(width, height, format, std::move(texels)));
    return archive;
}

std::vector<RgbaColor> DecodeOne(uint32_t format, uint16_t width, uint16_t height,
                                 std::vector<uint8_t> texels) {
    return LoadArchive(OneImage(width, height, format, std::move(texels)))->DecodeImage(0);
}

void ExpectTexels(const std::vector<RgbaColor>& image, int width,
                  std::initializer_list<TexelAt> texels) {
    for (const TexelAt& t : texels) {
        const size_t index = static_cast<size_t>(t.Y) * width + t.X;
        ASSERT_LT(index, image.size()) << "texel (" << t.X << ", " << t.Y << ")";
        EXPECT_EQ(image[index], t.Expected) << "texel (" << t.X << ", " << t.Y << ")";
    }
}

}  // namespace texturetest
