#pragma once
// The texture archive that belongs to a model: header, image table, one header
// per image and each image's raw texel data, in host order.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Records.h"
#include "texture/RgbaColor.h"

class ByteSource;
class Irregularities;

struct ArchiveHeader {
    uint32_t Magic;  // 0x0020AF30; not checked
    uint32_t ImageCount;
    uint32_t TableOffset;  // not used: the table always follows the header
};
static_assert(sizeof(ArchiveHeader) == 12);

struct ImageTableEntry {
    uint32_t HeaderOffset;  // absolute offset of the image's ImageHeader
    uint32_t Unknown1;
};
static_assert(sizeof(ImageTableEntry) == 8);

struct ImageHeader {
    uint16_t Height;
    uint16_t Width;
    uint32_t Format;       // texel format code
    uint32_t TexelOffset;  // absolute offset of the texel data
    uint32_t Wrap_S;       // shown, never applied
    uint32_t Wrap_T;
    uint32_t Unknown6;
    uint32_t Unknown7;
    float Unknown8;
    uint8_t Unknown9[4];  // not converted
};
static_assert(sizeof(ImageHeader) == 36);

struct TextureImage {
    const ImageHeader* Header = nullptr;  // element of TextureFile::ImageHeaders
    std::vector<uint8_t> Data;            // raw texel data
};

// Where one level of an image lies in its texel data, and its size.
struct StoredLevel {
    uint64_t Offset = 0;
    uint64_t Bytes = 0;
    uint32_t Width = 0;
    uint32_t Height = 0;
};

inline constexpr size_t kArchiveTableOffset = 12;
// What one image of an archive holds in memory, apart from its texel data:
// table entry, header, image record and whether it may be decoded.
inline constexpr size_t kImageRecordBytes =
    sizeof(ImageTableEntry) + sizeof(ImageHeader) + sizeof(TextureImage) + 1;

// The archive a model names: its TextureName with a hyphen appended.
std::string ArchiveName(const ModelHeader& header);
// Where that archive lies in `folder`. None when the name cannot name a file
// there: a name with a folder in it (either slash, a drive, "..") would reach
// files outside it.
std::optional<std::string> ArchivePathIn(const std::string& folder, const ModelHeader& header);
// The same beside the model file, whatever the current folder is.
std::optional<std::string> ArchivePathBeside(const std::string& modelPath,
                                             const ModelHeader& header);

class TextureFile {
  public:
    TextureFile() = default;
    // Images point into ImageHeaders: copies would point into the original,
    // while a move keeps the headers where they are.
    TextureFile(const TextureFile&) = delete;
    TextureFile& operator=(const TextureFile&) = delete;
    TextureFile(TextureFile&&) = default;
    TextureFile& operator=(TextureFile&&) = default;

    // Opens `name` with a hyphen appended (`name` may be a bare name or a full
    // path) and reads the whole archive. False only when it cannot be opened.
    bool Load(const std::string& name, Irregularities* report = nullptr);
    // Reads the archive from bytes at hand; FileName stays as it is. `report`,
    // when given, is told of images that cannot be shown as their headers say.
    void LoadFrom(ByteSource& source, Irregularities* report = nullptr);

    // The number of images held: the header's count, or fewer when the file
    // cannot hold that many table entries, or when that many images (table
    // entry, header and image record each) would exceed the archive's read
    // budget; a real archive never comes near it, as each of its images takes
    // an entry and a header in the file. 0xFFFFFFFF never reads as -1. Every k
    // from 0 to ImageCount() - 1 is an element of Images.
    int32_t ImageCount() const { return static_cast<int32_t>(Images.size()); }

    // Width x Height texels of image k, row-major, row 0 first; formats other
    // than 0 to 6 and 14 give transparent black. Empty when k is not an image,
    // or when its texels, added to those of the decodable images before it,
    // exceed twice the archive's size: no format stores a texel in less than
    // half a byte, so the file cannot back them. Dimensions (up to 65535 x
    // 65535, 16 GiB decoded) are not trusted, nor tables that name one large
    // image thousands of times.
    std::vector<RgbaColor> DecodeImage(int32_t k) const;
    // The levels image k's data holds whole: the first level, then the
    // smaller copies stored after it one after another, level j (Width >> j)
    // x (Height >> j), at least 1 x 1, down to 1 x 1 or until the data ends.
    // Empty when k's first level cannot be decoded, its format is unknown, or
    // its data does not hold the first level whole.
    std::vector<StoredLevel> StoredLevels(int32_t k) const;
    // Level `level` (1 on) of image k, one of its StoredLevels; empty when
    // there is no such level.
    std::vector<RgbaColor> DecodeLevel(int32_t k, int level, uint32_t& width,
                                       uint32_t& height) const;
    // Formats 0 to 6 (other codes: transparent black), and format 14.
    std::vector<RgbaColor> DecodeBlocks(int32_t k, uint32_t format) const;
    std::vector<RgbaColor> DecodeCompressed(int32_t k) const;

    // The size of the archive as read by the last load.
    uint64_t FileSize() const { return fileSize_; }

    std::vector<TextureImage> Images;
    std::string FileName;
    ArchiveHeader Header{};
    std::vector<ImageTableEntry> Entries;
    std::vector<ImageHeader> ImageHeaders;

  private:
    static std::string Size(const ImageHeader& h);
    void CheckImage(size_t i, uint64_t end, Irregularities& report) const;
    // The zero image of image k, or empty when it cannot be decoded (see DecodeImage).
    std::vector<RgbaColor> BlankImage(int32_t k) const;

    uint64_t fileSize_ = 0;
    std::vector<uint8_t> decodable_;  // element k: image k is within the texel budget
};
