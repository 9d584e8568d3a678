#include "platform/RuntimeFunction.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<HANDLE> closedHandles;
std::vector<std::wstring> loadedLibraries;

BOOL WINAPI RecordingCloseHandle(HANDLE handle)
{
    closedHandles.push_back(handle);
    ::SetLastError(ERROR_INVALID_HANDLE);  // closing must not leak this into the caller's value
    return ::CloseHandle(handle);
}

HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR name)
{
    loadedLibraries.push_back(name);
    return ::LoadLibraryW(name);
}

HWND WINAPI NoDesktop() { return nullptr; }

} // namespace

TEST(ScopedApiOverride, ReplacesForOneScopeThenRestoresTheWholeTable)
{
    const auto realDesktop = platform::Api().GetDesktopWindow;
    {
        platform::ScopedApiOverride api;
        api->GetDesktopWindow = &NoDesktop;
        EXPECT_EQ(nullptr, platform::Api().GetDesktopWindow());
        EXPECT_EQ(realDesktop, api.Original().GetDesktopWindow);
    }
    EXPECT_EQ(realDesktop, platform::Api().GetDesktopWindow);
    EXPECT_EQ(::GetDesktopWindow(), platform::Api().GetDesktopWindow());
}

TEST(UniqueHandle, ClosesOnceThroughThePlatformAndKeepsTheLastError)
{
    platform::ScopedApiOverride api;
    api->CloseHandle = &RecordingCloseHandle;
    closedHandles.clear();

    HANDLE raw = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    {
        platform::UniqueHandle event(raw);
        platform::UniqueHandle moved(std::move(event));
        EXPECT_FALSE(event.IsValid());
        ::SetLastError(1234);
    }
    EXPECT_EQ(1234u, ::GetLastError());
    ASSERT_EQ(1u, closedHandles.size());
    EXPECT_EQ(raw, closedHandles[0]);
}

TEST(UniqueHandle, NullAndInvalidHandleValueAreBothNothing)
{
    platform::ScopedApiOverride api;
    api->CloseHandle = &RecordingCloseHandle;
    closedHandles.clear();
    {
        platform::UniqueHandle none;
        platform::UniqueHandle failedSnapshot(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(none.IsValid());
        EXPECT_FALSE(failedSnapshot.IsValid());
    }
    EXPECT_TRUE(closedHandles.empty());
}

TEST(LoadSystemLibrary, LoadsByFullPathFromTheSystemFolderOnly)
{
    platform::ScopedApiOverride api;
    api->LoadLibraryW = &RecordingLoadLibraryW;
    loadedLibraries.clear();

    platform::UniqueLibrary psapi(platform::LoadSystemLibrary(L"psapi.dll"));
    EXPECT_TRUE(psapi.IsValid());

    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(std::wstring(system) + L"\\psapi.dll", loadedLibraries[0]);
}

TEST(LookUpFunction, MissingFunctionOrModuleIsNull)
{
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32");
    EXPECT_NE(nullptr, platform::LookUpFunction<decltype(&::GetTickCount)>(kernel, "GetTickCount"));
    EXPECT_EQ(nullptr, platform::LookUpFunction<decltype(&::GetTickCount)>(kernel, "NoSuchFunctionHere"));
    EXPECT_EQ(nullptr, platform::LookUpFunction<decltype(&::GetTickCount)>(nullptr, "GetTickCount"));
}
