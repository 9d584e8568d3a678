#include "tests/support/KnownPaths.h"

#include "platform/WindowsHeaders.h"

#include <gtest/gtest.h>

namespace testsupport {

std::wstring OwnExecutablePath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_TRUE(length != 0 && length < MAX_PATH);
    return path;
}

std::wstring SystemFolder()
{
    wchar_t path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    EXPECT_TRUE(length != 0 && length < MAX_PATH);
    return path;
}

std::wstring SystemFile(const wchar_t* name) { return SystemFolder() + L"\\" + name; }

} // namespace testsupport
