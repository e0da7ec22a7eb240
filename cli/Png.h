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

// Writes the picture; on failure returns false and says why in `error`.
bool WritePng(const std::string& path, const RgbaPicture& picture, std::string& error);
bool ReadPng(const std::string& path, RgbaPicture& picture, std::string& error);
