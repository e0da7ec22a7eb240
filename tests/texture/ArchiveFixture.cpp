#include "tests/texture/ArchiveFixture.h"

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

std::vector<RgbaColor> DecodeOne(uint32_t format, uint16_t width, uint16_t height,
                                 std::vector<uint8_t> texels) {
    sample::Archive archive;
    sample::ArchiveImage image;
    image.Format = format;
    image.Width = width;
    image.Height = height;
    image.Texels = std::move(texels);
    archive.Images.push_back(std::move(image));
    return LoadArchive(archive)->DecodeImage(0);
}

}  // namespace texturetest
