#pragma once
// Fixed-size text fields of the game's records: zero-terminated within the
// field, or the whole field when it holds no zero byte. Never read beyond it.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

template <size_t N>
std::string FieldText(const char (&field)[N]) {
    const void* zero = std::memchr(field, 0, N);
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : N;
    return std::string(field, length);
}

// `text` with every byte that is not part of valid UTF-8 replaced by U+FFFD:
// names in the game's files may be in its own 8-bit encoding, where text that
// leaves the program (JSON, say) must be UTF-8.
std::string ValidUtf8(const std::string& text);

// A count with its noun as English says it: "1 image", "2 images", "0 images".
inline std::string Counted(uint64_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
inline std::string Counted(uint64_t count, const std::string& noun) {
    return Counted(count, noun, noun + "s");
}
