#pragma once
// A texture archive described field by field, and the writer that lays it out
// big-endian: header, image table, image headers, then the texel data of every
// image in table order. Tests build hostile archives with the overrides.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace sample {

struct ArchiveImage {
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint32_t Format = 0;
    uint32_t WrapS = 0;
    uint32_t WrapT = 0;
    uint32_t Unknown6 = 0;
    uint32_t Unknown7 = 0;
    float Unknown8 = 0;
    std::array<uint8_t, 4> Unknown9{};
    uint32_t TableUnknown1 = 0;   // the second word of the image's table entry
    std::vector<uint8_t> Texels;  // stored as they are
    // Store these offsets, whatever was written (hostile archives).
    std::optional<uint32_t> HeaderOffset;
    std::optional<uint32_t> TexelOffset;
};

struct Archive {
    uint32_t Magic = 0x0020AF30;
    std::optional<uint32_t> ImageCount;  // default: the number of images
    uint32_t TableOffset = 12;
    std::vector<ArchiveImage> Images;
    std::vector<uint8_t> Trailer;  // bytes after the last image's texels
};

std::vector<uint8_t> WriteArchive(const Archive& archive);

}  // namespace sample
