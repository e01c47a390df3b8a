#include <gtest/gtest.h>

#include "support/TestEnv.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    treskel::test::InstallEnvironment();
    return RUN_ALL_TESTS();
}
