#include "cli/Png.h"

#include <png.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool WritePng(const std::string& path, int width, int height, const void* pixels,
              std::string& error) {
    // A name no other writer uses, in the same folder, so the rename cannot
    // cross file systems.
    const std::string part = path + ".part" + std::to_string(::getpid());
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "wb");
    if (!file) {
        if (fd >= 0)
            ::close(fd);
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    bool ok = png_image_write_to_stdio(&image, file, 0, pixels, 0, nullptr) != 0;
    ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(part.c_str(), path.c_str()) == 0;
    if (!ok) {
        const std::string cause = image.message[0] ? image.message : std::strerror(errno);
        std::remove(part.c_str());
        error = "cannot write " + path + ": " + cause;
    }
    return ok;
}

std::vector<uint8_t> PngBytes(int width, int height, const void* pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    // Asked once for the size, then written.
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels, 0, nullptr))
        return {};
    std::vector<uint8_t> bytes(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels, 0, nullptr))
        return {};
    bytes.resize(size);
    return bytes;
}
