#include "inspect/ProcessImagePath.h"

#include "platform/Win32Api.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/TempFiles.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using testsupport::HelperProcess;

namespace {

constexpr wchar_t kSentinel = 0xCCCC;

// --- Fakes, all forwarding to the real system unless a test says otherwise. ---------------------

std::map<std::string, FARPROC> substitutes;  // GetProcAddress answers by name; null = missing
std::vector<std::wstring> loadedLibraries;
std::wstring refusedLibrarySuffix;            // LoadLibraryW fails for a path ending so
HMODULE stubVdmLibrary = nullptr;             // what LoadLibraryW gives for VDMDBG.dll, if set
int freedLibraries = 0;
int moduleSnapshots = 0;

template <class Fn>
FARPROC AsFarProc(Fn fn) { return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(fn)); }

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && ::lstrcmpiW(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

FARPROC WINAPI SubstitutingGetProcAddress(HMODULE module, LPCSTR name)
{
    const auto found = substitutes.find(name);
    if (found != substitutes.end()) return found->second;
    return ::GetProcAddress(module, name);
}

HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR path)
{
    loadedLibraries.push_back(path);
    if (!refusedLibrarySuffix.empty() && EndsWith(path, refusedLibrarySuffix)) return nullptr;
    if (stubVdmLibrary != nullptr && EndsWith(path, L"\\VDMDBG.dll")) return stubVdmLibrary;
    return ::LoadLibraryW(path);
}

BOOL WINAPI CountingFreeLibrary(HMODULE module)
{
    ++freedLibraries;
    return ::FreeLibrary(module);
}

HANDLE WINAPI CountingCreateToolhelp32Snapshot(DWORD flags, DWORD processId)
{
    if (flags & TH32CS_SNAPMODULE) ++moduleSnapshots;
    return ::CreateToolhelp32Snapshot(flags, processId);
}

// A process list of one entry whose name already is a full path.
DWORD snapshotProcessId = 0;
BOOL WINAPI OneFullPathProcess32FirstW(HANDLE, LPPROCESSENTRY32W entry)
{
    EXPECT_EQ(sizeof(PROCESSENTRY32W), entry->dwSize);
    entry->th32ProcessID = snapshotProcessId;
    ::lstrcpyW(entry->szExeFile, L"C:\\Program Files\\Tool\\tool.exe");
    return TRUE;
}
BOOL WINAPI NoMoreProcess32NextW(HANDLE, LPPROCESSENTRY32W) { return FALSE; }

// The virtual DOS machine, as the image-name queries report it.
std::wstring reportedImage = L"C:\\WINNT\\system32\\NTVDM.EXE";
BOOL WINAPI VdmQueryFullProcessImageNameW(HANDLE, DWORD, LPWSTR out, PDWORD size)
{
    ::lstrcpynW(out, reportedImage.c_str(), static_cast<int>(*size));
    *size = static_cast<DWORD>(::lstrlenW(out));
    return TRUE;
}
DWORD WINAPI VdmGetModuleFileNameExW(HANDLE, HMODULE, LPWSTR out, DWORD size)
{
    ::lstrcpynW(out, reportedImage.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(::lstrlenW(out));
}

struct FakeTask {
    DWORD threadId;
    std::string fileName;
};
std::vector<FakeTask> tasks;
int taskEnumerations = 0;
INT WINAPI FakeVdmEnumTaskWOWEx(DWORD, TASKENUMPROCEX callback, LPARAM query)
{
    ++taskEnumerations;
    for (FakeTask& task : tasks) {
        if (callback(task.threadId, 1, 2, const_cast<PSZ>("MODULE"), &task.fileName[0], query)) break;
    }
    return static_cast<INT>(tasks.size());
}

struct ImagePathFixture : ::testing::Test {
    ImagePathFixture()
    {
        api->GetProcAddress = &SubstitutingGetProcAddress;
        api->LoadLibraryW = &RecordingLoadLibraryW;
        api->FreeLibrary = &CountingFreeLibrary;
        api->CreateToolhelp32Snapshot = &CountingCreateToolhelp32Snapshot;
        substitutes.clear();
        loadedLibraries.clear();
        refusedLibrarySuffix.clear();
        stubVdmLibrary = nullptr;
        freedLibraries = 0;
        moduleSnapshots = 0;
        tasks.clear();
        taskEnumerations = 0;
        reportedImage = L"C:\\WINNT\\system32\\NTVDM.EXE";
    }

    void MakeMissing(const char* name) { substitutes[name] = nullptr; }

    // Pretends that this process is a virtual DOS machine found by strategy A, with VDMDBG.dll
    // offering the fake task list.
    void PretendVirtualDosMachine()
    {
        substitutes["QueryFullProcessImageNameW"] = AsFarProc(&VdmQueryFullProcessImageNameW);
        substitutes["VDMEnumTaskWOWEx"] = AsFarProc(&FakeVdmEnumTaskWOWEx);
        stubVdmLibrary = ::GetModuleHandleW(L"kernel32");
    }

    // Out-parameter with guard characters behind its room.
    std::vector<wchar_t> Out(int capacity) { return std::vector<wchar_t>(static_cast<std::size_t>(capacity) + 8, kSentinel); }
    static bool GuardIntact(const std::vector<wchar_t>& out, int capacity)
    {
        for (std::size_t i = static_cast<std::size_t>(capacity); i < out.size(); ++i)
            if (out[i] != kSentinel) return false;
        return true;
    }

    static std::wstring OwnPath()
    {
        wchar_t path[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        return path;
    }

    static std::wstring SystemFile(const wchar_t* name)
    {
        wchar_t path[MAX_PATH] = {};
        ::GetSystemDirectoryW(path, MAX_PATH);
        return std::wstring(path) + L"\\" + name;
    }

    platform::ScopedApiOverride api;
};

bool SamePath(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

VANTREL_TEST_HELPER(OwnsOneWindow)
{
    testsupport::TestWindow window({L"image path helper", WS_OVERLAPPEDWINDOW | WS_VISIBLE});
    return testsupport::SignalReadyAndServe();
}

} // namespace

// --- Strategy A: the system's own full-name query. --------------------------------------------

TEST_F(ImagePathFixture, NamesAnotherProcessesExecutableByItsWindow)
{
    HelperProcess helper("OwnsOneWindow");
    const HWND window = testsupport::FindWindowOfProcess(helper.ProcessId(), L"image path helper");
    ASSERT_NE(nullptr, window);

    wchar_t out[260];
    EXPECT_TRUE(GetWindowProcessImagePath(window, out, 260));
    EXPECT_TRUE(SamePath(OwnPath(), out)) << out;
    EXPECT_TRUE(GetProcessImagePath(helper.ProcessId(), 0, out, 260));
    EXPECT_TRUE(SamePath(OwnPath(), out)) << out;
    EXPECT_TRUE(loadedLibraries.empty());  // strategy A needs no library
}

TEST_F(ImagePathFixture, NoProcessMeansAnEmptyPath)
{
    wchar_t out[260] = L"stale";
    EXPECT_FALSE(GetWindowProcessImagePath(nullptr, out, 260));
    EXPECT_STREQ(L"", out);
    wcscpy(out, L"stale");
    EXPECT_FALSE(GetProcessImagePath(0, 0, out, 260));
    EXPECT_STREQ(L"", out);
}

// --- Every strategy cuts a path longer than the room and terminates it. ------------------------

TEST_F(ImagePathFixture, EveryStrategyCutsALongPathToTheRoom)
{
    const std::wstring own = OwnPath();
    const int capacity = 12;
    ASSERT_GT(own.size(), static_cast<std::size_t>(capacity));
    struct Case {
        const char* strategy;
        std::vector<const char*> missing;
    };
    const Case cases[] = {{"A", {}},
                          {"B", {"QueryFullProcessImageNameW"}},
                          {"C", {"QueryFullProcessImageNameW", "GetModuleFileNameExW"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strategy);
        substitutes.clear();
        for (const char* name : c.missing) MakeMissing(name);
        std::vector<wchar_t> out = Out(capacity);
        EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 0, out.data(), capacity));
        EXPECT_EQ(own.substr(0, capacity - 1), std::wstring(out.data()));
        EXPECT_TRUE(GuardIntact(out, capacity));
    }
}

// --- Strategy B: psapi, from the system folder only. --------------------------------------------

TEST_F(ImagePathFixture, WithoutTheFullNameQueryPsapiFromTheSystemFolderAnswers)
{
    MakeMissing("QueryFullProcessImageNameW");
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 0, out, 260));
    EXPECT_TRUE(SamePath(OwnPath(), out)) << out;
    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(SystemFile(L"psapi.dll"), loadedLibraries[0]);
    EXPECT_EQ(1, freedLibraries);
    EXPECT_EQ(0, moduleSnapshots);
}

TEST_F(ImagePathFixture, WithoutPsapiThereIsNoPath)
{
    MakeMissing("QueryFullProcessImageNameW");
    refusedLibrarySuffix = L"\\psapi.dll";
    wchar_t out[260] = L"stale";
    EXPECT_FALSE(GetProcessImagePath(::GetCurrentProcessId(), 0, out, 260));
    EXPECT_STREQ(L"", out);
    EXPECT_EQ(0, freedLibraries);
}

// --- Strategy C: the tool-help snapshots. -------------------------------------------------------

TEST_F(ImagePathFixture, WithNeitherQueryTheSnapshotsAnswerThroughTheModuleList)
{
    MakeMissing("QueryFullProcessImageNameW");
    MakeMissing("GetModuleFileNameExW");
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 0, out, 260));
    EXPECT_TRUE(SamePath(OwnPath(), out)) << out;
    EXPECT_EQ(1, freedLibraries);  // psapi was loaded to find out, and let go
}

TEST_F(ImagePathFixture, ASnapshotNameWithAFolderIsTakenWhole)
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

TEST_F(ImagePathFixture, AVirtualDosMachineGivesTheFileOfTheTaskThatOwnsTheThread)
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
        {333, 260, L"C:\\WINNT\\system32\\NTVDM.EXE"},  // no task of that thread: the machine itself
        {444, 260, std::wstring(longName.begin(), longName.begin() + 259)},
        // Room enough for the machine's own path, not for the task's file.
        {555, 29, L"C:\\APPS\\A-MUCH-LONGER-TASK-N"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.threadId);
        std::vector<wchar_t> out = Out(c.capacity);
        EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), c.threadId, out.data(), c.capacity));
        EXPECT_EQ(c.expected, std::wstring(out.data()));
        EXPECT_TRUE(GuardIntact(out, c.capacity));
    }
    // The library is looked for in the system folder, once for the run.
    ASSERT_EQ(1u, loadedLibraries.size());
    EXPECT_EQ(SystemFile(L"VDMDBG.dll"), loadedLibraries[0]);
}

TEST_F(ImagePathFixture, OnlyAnImageNamedNtvdmStartsTheTaskLookUp)
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
        {L"ntvdm.exe", false},  // no folder: not a path the system gives
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

TEST_F(ImagePathFixture, PsapisAnswerIsCheckedForTheVirtualDosMachineToo)
{
    PretendVirtualDosMachine();
    MakeMissing("QueryFullProcessImageNameW");
    substitutes["GetModuleFileNameExW"] = AsFarProc(&VdmGetModuleFileNameExW);
    tasks = {{222, "C:\\APPS\\TWO.EXE"}};
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 222, out, 260));
    EXPECT_STREQ(L"C:\\APPS\\TWO.EXE", out);
}

TEST_F(ImagePathFixture, AShortTaskFileNameIsWrittenInItsLongForm)
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

TEST_F(ImagePathFixture, AMissingVdmLibraryOrFunctionMeansNoTask)
{
    PretendVirtualDosMachine();
    tasks = {{111, "C:\\APPS\\ONE.EXE"}};
    stubVdmLibrary = nullptr;
    refusedLibrarySuffix = L"\\VDMDBG.dll";
    wchar_t out[260];
    EXPECT_TRUE(GetProcessImagePath(::GetCurrentProcessId(), 111, out, 260));
    EXPECT_STREQ(L"C:\\WINNT\\system32\\NTVDM.EXE", out);
    EXPECT_EQ(0, taskEnumerations);
}

TEST_F(ImagePathFixture, AMissingTaskEnumerationFunctionMeansNoTask)
{
    PretendVirtualDosMachine();
    MakeMissing("VDMEnumTaskWOWEx");
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
        me->window_ = ::CreateWindowExW(0, testsupport::TestWindowClass(), L"task window",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                                        ::GetModuleHandleW(nullptr), nullptr);
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

TEST_F(ImagePathFixture, EachWindowOfAVirtualDosMachineGetsItsOwnTasksFile)
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
