#include "tests/inspect/ImagePathTestSupport.h"

#include "tests/support/ApiFakes.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/TestWindow.h"

namespace inspecttest {

std::vector<std::wstring> loadedLibraries;
std::wstring refusedLibrarySuffix;
HMODULE stubVdmLibrary = nullptr;
int freedLibraries = 0;
int moduleSnapshots = 0;
DWORD snapshotProcessId = 0;
std::wstring reportedImage = L"C:\\WINNT\\system32\\NTVDM.EXE";
std::vector<FakeTask> tasks;
int taskEnumerations = 0;

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && ::lstrcmpiW(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

bool SamePath(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR path)
{
    loadedLibraries.push_back(path);
    if (!refusedLibrarySuffix.empty() && EndsWith(path, refusedLibrarySuffix)) return nullptr;
    if (stubVdmLibrary != nullptr && EndsWith(path, L"\\VDMDBG.dll")) return stubVdmLibrary;
    return testsupport::SystemApi().LoadLibraryW(path);
}

BOOL WINAPI CountingFreeLibrary(HMODULE module)
{
    ++freedLibraries;
    return testsupport::SystemApi().FreeLibrary(module);
}

HANDLE WINAPI CountingCreateToolhelp32Snapshot(DWORD flags, DWORD processId)
{
    if (flags & TH32CS_SNAPMODULE) ++moduleSnapshots;
    return testsupport::SystemApi().CreateToolhelp32Snapshot(flags, processId);
}

BOOL WINAPI OneFullPathProcess32FirstW(HANDLE, LPPROCESSENTRY32W entry)
{
    EXPECT_EQ(sizeof(PROCESSENTRY32W), entry->dwSize);
    entry->th32ProcessID = snapshotProcessId;
    ::lstrcpyW(entry->szExeFile, L"C:\\Program Files\\Tool\\tool.exe");
    return TRUE;
}

BOOL WINAPI NoMoreProcess32NextW(HANDLE, LPPROCESSENTRY32W) { return FALSE; }

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

INT WINAPI FakeVdmEnumTaskWOWEx(DWORD, TASKENUMPROCEX callback, LPARAM query)
{
    ++taskEnumerations;
    for (FakeTask& task : tasks) {
        if (callback(task.threadId, 1, 2, const_cast<PSZ>("MODULE"), &task.fileName[0], query)) break;
    }
    return static_cast<INT>(tasks.size());
}

ProcessImagePath::ProcessImagePath()
{
    api->LoadLibraryW = &RecordingLoadLibraryW;
    api->FreeLibrary = &CountingFreeLibrary;
    api->CreateToolhelp32Snapshot = &CountingCreateToolhelp32Snapshot;
    loadedLibraries.clear();
    refusedLibrarySuffix.clear();
    stubVdmLibrary = nullptr;
    freedLibraries = 0;
    moduleSnapshots = 0;
    tasks.clear();
    taskEnumerations = 0;
    reportedImage = L"C:\\WINNT\\system32\\NTVDM.EXE";
}

void ProcessImagePath::PretendVirtualDosMachine(bool taskList)
{
    api->QueryFullProcessImageNameW = &VdmQueryFullProcessImageNameW;
    if (taskList) api->VDMEnumTaskWOWEx = &FakeVdmEnumTaskWOWEx;
}

} // namespace inspecttest

VANTREL_TEST_HELPER(OwnsOneWindow)
{
    testsupport::TestWindow window({inspecttest::kOneWindowTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE});
    return testsupport::SignalReadyAndServe();
}
