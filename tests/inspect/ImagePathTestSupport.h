// What the image-path tests share: stand-ins reached through the platform seam (run-time functions
// made missing or replaced, libraries refused or stubbed, snapshot entries, a virtual DOS
// machine with a task list of the test's making), the fixture that installs them, and a helper
// process that owns one window. The stand-ins keep their state here, reset by the fixture.
#pragma once

#include "platform/Win32Api.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace inspecttest {

// The helper mode whose process owns one visible window with this title.
constexpr char kOneWindowHelper[] = "OwnsOneWindow";
constexpr wchar_t kOneWindowTitle[] = L"image path helper";

extern std::vector<std::wstring> loadedLibraries;
extern std::wstring refusedLibrarySuffix; // LoadLibraryW fails for a path ending so
extern HMODULE stubVdmLibrary;            // what LoadLibraryW gives for VDMDBG.dll, if set
extern int freedLibraries;
extern int moduleSnapshots;

// The process id that OneFullPathProcess32FirstW reports.
extern DWORD snapshotProcessId;

// The virtual DOS machine's image, as the image-name queries report it.
extern std::wstring reportedImage;

struct FakeTask {
    DWORD threadId;
    std::string fileName;
};
extern std::vector<FakeTask> tasks; // what FakeVdmEnumTaskWOWEx offers, in order
extern int taskEnumerations;

bool EndsWith(const std::wstring& text, const std::wstring& end);
bool SamePath(const std::wstring& a, const std::wstring& b);

HMODULE WINAPI RecordingLoadLibraryW(LPCWSTR path);
BOOL WINAPI CountingFreeLibrary(HMODULE module);
HANDLE WINAPI CountingCreateToolhelp32Snapshot(DWORD flags, DWORD processId);

// A process list of one entry whose name already is a full path.
BOOL WINAPI OneFullPathProcess32FirstW(HANDLE, LPPROCESSENTRY32W entry);
BOOL WINAPI NoMoreProcess32NextW(HANDLE, LPPROCESSENTRY32W);

BOOL WINAPI VdmQueryFullProcessImageNameW(HANDLE, DWORD, LPWSTR out, PDWORD size);
DWORD WINAPI VdmGetModuleFileNameExW(HANDLE, HMODULE, LPWSTR out, DWORD size);
INT WINAPI FakeVdmEnumTaskWOWEx(DWORD, TASKENUMPROCEX callback, LPARAM query);

struct ProcessImagePath : ::testing::Test {
    ProcessImagePath();

    // Pretends that this process is a virtual DOS machine found by strategy A, with the fake task
    // list in place of the VDM debugging library's, or that library itself when taskList is false.
    void PretendVirtualDosMachine(bool taskList = true);

    vantrel::platform::ScopedApiOverride api;
};

} // namespace inspecttest
