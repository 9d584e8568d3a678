// The module's exception: a plain value whose constructors put each argument in its own field.
#include "Library4/Shell/ShellWorkers.h"

#include <gtest/gtest.h>

namespace workertest {

namespace {

using Library4::Shell::Exception;
using Library4::Shell::UnknownErrorException;

const char kFile[] = "Library4\\Shell\\Somewhere.cpp";

TEST(Exception, ConstructorsFillTheFieldTheArgumentNames)
{
    // Distinct values in every position, so a swapped argument shows.
    const Exception base(kFile, 17, 0xD0D0);
    EXPECT_EQ(kFile, base.File);
    EXPECT_EQ(17, base.Line);
    EXPECT_EQ(0xD0D0u, base.Detail);

    const UnknownErrorException unknown(0xC0DE, ERROR_NO_SYSTEM_RESOURCES, kFile, 42, 0xD0D0);
    EXPECT_EQ(0xC0DEu, unknown.Code);
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_SYSTEM_RESOURCES), unknown.LastError);
    EXPECT_EQ(kFile, unknown.File);
    EXPECT_EQ(42, unknown.Line);
    EXPECT_EQ(0xD0D0u, unknown.Detail);
}

TEST(Exception, ThrownByValueAndCaughtThroughEitherClassAsAnEqualCopy)
{
    const UnknownErrorException original(0, ERROR_NOT_ENOUGH_MEMORY, kFile, 99, 0);
    try {
        throw original;
    } catch (const Exception& caught) {
        const UnknownErrorException& full = static_cast<const UnknownErrorException&>(caught);
        const UnknownErrorException copy = full;
        EXPECT_EQ(original.Detail, copy.Detail);
        EXPECT_EQ(original.File, copy.File);
        EXPECT_EQ(original.Line, copy.Line);
        EXPECT_EQ(original.Code, copy.Code);
        EXPECT_EQ(original.LastError, copy.LastError);
        EXPECT_NE(&original, &full) << "thrown by value, not by reference";
    }
}

} // namespace

} // namespace workertest
