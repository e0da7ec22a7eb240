#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "model/ByteSwap.h"

namespace {

// A value read into memory as it lies in the file.
template <class T>
T AsRead(std::array<unsigned char, sizeof(T)> bytes) {
    T value;
    std::memcpy(&value, bytes.data(), sizeof value);
    return value;
}

}  // namespace

TEST(ByteSwap, TurnsBigEndianBytesIntoHostValues) {
    auto word = AsRead<uint32_t>({0x12, 0x34, 0x56, 0x78});
    auto minusTwo = AsRead<int32_t>({0xFF, 0xFF, 0xFF, 0xFE});
    auto oneAndAHalf = AsRead<float>({0x3F, 0xC0, 0x00, 0x00});
    auto half = AsRead<uint16_t>({0x12, 0x34});
    ByteSwap32(word);
    ByteSwap32(minusTwo);
    ByteSwap32(oneAndAHalf);
    ByteSwap16(half);
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(minusTwo, -2);
    EXPECT_EQ(oneAndAHalf, 1.5f);
    EXPECT_EQ(half, 0x1234u);

    auto words = AsRead<std::array<uint32_t, 2>>({0, 0, 1, 0, 0xAB, 0xCD, 0xEF, 0x01});
    ByteSwapWords(words.data(), 2);
    EXPECT_EQ(words, (std::array<uint32_t, 2>{256, 0xABCDEF01u}));
}
