#pragma once
// The size a texture dimension is uploaded at: a power of two, at least 64.

#include <cstdint>

inline constexpr uint32_t kMinimumUploadSize = 64;

// 64 for n up to 64, else the least power of two not below n.
constexpr uint32_t UploadSize(uint32_t n) {
    uint32_t size = kMinimumUploadSize;
    while (size < n)
        size *= 2;
    return size;
}
