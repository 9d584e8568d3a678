#include "inspect/ProcessImagePath.h"

#include "platform/Win32Api.h"
#include "tests/inspect/ImagePathTestSupport.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/KnownPaths.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace inspecttest {

using inspect::GetProcessImagePath;
using inspect::GetWindowProcessImagePath;
using inspect::GetProcessImagePathFromSnapshot;

using testsupport::GuardedBuffer;
using testsupport::HelperProcess;
using testsupport::OwnExecutablePath;
using testsupport::SystemFile;
using namespace inspecttest;

// --- Strategy A: the system's own full-name query. --------------------------------------------

TEST_F(ProcessImagePath, NamesAnotherProcessesExecutableByItsWindow)
{
    HelperProcess helper(kOneWindowHelper);
    const HWND window = testsupport::FindWindowByTitle(helper.ProcessId(), kOneWindowTitle);
    ASSERT_NE(nullptr, window);

    wchar_t out[260];
    EXPECT_TRUE(GetWindowProcessImagePath(window, out, 260));
    EXPECT_TRUE(SamePath(OwnExecutablePath(), out)) << out;
    EXPECT_TRUE(GetProcessImagePath(helper.ProcessId(), 0, out, 260));
    EXPECT_TRUE(SamePath(OwnExecutablePath(), out)) << out;
    EXPECT_TRUE(loadedLibraries.empty()); // strategy A needs no library
}

TEST_F(ProcessImagePath, NoProcessMeansAnEmptyPath)
{
    wchar_t out[260] = L"stale";
    EXPECT_FALSE(GetWindowProcessImagePath(nullptr, out, 260));
    EXPECT_STREQ(L"", out);
    wcscpy(out, L"stale");
    EXPECT_FALSE(GetProcessImagePath(0, 0, out, 260));
    EXPECT_STREQ(L"", out);
}

// --- Every strategy cuts a path longer than the room and terminates it. ------------------------

TEST_F(ProcessImagePath, EveryStrategyCutsALongPathToTheRoom)
{
    const std::wstring own = OwnExecutablePath();
    const int capacity = 12;
    ASSERT_GT(own.size(), static_cast<std::size_t>(capacity));
    struct Case {
        const char* strategy;
        bool noFullNameQuery;
        bool noModuleNameQuery;
    };
    const Case cases[] = {{"A", false, false}, {"B", true, false}, {"C", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strategy);
        vantrel::platform::ScopedApiOverride strategy;
        if (c.noFullNameQuery) strategy->QueryFullProcessImageNameW = nullptr;
        if (c.noModuleNameQuery) strategy->GetModuleFileNameExW = nullptr;
        GuardedBuffer out(capacity);
        EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 0, out.Get(), capacity));
        EXPECT_EQ(own.substr(0, capacity - 1), out.Text());
        EXPECT_TRUE(out.GuardIntact());
    }
}

// --- Strategy B: psapi, from the system folder only. --------------------------------------------

TEST_F(ProcessImagePath, WithoutTheFullNameQueryPsapiFromTheSystemFolderAnswers)
{
    api->QueryFullProcessImageNameW = nullptr;
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 0, out, 260));
    EXPECT_TRUE(SamePath(OwnExecutablePath(), out)) << out;
    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(SystemFile(L"psapi.dll"), loadedLibraries[0]);
    EXPECT_EQ(1, freedLibraries);
    EXPECT_EQ(0, moduleSnapshots);
}

TEST_F(ProcessImagePath, WithoutPsapiThereIsNoPath)
{
    api->QueryFullProcessImageNameW = nullptr;
    refusedLibrarySuffix = L"\\psapi.dll";
    wchar_t out[260] = L"stale";
    EXPECT_FALSE(GetProcessImagePath(::GetCurrentProcessId(), 0, out, 260));
    EXPECT_STREQ(L"", out);
    EXPECT_EQ(0, freedLibraries);
}

// --- Strategy C: the tool-help snapshots. -------------------------------------------------------

TEST_F(ProcessImagePath, WithNeitherQueryTheSnapshotsAnswerThroughTheModuleList)
{
    api->QueryFullProcessImageNameW = nullptr;
    api->GetModuleFileNameExW = nullptr;
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 0, out, 260));
    EXPECT_TRUE(SamePath(OwnExecutablePath(), out)) << out;
}

TEST_F(ProcessImagePath, ASnapshotNameWithAFolderIsTakenWhole)
{
    api->Process32FirstW = &OneFullPathProcess32FirstW;
    api->Process32NextW = &NoMoreProcess32NextW;
    snapshotProcessId = 4242;
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePathFromSnapshot(4242, out, 260));
    EXPECT_STREQ(L"C:\\Program Files\\Tool\\tool.exe", out);
    EXPECT_EQ(0, moduleSnapshots);

    wcscpy(out, L"stale");
    EXPECT_FALSE(GetProcessImagePathFromSnapshot(4243, out, 260));
    EXPECT_STREQ(L"", out);
    EXPECT_FALSE(GetProcessImagePathFromSnapshot(0, out, 260));
}

// --- The NT virtual DOS machine: each window gets its own 16-bit task's file. --------------------

TEST_F(ProcessImagePath, AVirtualDosMachineGivesTheFileOfTheTaskThatOwnsTheThread)
{
    PretendVirtualDosMachine();
    const std::string longName = "C:\\APPS\\" + std::string(300, 'L') + ".EXE";
    tasks = {{111, "C:\\APPS\\ONE.EXE"},
             {222, "C:\\APPS\\TWO.EXE"},
             {444, longName},
             {555, "C:\\APPS\\A-MUCH-LONGER-TASK-NAME.EXE"}};
    struct Case {
        DWORD threadId;
        int capacity;
        std::wstring expected;
    };
    const Case cases[] = {
        {111, 260, L"C:\\APPS\\ONE.EXE"},
        {222, 260, L"C:\\APPS\\TWO.EXE"},
        {333, 260, L"C:\\WINNT\\system32\\NTVDM.EXE"}, // no task of that thread: the machine itself
        {444, 260, std::wstring(longName.begin(), longName.begin() + 259)},
        // Room enough for the machine's own path, not for the task's file.
        {555, 29, L"C:\\APPS\\A-MUCH-LONGER-TASK-N"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.threadId);
        GuardedBuffer out(c.capacity);
        EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), c.threadId, out.Get(), c.capacity));
        EXPECT_EQ(c.expected, out.Text());
        EXPECT_TRUE(out.GuardIntact());
    }
}

TEST_F(ProcessImagePath, OnlyAnImageNamedNtvdmStartsTheTaskLookUp)
{
    PretendVirtualDosMachine();
    tasks = {{111, "C:\\APPS\\ONE.EXE"}};
    const struct {
        const wchar_t* image;
        bool lookedUp;
    } cases[] = {
        {L"C:\\WINNT\\system32\\ntvdm.exe", true},
        {L"D:\\x\\NtVdm.ExE", true},
        {L"C:\\WINNT\\system32\\ntvdm.exe.bak", false},
        {L"C:\\WINNT\\system32\\myntvdm.exe", false},
        {L"ntvdm.exe", false}, // no folder: not a path the system gives
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        reportedImage = c.image;
        taskEnumerations = 0;
        wchar_t out[260];
        EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 111, out, 260));
        EXPECT_EQ(c.lookedUp ? 1 : 0, taskEnumerations);
        EXPECT_EQ(c.lookedUp ? std::wstring(L"C:\\APPS\\ONE.EXE") : std::wstring(c.image), std::wstring(out));
    }
}

TEST_F(ProcessImagePath, PsapisAnswerIsCheckedForTheVirtualDosMachineToo)
{
    PretendVirtualDosMachine();
    api->QueryFullProcessImageNameW = nullptr;
    api->GetModuleFileNameExW = &VdmGetModuleFileNameExW;
    tasks = {{222, "C:\\APPS\\TWO.EXE"}};
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 222, out, 260));
    EXPECT_STREQ(L"C:\\APPS\\TWO.EXE", out);
}

TEST_F(ProcessImagePath, AShortTaskFileNameIsWrittenInItsLongForm)
{
    testsupport::TempFolder folder;
    const std::wstring longPath = folder.File(L"A Long Application Name.exe");
    testsupport::WriteBytes(longPath, "MZ");
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetShortPathNameW(longPath.c_str(), shortPath, MAX_PATH));
    ASSERT_NE(longPath, std::wstring(shortPath)) << "the file system gives no short names";

    PretendVirtualDosMachine();
    char shortAnsi[MAX_PATH] = {};
    ::WideCharToMultiByte(CP_ACP, 0, shortPath, -1, shortAnsi, MAX_PATH, nullptr, nullptr);
    tasks = {{111, shortAnsi}};
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 111, out, 260));
    EXPECT_TRUE(SamePath(longPath, out)) << out;
}

TEST_F(ProcessImagePath, AMissingVdmLibraryMeansNoTask)
{
    PretendVirtualDosMachine(false);
    refusedLibrarySuffix = L"\\VDMDBG.dll";
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 111, out, 260));
    EXPECT_STREQ(L"C:\\WINNT\\system32\\NTVDM.EXE", out);
    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(SystemFile(L"VDMDBG.dll"), loadedLibraries[0]);
}

TEST_F(ProcessImagePath, TheVdmLibraryIsLoadedFromTheSystemFolderOnceForTheRun)
{
    // kernel32 stands in for the library: it lacks the function, so no task is found either.
    PretendVirtualDosMachine(false);
    stubVdmLibrary = ::GetModuleHandleW(L"kernel32");
    wchar_t out[260];
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 111, out, 260));
        EXPECT_STREQ(L"C:\\WINNT\\system32\\NTVDM.EXE", out);
    }
    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(SystemFile(L"VDMDBG.dll"), loadedLibraries[0]);
    EXPECT_EQ(0, freedLibraries);
}

TEST_F(ProcessImagePath, AMissingTaskEnumerationFunctionMeansNoTask)
{
    PretendVirtualDosMachine();
    api->VDMEnumTaskWOWEx = nullptr;
    tasks = {{111, "C:\\APPS\\ONE.EXE"}};
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 111, out, 260));
    EXPECT_STREQ(L"C:\\WINNT\\system32\\NTVDM.EXE", out);
    EXPECT_EQ(0, taskEnumerations);
}

namespace {

// A window on a thread of its own, so that it belongs to a different thread id than the test's.
class WindowOnItsOwnThread {
public:
    WindowOnItsOwnThread()
    {
        ready_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        quit_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        thread_ = ::CreateThread(nullptr, 0, &Run, this, 0, &threadId_);
        ::WaitForSingleObject(ready_, 10000);
    }
    ~WindowOnItsOwnThread()
    {
        ::SetEvent(quit_);
        ::WaitForSingleObject(thread_, 10000);
        for (HANDLE h : {thread_, quit_, ready_}) ::CloseHandle(h);
    }
    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }

private:
    static DWORD WINAPI Run(LPVOID self)
    {
        auto* me = static_cast<WindowOnItsOwnThread*>(self);
        me->window_ =
            ::CreateWindowExW(0, testsupport::TestWindowClass(), L"task window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              100, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetEvent(me->ready_);
        ::WaitForSingleObject(me->quit_, 10000);
        ::DestroyWindow(me->window_);
        return 0;
    }

    HANDLE ready_ = nullptr;
    HANDLE quit_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

} // namespace

TEST_F(ProcessImagePath, EachWindowOfAVirtualDosMachineGetsItsOwnTasksFile)
{
    WindowOnItsOwnThread first;
    WindowOnItsOwnThread second;
    WindowOnItsOwnThread noTask;
    ASSERT_NE(nullptr, first.Window());
    ASSERT_NE(nullptr, second.Window());
    PretendVirtualDosMachine();
    tasks = {{second.ThreadId(), "C:\\APPS\\TWO.EXE"}, {first.ThreadId(), "C:\\APPS\\ONE.EXE"}};

    wchar_t out[260];
    EXPECT_TRUE(GetWindowProcessImagePath(first.Window(), out, 260));
    EXPECT_STREQ(L"C:\\APPS\\ONE.EXE", out);
    EXPECT_TRUE(GetWindowProcessImagePath(second.Window(), out, 260));
    EXPECT_STREQ(L"C:\\APPS\\TWO.EXE", out);
    EXPECT_TRUE(GetWindowProcessImagePath(noTask.Window(), out, 260));
    EXPECT_STREQ(L"C:\\WINNT\\system32\\NTVDM.EXE", out);
}

} // namespace inspecttest
