#pragma once
// PNG files of 8-bit RGBA pixels, row 0 at the top, through libpng.

#include <cstdint>
#include <string>
#include <vector>

struct RgbaPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;  // Width * Height * 4 bytes, top row first
};

// Writes width x height pixels of four bytes, R G B A, top row first. The file
// appears whole or not at all: it is written under a name of its own beside
// `path` and renamed when complete. On failure returns false and says why in
// `error`.
bool WritePng(const std::string& path, int width, int height, const void* pixels,
              std::string& error);
inline bool WritePng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    return WritePng(path, picture.Width, picture.Height, picture.Pixels.data(), error);
}

// The same pixels as the bytes of a PNG file; empty when they cannot be encoded.
std::vector<uint8_t> PngBytes(int width, int height, const void* pixels);

// The frame as the viewer's window shows it: the current read buffer of the
// current GL context, opaque; or, not `opaque`, with the alpha OpenGL left.
RgbaPicture ShownFrame(int width, int height, bool opaque = true);
