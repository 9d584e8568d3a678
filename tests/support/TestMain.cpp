#include "tests/support/HelperProcess.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The same binary serves as the helper process of cross-process tests.
    const int helperResult = testsupport::RunHelperIfAsked();
    if (helperResult >= 0) return helperResult;

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
