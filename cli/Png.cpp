#include "cli/Png.h"

#include <png.h>

#include <cstdio>

#include "model/ByteSource.h"

bool WritePng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.Width);
    image.height = static_cast<png_uint_32>(picture.Height);
    image.format = PNG_FORMAT_RGBA;
    bool ok = png_image_write_to_stdio(&image, file, 0, picture.Pixels.data(), 0, nullptr) != 0;
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        error =
            "cannot write " + path + (image.message[0] ? ": " + std::string(image.message) : "");
    return ok;
}

bool ReadPng(const std::string& path, RgbaPicture& picture, std::string& error) {
    std::FILE* file = OpenBinaryFile(path);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    bool ok = png_image_begin_read_from_stdio(&image, file) != 0;
    if (ok) {
        image.format = PNG_FORMAT_RGBA;
        picture.Width = static_cast<int>(image.width);
        picture.Height = static_cast<int>(image.height);
        picture.Pixels.assign(PNG_IMAGE_SIZE(image), 0);
        ok = png_image_finish_read(&image, nullptr, picture.Pixels.data(), 0, nullptr) != 0;
    }
    if (!ok)
        error = "cannot read " + path + (image.message[0] ? ": " + std::string(image.message) : "");
    png_image_free(&image);
    std::fclose(file);
    return ok;
}
