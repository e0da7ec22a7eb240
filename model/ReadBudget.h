#pragma once
// Caps what a hostile file can make a reader allocate: no array gets more
// records than could lie in the file, and all arrays of one file together stay
// within a few times the file's size, however its counts and offsets overlap.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

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

// A file whose records this machine cannot hold, however few the budget
// leaves them: what the one allocation that failed asked for.
class TooLargeToHold : public std::bad_alloc {
  public:
    explicit TooLargeToHold(uint64_t bytes) : Bytes(bytes) {}
    const char* what() const noexcept override { return "too large to hold in memory"; }
    uint64_t Bytes;
};

// Sizes `records` to `count` zero records, or throws TooLargeToHold.
template <class T>
void AssignZeros(std::vector<T>& records, size_t count) {
    try {
        records.assign(count, T{});
    } catch (const std::bad_alloc&) {
        throw TooLargeToHold(uint64_t{count} * sizeof(T));
    }
}
