// Temporary folders are named after the process id, which Wine gives out again: a name left
// taken by an earlier process must be passed over, not shared.
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace platformtest {

TEST(TempFolder, PassesOverANameThatIsAlreadyTaken)
{
    std::wstring next;
    {
        const testsupport::TempFolder first;
        // Names count up from the one just made.
        const std::wstring& path = first.Path();
        const std::size_t dash = path.rfind(L'-');
        next = path.substr(0, dash + 1) + std::to_wstring(std::stoi(path.substr(dash + 1)) + 1);
    }
    ASSERT_TRUE(::CreateDirectoryW(next.c_str(), nullptr));
    testsupport::WriteBytes(next + L"\\left behind.txt", "x");
    {
        const testsupport::TempFolder second;
        EXPECT_NE(next, second.Path());
        EXPECT_TRUE(second.Files().empty());
    }
    ::DeleteFileW((next + L"\\left behind.txt").c_str());
    EXPECT_TRUE(::RemoveDirectoryW(next.c_str()));
}

} // namespace platformtest
