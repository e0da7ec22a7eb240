#include <gtest/gtest.h>

#include "FrameworkTest.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    Windows::SetMessageBoxFunction(fwtest::RecordBox);
    return RUN_ALL_TESTS();
}
