#include "export/Png.h"

#include <stb_image_write.h>

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
