#pragma once
// PNG pictures of 8-bit RGBA pixels, row 0 at the top. The same encoder on
// every platform, so a picture is the same file wherever it is made.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct RgbaPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;  // Width * Height * 4 bytes, top row first
};

// Width x height pixels of four bytes, R G B A, top row first, as the bytes of
// a PNG file; empty when they cannot be encoded.
std::vector<uint8_t> PngBytes(int width, int height, const void* pixels);

// Writes them as a PNG file, whole or not at all (model/OutputFile.h). On
// failure returns false and says why in `error`.
bool WritePng(const std::string& path, int width, int height, const void* pixels,
              std::string& error);
inline bool WritePng(const std::string& path, const RgbaPicture& picture, std::string& error) {
    return WritePng(path, picture.Width, picture.Height, picture.Pixels.data(), error);
}

// Reads the PNG file `png` into `pixels` (width x height pixels of four bytes,
// R G B A, top row first) when it is a picture of that size, of any bit depth
// or colour type. Otherwise returns false and says why in `error`: no PNG, a
// picture of another size (given before any pixel is decoded), or damaged.
bool ReadPng(std::span<const uint8_t> png, int width, int height, void* pixels, std::string& error);
