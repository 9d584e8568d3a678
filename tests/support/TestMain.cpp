// The main of every test binary. A suite is named after its subject, without a suffix (the file
// that holds it is <Subject>Test.cpp), and so is a fixture, which is its suite's name: the ctest
// names and the DESKTOP filters of tests/CMakeLists.txt read the same.
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
