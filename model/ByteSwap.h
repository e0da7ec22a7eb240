#pragma once
// Conversion between the game's big-endian files and host order.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

inline constexpr bool kHostIsBigEndian = std::endian::native == std::endian::big;

// Reverses the four bytes of a 32-bit word in place; the identity on a big-endian host.
inline void ByteSwap32(uint32_t& word) {
    if constexpr (!kHostIsBigEndian) {
        word = __builtin_bswap32(word);
    }
}

inline void ByteSwap32(float& value) {
    auto bits = std::bit_cast<uint32_t>(value);
    ByteSwap32(bits);
    value = std::bit_cast<float>(bits);
}

// Swaps the two bytes of a 16-bit value in place; the identity on a big-endian host.
inline void ByteSwap16(uint16_t& value) {
    if constexpr (!kHostIsBigEndian) {
        value = static_cast<uint16_t>((value >> 8) | (value << 8));
    }
}

// Converts `count` consecutive 32-bit words starting at `data`, whatever their type.
inline void ByteSwapWords(void* data, size_t count) {
    if constexpr (!kHostIsBigEndian) {
        auto* bytes = static_cast<unsigned char*>(data);
        for (size_t i = 0; i < count; ++i) {
            uint32_t word;
            std::memcpy(&word, bytes + 4 * i, 4);
            word = __builtin_bswap32(word);
            std::memcpy(bytes + 4 * i, &word, 4);
        }
    }
}
