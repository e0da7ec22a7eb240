#pragma once
// Builds the bytes of a game file field by field, most significant byte first,
// without touching the reader's record types.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sample {

class BigEndianWriter {
  public:
    void U8(uint8_t value) { bytes_.push_back(value); }
    void I8(int8_t value) { U8(static_cast<uint8_t>(value)); }
    void U16(uint16_t value) {
        U8(static_cast<uint8_t>(value >> 8));
        U8(static_cast<uint8_t>(value));
    }
    void U32(uint32_t value) {
        U8(static_cast<uint8_t>(value >> 24));
        U8(static_cast<uint8_t>(value >> 16));
        U8(static_cast<uint8_t>(value >> 8));
        U8(static_cast<uint8_t>(value));
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value) { U32(std::bit_cast<uint32_t>(value)); }
    // A fixed-size text field: the text cut to `width`, the rest zeros.
    void Text(std::string_view text, size_t width) {
        size_t length = text.size() < width ? text.size() : width;
        bytes_.insert(bytes_.end(), text.begin(), text.begin() + static_cast<ptrdiff_t>(length));
        Zeros(width - length);
    }
    void Zeros(size_t count) { bytes_.resize(bytes_.size() + count, 0); }
    void Append(std::span<const uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    // Pads with zeros up to `position` (no-op when already there or beyond).
    void PadTo(size_t position) {
        if (bytes_.size() < position)
            bytes_.resize(position, 0);
    }
    void PatchU32(size_t position, uint32_t value) {
        PadTo(position + 4);
        bytes_[position] = static_cast<uint8_t>(value >> 24);
        bytes_[position + 1] = static_cast<uint8_t>(value >> 16);
        bytes_[position + 2] = static_cast<uint8_t>(value >> 8);
        bytes_[position + 3] = static_cast<uint8_t>(value);
    }

    size_t Size() const { return bytes_.size(); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

// Writes `bytes` to `path` (UTF-8); false when the file cannot be written.
bool WriteFile(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace sample
