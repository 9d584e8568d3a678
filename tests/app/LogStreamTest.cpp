#include "app/LogStream.h"

#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace apptest {

using app::LogStream;

using testsupport::ReadBytes;
using testsupport::TempFolder;

TEST(LogStream, EverythingIsOnDiskAfterCloseAcrossManyBufferBlocks)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"big.txt");
    std::string expected;
    {
        LogStream stream(path.c_str());
        ASSERT_TRUE(stream.IsOpen());
        // Lines that straddle the 4096-byte blocks, a CR LF pair among them.
        for (int i = 0; i < 3000; ++i) {
            const std::wstring line = L"line " + std::to_wstring(i) + L" \u00e9\u20ac\n";
            stream.Write(line.c_str());
            expected += "line " + std::to_string(i) + " \xE9?\r\n";
        }
        stream.Close();
    }
    EXPECT_EQ(expected, ReadBytes(path));
}

TEST(LogStream, CreatesAnewAndSharesWithNobodyWhileOpen)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"log.txt");
    testsupport::WriteBytes(path, std::string(10000, 'o'));

    LogStream stream(path.c_str());
    ASSERT_TRUE(stream.IsOpen());
    HANDLE reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, reader);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), ::GetLastError());
    if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);

    stream.Write(L"new");
    stream.Close();
    EXPECT_EQ("new", ReadBytes(path));
}

TEST(LogStream, AFileHeldOpenElsewhereCannotBeOpenedAndStaysUntouched)
{
    TempFolder folder;
    const std::wstring path = folder.File(L"held.txt");
    testsupport::WriteBytes(path, "precious");
    HANDLE holder = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    {
        LogStream stream(path.c_str());
        EXPECT_FALSE(stream.IsOpen());
        stream.Write(L"ignored");
    }
    ::CloseHandle(holder);
    EXPECT_EQ("precious", ReadBytes(path));
}

} // namespace apptest
