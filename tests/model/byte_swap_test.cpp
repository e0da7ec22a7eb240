#include <gtest/gtest.h>

#include <cstring>

#include "model/ByteSwap.h"

// What the file holds, read into memory as it lies, must come out in host order.
TEST(ByteSwap, TurnsBigEndianBytesIntoHostValues) {
    const unsigned char bytes[4] = {0x12, 0x34, 0x56, 0x78};

    uint32_t word;
    std::memcpy(&word, bytes, 4);
    ByteSwap32(word);
    EXPECT_EQ(word, 0x12345678u);

    int32_t minusTwo;
    const unsigned char minusTwoBytes[4] = {0xFF, 0xFF, 0xFF, 0xFE};
    std::memcpy(&minusTwo, minusTwoBytes, 4);
    ByteSwap32(minusTwo);
    EXPECT_EQ(minusTwo, -2);

    float value;
    const unsigned char oneAndAHalf[4] = {0x3F, 0xC0, 0x00, 0x00};
    std::memcpy(&value, oneAndAHalf, 4);
    ByteSwap32(value);
    EXPECT_EQ(value, 1.5f);

    uint16_t half;
    std::memcpy(&half, bytes, 2);
    ByteSwap16(half);
    EXPECT_EQ(half, 0x1234u);

    uint32_t words[3];
    const unsigned char run[12] = {0, 0, 0, 1, 0, 0, 1, 0, 0xAB, 0xCD, 0xEF, 0x01};
    std::memcpy(words, run, 12);
    ByteSwapWords(words, 3);
    EXPECT_EQ(words[0], 1u);
    EXPECT_EQ(words[1], 256u);
    EXPECT_EQ(words[2], 0xABCDEF01u);
}
