#pragma once
// A texture archive rebuilt with pictures in place of some of its images, as a
// modder replaces textures: everything but the texel data of the images whose
// pictures changed stays as it was, byte for byte (header, table, image
// headers, their order, each image's size and format, any bytes between), so
// a picture that decodes the same as the archive changes nothing.

#include <compare>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "texture/RgbaColor.h"

class TextureFile;

// One picture of an archive image: its first level (0) or one of the smaller
// ones stored after it (1 on).
struct PictureKey {
    int32_t Image = 0;
    int Level = 0;
    friend auto operator<=>(const PictureKey&, const PictureKey&) = default;
};

// The picture's file name as `kestrel textures` writes it: NNN.png, and
// NNN-levelK.png for a smaller level.
std::string PictureName(PictureKey key);
// The key of a file name of that form, or none.
std::optional<PictureKey> PictureKeyOf(std::string_view name);

// Where the pictures come from: a folder of PNG files, say.
class PictureSource {
  public:
    virtual ~PictureSource() = default;
    // Every picture there is.
    virtual std::vector<PictureKey> Keys() = 0;
    // The width x height texels of one of them, row-major, row 0 first; false,
    // saying why in `error` (naming the picture), when it cannot be read or is
    // of another size.
    virtual bool Read(PictureKey key, uint32_t width, uint32_t height,
                      std::vector<RgbaColor>& texels, std::string& error) = 0;
};

// What became of one image.
struct PackedImage {
    bool Replaced = false;            // its first level was encoded from its picture
    std::vector<int> LevelsReplaced;  // smaller levels encoded from their own pictures
    int LevelsRebuilt = 0;            // smaller levels made anew from the level above
    // Bytes after the first level of a replaced image that are no whole
    // smaller levels, kept as they were.
    uint64_t BytesKept = 0;
    bool Changed() const { return Replaced || !LevelsReplaced.empty() || LevelsRebuilt > 0; }
};

struct PackResult {
    std::vector<uint8_t> Bytes;       // the new archive
    std::vector<PackedImage> Images;  // one per image of the archive
    // Why there is no new archive, naming the picture or image; empty when
    // there is one.
    std::string Error;
};

// `archive` as read from `original`, with the pictures of `pictures` in place
// of its images. An image keeps its texel bytes when it has no picture or its
// picture decodes the same. Otherwise its picture is encoded in the image's
// format; when the bytes after its first level are exactly whole smaller
// levels, each level is encoded from its own picture if that differs from what
// the level decodes to, else made anew from the level above with a box filter
// when that one changed; other bytes after the first level are kept. The pack
// is refused (no bytes) for a picture of another size, one that cannot be
// read, one for an image or level the archive does not have, or a change the
// archive cannot hold: an unknown format, texel data short of the first level
// or shared with another image, a level picture where there are no whole
// levels.
PackResult PackArchive(const TextureFile& archive, std::span<const uint8_t> original,
                       PictureSource& pictures);
