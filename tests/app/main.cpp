#include <gtest/gtest.h>

#include "FrameworkTest.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Boxes are recorded, never shown: a test fails on any it did not expect.
    Windows::SetMessageBoxFunction(fwtest::RecordBox);
    return RUN_ALL_TESTS();
}
