#include "sample/ArchiveWriter.h"

#include "sample/BigEndianWriter.h"

namespace sample {

std::vector<uint8_t> WriteArchive(const Archive& archive) {
    BigEndianWriter w;
    const auto count = static_cast<uint32_t>(archive.Images.size());
    w.U32(archive.Magic);
    w.U32(archive.ImageCount.value_or(count));
    w.U32(archive.TableOffset);

    const size_t headersAt = 12 + 8 * size_t{count};
    size_t texelsAt = headersAt + 36 * size_t{count};
    for (uint32_t i = 0; i < count; ++i) {
        const ArchiveImage& image = archive.Images[i];
        w.U32(image.HeaderOffset.value_or(static_cast<uint32_t>(headersAt + 36 * i)));
        w.U32(image.TableUnknown1);
    }
    for (const ArchiveImage& image : archive.Images) {
        w.U16(image.Height);
        w.U16(image.Width);
        w.U32(image.Format);
        w.U32(image.TexelOffset.value_or(static_cast<uint32_t>(texelsAt)));
        w.U32(image.WrapS);
        w.U32(image.WrapT);
        w.U32(image.Unknown6);
        w.U32(image.Unknown7);
        w.F32(image.Unknown8);
        for (uint8_t b : image.Unknown9)
            w.U8(b);
        texelsAt += image.Texels.size();
    }
    for (const ArchiveImage& image : archive.Images)
        w.Append(image.Texels);
    w.Append(archive.Trailer);
    return w.Take();
}

}  // namespace sample
