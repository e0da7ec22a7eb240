#pragma once
// Caps what a hostile file can make a reader allocate: no array gets more
// records than could lie in the file, and all arrays of one file together stay
// within a few times the file's size, however its counts and offsets overlap.

#include <algorithm>
#include <cstddef>
#include <cstdint>

class ReadBudget {
  public:
    static constexpr uint64_t kBytesPerFileByte = 4;

    explicit ReadBudget(uint64_t fileSize)
        : fileSize_(fileSize), remaining_(kBytesPerFileByte * fileSize) {}

    // How many of `count` records of `recordSize` bytes may be held.
    size_t Grant(uint64_t count, size_t recordSize) { return Grant(count, recordSize, recordSize); }

    // The same for records that take `heldSize` bytes of memory each.
    size_t Grant(uint64_t count, size_t recordSize, size_t heldSize) {
        uint64_t granted =
            std::min<uint64_t>({count, fileSize_ / recordSize, remaining_ / heldSize});
        remaining_ -= granted * heldSize;
        return static_cast<size_t>(granted);
    }

  private:
    uint64_t fileSize_;
    uint64_t remaining_;
};
