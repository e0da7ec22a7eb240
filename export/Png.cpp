#include "export/Png.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "model/OutputFile.h"

std::vector<uint8_t> PngBytes(int width, int height, const void* pixels) {
    std::vector<uint8_t> bytes;
    auto append = [](void* context, void* data, int size) {
        auto& out = *static_cast<std::vector<uint8_t>*>(context);
        const auto* begin = static_cast<const uint8_t*>(data);
        out.insert(out.end(), begin, begin + size);
    };
    if (!stbi_write_png_to_func(append, &bytes, width, height, 4, pixels, width * 4))
        return {};
    return bytes;
}

bool WritePng(const std::string& path, int width, int height, const void* pixels,
              std::string& error) {
    const std::vector<uint8_t> png = PngBytes(width, height, pixels);
    if (png.empty()) {
        error = "cannot write " + path + ": the picture cannot be encoded as PNG";
        return false;
    }
    return WriteFileAtomically(path, png, error);
}

namespace {

// Whether every chunk lies within the file, up to the last one: stb_image
// sizes its buffer by a chunk's stated length before it reads the chunk, so a
// few damaged bytes could ask for gigabytes.
bool ChunksInside(std::span<const uint8_t> png) {
    size_t at = 8;  // past the signature
    while (png.size() - at >= 12) {
        const uint8_t* chunk = png.data() + at;
        const uint32_t length =
            static_cast<uint32_t>(chunk[0]) << 24 | chunk[1] << 16 | chunk[2] << 8 | chunk[3];
        if (length > png.size() - at - 12)
            return false;
        if (std::equal(chunk + 4, chunk + 8, "IEND"))
            return true;
        at += 12 + size_t{length};
    }
    return false;
}

}  // namespace

bool ReadPng(std::span<const uint8_t> png, int width, int height, void* pixels,
             std::string& error) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < sizeof kSignature || !std::equal(kSignature, kSignature + 8, png.begin())) {
        error = "not a PNG file";
        return false;
    }
    if (png.size() > INT_MAX) {
        error = "too large for a PNG picture";
        return false;
    }
    if (!ChunksInside(png)) {
        error = "damaged PNG file (cut short, or a chunk longer than the file)";
        return false;
    }
    const auto* bytes = png.data();
    const int length = static_cast<int>(png.size());
    int w = 0, h = 0, channels = 0;
    // The size first: a damaged header may claim any size.
    if (!stbi_info_from_memory(bytes, length, &w, &h, &channels)) {
        error = std::string("damaged PNG file (") + stbi_failure_reason() + ")";
        return false;
    }
    if (w != width || h != height) {
        error = std::to_string(w) + " x " + std::to_string(h) + " pixels, not " +
                std::to_string(width) + " x " + std::to_string(height);
        return false;
    }
    unsigned char* decoded = stbi_load_from_memory(bytes, length, &w, &h, &channels, 4);
    if (!decoded) {
        error = std::string("damaged PNG file (") + stbi_failure_reason() + ")";
        return false;
    }
    std::memcpy(pixels, decoded, static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    stbi_image_free(decoded);
    return true;
}
