#include "platform/RuntimeFunction.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/KnownPaths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platformtest {

namespace {

std::vector<HANDLE> closedHandles;
std::vector<std::wstring> loadedLibraries;

BOOL WINAPI RecordingCloseHandle(HANDLE handle)
{
    closedHandles.push_back(handle);
    ::SetLastError(ERROR_INVALID_HANDLE); // closing must not leak this into the caller's value
    return testsupport::SystemApi().CloseHandle(handle);
}

HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR name)
{
    loadedLibraries.push_back(name);
    return testsupport::SystemApi().LoadLibraryW(name);
}

HWND WINAPI NoDesktop() { return nullptr; }

} // namespace

TEST(ScopedApiOverride, ReplacesForOneScopeThenRestoresTheWholeTable)
{
    const auto realDesktop = vantrel::platform::Api().GetDesktopWindow;
    {
        vantrel::platform::ScopedApiOverride api;
        api->GetDesktopWindow = &NoDesktop;
        EXPECT_EQ(nullptr, vantrel::platform::Api().GetDesktopWindow());
        EXPECT_EQ(realDesktop, api.Original().GetDesktopWindow);
    }
    EXPECT_EQ(realDesktop, vantrel::platform::Api().GetDesktopWindow);
    EXPECT_EQ(::GetDesktopWindow(), vantrel::platform::Api().GetDesktopWindow());
}

TEST(UniqueHandle, ClosesOnceThroughThePlatformAndKeepsTheLastError)
{
    vantrel::platform::ScopedApiOverride api;
    api->CloseHandle = &RecordingCloseHandle;

    // Each way of giving the handle up; the owner's end closes whatever is still held.
    const struct {
        const char* way;
        bool (*giveUp)(vantrel::platform::UniqueHandle&);
    } cases[] = {
        {"the owner's end", [](vantrel::platform::UniqueHandle&) { return true; }},
        {"Reset",
         [](vantrel::platform::UniqueHandle& handle) {
             handle.Reset();
             return true;
         }},
        {"Close", [](vantrel::platform::UniqueHandle& handle) { return handle.Close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.way);
        closedHandles.clear();
        HANDLE raw = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
        bool closed = false;
        {
            vantrel::platform::UniqueHandle event(raw);
            vantrel::platform::UniqueHandle moved(std::move(event));
            EXPECT_FALSE(event.IsValid());
            ::SetLastError(1234);
            closed = c.giveUp(moved);
        }
        EXPECT_EQ(1234u, ::GetLastError());
        EXPECT_TRUE(closed);
        ASSERT_EQ(1u, closedHandles.size());
        EXPECT_EQ(raw, closedHandles[0]);
    }
}

TEST(UniqueHandle, NullAndInvalidHandleValueAreBothNothing)
{
    vantrel::platform::ScopedApiOverride api;
    api->CloseHandle = &RecordingCloseHandle;
    closedHandles.clear();
    {
        vantrel::platform::UniqueHandle none;
        vantrel::platform::UniqueHandle failedSnapshot(INVALID_HANDLE_VALUE);
        EXPECT_FALSE(none.IsValid());
        EXPECT_FALSE(failedSnapshot.IsValid());
    }
    EXPECT_TRUE(closedHandles.empty());
}

TEST(LoadSystemLibrary, LoadsByFullPathFromTheSystemFolderOnly)
{
    vantrel::platform::ScopedApiOverride api;
    api->LoadLibraryW = &RecordingLoadLibraryW;
    loadedLibraries.clear();

    vantrel::platform::UniqueLibrary psapi(vantrel::platform::LoadSystemLibrary(L"psapi.dll"));
    EXPECT_TRUE(psapi.IsValid());

    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(testsupport::SystemFile(L"psapi.dll"), loadedLibraries[0]);
}

namespace {

int freedLibraries = 0;
BOOL WINAPI CountingFreeLibrary(HMODULE module)
{
    ++freedLibraries;
    return testsupport::SystemApi().FreeLibrary(module);
}
HMODULE WINAPI RefusingLoadLibraryW(LPCWSTR) { return nullptr; }
void WINAPI FakeSHGetSettings(SHELLFLAGSTATE*, DWORD) {}

} // namespace

TEST(RuntimeFunction, AReplacedEntryIsTakenAsItIsAndLoadsNothing)
{
    vantrel::platform::ScopedApiOverride api;
    api->LoadLibraryW = &RecordingLoadLibraryW;
    loadedLibraries.clear();
    api->SHGetSettings = nullptr;
    EXPECT_FALSE(vantrel::platform::Find<&vantrel::platform::Win32Api::SHGetSettings>());
    api->SHGetSettings = &FakeSHGetSettings;
    EXPECT_EQ(&FakeSHGetSettings, vantrel::platform::Find<&vantrel::platform::Win32Api::SHGetSettings>().Get());
    api->QueryFullProcessImageNameW = nullptr;
    EXPECT_FALSE(vantrel::platform::Find<&vantrel::platform::Win32Api::QueryFullProcessImageNameW>());
    EXPECT_TRUE(loadedLibraries.empty());
}

TEST(RuntimeFunction, APerCallLibraryIsLoadedFromTheSystemFolderForOneUseOnly)
{
    vantrel::platform::ScopedApiOverride api;
    api->LoadLibraryW = &RecordingLoadLibraryW;
    api->FreeLibrary = &CountingFreeLibrary;
    loadedLibraries.clear();
    freedLibraries = 0;
    for (int use = 1; use <= 2; ++use) {
        const auto getSettings = vantrel::platform::Find<&vantrel::platform::Win32Api::SHGetSettings>();
        EXPECT_TRUE(getSettings);
        EXPECT_FALSE(getSettings.LibraryMissing());
        EXPECT_EQ(use - 1, freedLibraries) << "released before its use ended";
    }
    EXPECT_EQ(std::vector<std::wstring>(2, testsupport::SystemFile(L"shell32.dll")), loadedLibraries);
    EXPECT_EQ(2, freedLibraries);

    api->LoadLibraryW = &RefusingLoadLibraryW;
    const auto refused = vantrel::platform::Find<&vantrel::platform::Win32Api::SHGetSettings>();
    EXPECT_FALSE(refused);
    EXPECT_TRUE(refused.LibraryMissing());
}

} // namespace platformtest
