#include "texture/TextureFile.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "model/ByteSource.h"
#include "model/ByteSwap.h"
#include "model/Irregularities.h"
#include "model/ReadBudget.h"
#include "model/Text.h"
#include "model/Utf8Path.h"
#include "texture/TexelDecoder.h"

std::string ArchiveName(const ModelHeader& header) {
    return FieldText(header.TextureName) + "-";
}

std::optional<std::string> ArchivePathIn(const std::string& folder, const ModelHeader& header) {
    const std::optional<std::string> name = Utf8FromStoredName(FieldText(header.TextureName));
    if (!name || name->find_first_of("/\\:") != std::string::npos || *name == "." || *name == "..")
        return std::nullopt;
    return InFolder(folder, *name + "-");
}

std::optional<std::string> ArchivePathBeside(const std::string& modelPath,
                                             const ModelHeader& header) {
    // The model's folder as its path writes it, separator and all.
    return ArchivePathIn(BesideFile(modelPath, ""), header);
}

bool TextureFile::Load(const std::string& name, Irregularities* report) {
    FileName = name + "-";
    FileSource file;
    if (!file.Open(FileName))
        return false;
    LoadFrom(file, report);
    return true;
}

void TextureFile::LoadFrom(ByteSource& source, Irregularities* report) {
    Images.clear();
    Entries.clear();
    ImageHeaders.clear();
    decodable_.clear();
    Header = {};

    const uint64_t fileSize = source.Size();
    fileSize_ = fileSize;
    ReadBudget budget(fileSize);

    source.ReadAt(0, &Header, sizeof Header);
    ByteSwapWords(&Header, 3);

    // The table always follows the header, whatever TableOffset says. Images are
    // numbered by a signed 32-bit index. An image holds more than its table entry
    // (a header and an image record too): all of it comes out of the budget, so a
    // table that names one header thousands of times is held in bounded memory.
    const uint64_t count = std::min<uint64_t>(Header.ImageCount, INT32_MAX);
    AssignZeros(Entries, budget.Grant(count, sizeof(ImageTableEntry), kImageRecordBytes));
    source.ReadAt(kArchiveTableOffset, Entries.data(), Entries.size() * sizeof(ImageTableEntry));
    ByteSwapWords(Entries.data(), Entries.size() * 2);
    if (report && Entries.size() < Header.ImageCount)
        report->Add("image-table", "archive header: ImageCount " +
                                       std::to_string(Header.ImageCount) + ", " +
                                       std::to_string(Entries.size()) + " of them held");
    else if (report && Header.ImageCount == 0)
        report->Add("image-table", "archive header: ImageCount 0, no image to draw");

    ImageHeaders.assign(Entries.size(), ImageHeader{});
    for (size_t i = 0; i < Entries.size(); ++i) {
        ImageHeader& h = ImageHeaders[i];
        source.ReadAt(Entries[i].HeaderOffset, &h, sizeof h);
        ByteSwap16(h.Height);
        ByteSwap16(h.Width);
        ByteSwapWords(&h.Format, 6);
        ByteSwap32(h.Unknown8);
    }

    // Image i's data runs to the next image's TexelOffset, the last one's to the end
    // of the file; each is clamped to the file, and a negative length is empty.
    Images.resize(ImageHeaders.size());
    for (size_t i = 0; i < Images.size(); ++i) {
        Images[i].Header = &ImageHeaders[i];
        uint64_t begin = std::min<uint64_t>(ImageHeaders[i].TexelOffset, fileSize);
        uint64_t end = i + 1 < Images.size() ? ImageHeaders[i + 1].TexelOffset : fileSize;
        end = std::min(end, fileSize);
        uint64_t length = end > begin ? end - begin : 0;
        AssignZeros(Images[i].Data, budget.Grant(length, 1));
        source.ReadAt(begin, Images[i].Data.data(), Images[i].Data.size());
        if (report)
            CheckImage(i, end, *report);
    }

    // No format stores a texel in less than half a byte, so the images of an
    // archive together cannot back more than twice its size in texels. Images
    // that hold data are granted theirs first, in table order, then those
    // without (two entries that share a header leave the first one without
    // data): an image whose data is stored is never refused for one that has
    // none. An image past the budget stays undecoded.
    decodable_.assign(Images.size(), 0);
    uint64_t texelsLeft = kTexelsPerStoredByte * fileSize;
    for (const bool withData : {true, false}) {
        for (size_t i = 0; i < Images.size(); ++i) {
            const uint64_t texels = uint64_t{ImageHeaders[i].Width} * ImageHeaders[i].Height;
            if (Images[i].Data.empty() != withData && texels <= texelsLeft) {
                decodable_[i] = 1;
                texelsLeft -= texels;
            }
        }
    }
    for (size_t i = 0; report && i < Images.size(); ++i) {
        if (!decodable_[i])
            report->Add("image-budget",
                        "image " + std::to_string(i) + ": " + Size(ImageHeaders[i]) +
                            " texels, more than the archive can back (drawn transparent)");
    }
}

std::string TextureFile::Size(const ImageHeader& h) {
    return std::to_string(h.Width) + " x " + std::to_string(h.Height);
}

// What image i's header promises and its data does not keep. `end` is where
// its data would end: the next image's data or the end of the file.
void TextureFile::CheckImage(size_t i, uint64_t end, Irregularities& report) const {
    const ImageHeader& h = ImageHeaders[i];
    const std::string image = "image " + std::to_string(i) + ": ";
    const uint64_t needed = StoredTexelBytes(h.Format, h.Width, h.Height);
    const size_t held = Images[i].Data.size();
    if (h.Width == 0 || h.Height == 0) {
        report.Add("image-size", image + Size(h) + ": no texels (drawn transparent)");
    } else if (!IsTexelFormat(h.Format)) {
        report.Add("texel-format", image + "texel format " + std::to_string(h.Format) +
                                       " unknown (drawn transparent)");
    } else if (h.TexelOffset >= fileSize_ && needed > 0) {
        report.Add("image-data", image + "texels at offset " + std::to_string(h.TexelOffset) +
                                     ", past the end of the archive (" +
                                     Counted(fileSize_, "byte") + ")");
    } else if (end < h.TexelOffset) {
        report.Add("image-order", image + "texels at offset " + std::to_string(h.TexelOffset) +
                                      ", after those of the next image (at " + std::to_string(end) +
                                      ")");
    } else if (held < needed) {
        report.Add("image-data", image + Size(h) + " " + TexelFormatName(h.Format) + " needs " +
                                     Counted(needed, "byte") + ", " + std::to_string(held) +
                                     " held");
    }
}

std::vector<RgbaColor> TextureFile::BlankImage(int32_t k) const {
    if (k < 0 || k >= ImageCount())
        return {};
    const size_t i = static_cast<size_t>(k);
    if (i >= decodable_.size() || !decodable_[i])
        return {};
    const ImageHeader& h = *Images[i].Header;
    return std::vector<RgbaColor>(size_t{h.Width} * h.Height);
}

std::vector<RgbaColor> TextureFile::DecodeImage(int32_t k) const {
    if (k < 0 || k >= ImageCount())
        return {};
    const uint32_t format = Images[static_cast<size_t>(k)].Header->Format;
    if (format == static_cast<uint32_t>(TexelFormat::Compressed))
        return DecodeCompressed(k);
    if (format <= static_cast<uint32_t>(TexelFormat::Rgba8))
        return DecodeBlocks(k, format);
    return BlankImage(k);
}

std::vector<StoredLevel> TextureFile::StoredLevels(int32_t k) const {
    std::vector<StoredLevel> levels;
    if (k < 0 || k >= ImageCount() || !decodable_[static_cast<size_t>(k)])
        return levels;
    const TextureImage& image = Images[static_cast<size_t>(k)];
    const ImageHeader& h = *image.Header;
    if (!IsTexelFormat(h.Format) || h.Width == 0 || h.Height == 0)
        return levels;
    uint64_t offset = 0;
    for (int j = 0;; ++j) {
        StoredLevel level{offset, 0, std::max(uint32_t{h.Width} >> j, 1u),
                          std::max(uint32_t{h.Height} >> j, 1u)};
        level.Bytes = StoredTexelBytes(h.Format, level.Width, level.Height);
        if (level.Bytes > image.Data.size() - offset)
            return levels;
        levels.push_back(level);
        offset += level.Bytes;
        // Past 1 x 1 there is nothing smaller to store.
        if (level.Width == 1 && level.Height == 1)
            return levels;
    }
}

std::vector<RgbaColor> TextureFile::DecodeLevel(int32_t k, int level, uint32_t& width,
                                                uint32_t& height) const {
    const std::vector<StoredLevel> levels = StoredLevels(k);
    if (level < 1 || static_cast<size_t>(level) >= levels.size())
        return {};
    const StoredLevel& stored = levels[static_cast<size_t>(level)];
    width = stored.Width;
    height = stored.Height;
    const uint32_t format = Images[static_cast<size_t>(k)].Header->Format;
    const std::span<const uint8_t> data(Images[static_cast<size_t>(k)].Data.data() + stored.Offset,
                                        stored.Bytes);
    std::vector<RgbaColor> texels(size_t{width} * height);
    if (format == static_cast<uint32_t>(TexelFormat::Compressed))
        DecodeCompressedTexels(static_cast<int>(width), static_cast<int>(height), data, texels);
    else
        DecodeBlockTexels(format, static_cast<int>(width), static_cast<int>(height), data, texels);
    return texels;
}

std::vector<RgbaColor> TextureFile::DecodeBlocks(int32_t k, uint32_t format) const {
    std::vector<RgbaColor> texels = BlankImage(k);
    if (!texels.empty()) {
        const TextureImage& image = Images[static_cast<size_t>(k)];
        DecodeBlockTexels(format, image.Header->Width, image.Header->Height, image.Data, texels);
    }
    return texels;
}

std::vector<RgbaColor> TextureFile::DecodeCompressed(int32_t k) const {
    std::vector<RgbaColor> texels = BlankImage(k);
    if (!texels.empty()) {
        const TextureImage& image = Images[static_cast<size_t>(k)];
        DecodeCompressedTexels(image.Header->Width, image.Header->Height, image.Data, texels);
    }
    return texels;
}
