#include "export/ArchivePictures.h"

#include <vector>

#include "export/Png.h"
#include "model/Utf8Path.h"
#include "texture/ArchivePack.h"
#include "texture/TextureFile.h"

bool WriteArchivePictures(const TextureFile& archive, const std::string& folder, bool levels,
                          const std::function<void(const WrittenPicture&)>& wrote,
                          std::string& error) {
    // Written from the decoded texels themselves: one image held at a time.
    auto write = [&](WrittenPicture picture, const std::vector<RgbaColor>& texels) {
        if (!WritePng(InFolder(folder, picture.Name), static_cast<int>(picture.Width),
                      static_cast<int>(picture.Height), texels.data(), error))
            return false;
        if (wrote)
            wrote(picture);
        return true;
    };
    for (int32_t k = 0; k < archive.ImageCount(); ++k) {
        const ImageHeader& h = *archive.Images[static_cast<size_t>(k)].Header;
        std::vector<RgbaColor> texels = archive.DecodeImage(k);
        if (texels.empty())
            continue;
        if (!write({PictureName({k, 0}), h.Width, h.Height, h.Format}, texels))
            return false;
        uint32_t width = 0, height = 0;
        for (int level = 1; levels; ++level) {
            texels = archive.DecodeLevel(k, level, width, height);
            if (texels.empty())
                break;
            if (!write({PictureName({k, level}), width, height, h.Format}, texels))
                return false;
        }
    }
    return true;
}
