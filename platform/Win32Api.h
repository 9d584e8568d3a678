// The one door to the Windows API. Every operation the logic calls is an entry of one table of
// typed pointers, so that a test can replace a single operation for one scope and put it back.
#pragma once

#include "WindowsHeaders.h"

namespace platform {

// One line per operation: X(name). The pointer type is taken from the system header's declaration.
#define VANTREL_WIN32_OPERATIONS(X)                                                               \
    /* Window enumeration and queries */                                                         \
    X(EnumWindows) X(GetWindowTextW) X(GetClassNameW) X(GetWindowRect) X(GetClientRect)          \
    X(IsIconic) X(IsZoomed) X(IsWindowVisible) X(GetWindowInfo) X(GetWindowLongW)               \
    X(GetClassLongW) X(GetParent) X(GetWindow) X(GetAncestor) X(GetDesktopWindow)               \
    X(GetWindowThreadProcessId) X(GetGUIThreadInfo) X(GetForegroundWindow) X(GetClassInfoExW)   \
    /* User messages and resources */                                                          \
    X(MessageBoxW) X(LoadStringW)                                                               \
    /* Processes */                                                                             \
    X(GetModuleFileNameW) X(OpenProcess) X(CreateToolhelp32Snapshot) X(Process32FirstW)         \
    X(Process32NextW) X(Module32FirstW) X(Module32NextW) X(GetLongPathNameW) X(CreateProcessW)  \
    X(CloseHandle)                                                                              \
    /* Libraries */                                                                             \
    X(LoadLibraryW) X(LoadLibraryExW) X(GetModuleHandleW) X(GetProcAddress) X(FreeLibrary)      \
    X(GetSystemDirectoryW)                                                                      \
    /* Strings */                                                                               \
    X(lstrcmpW) X(lstrcmpiW) X(lstrcpyW) X(lstrcpynW) X(lstrcatW) X(lstrlenA)                   \
    X(MultiByteToWideChar) X(ExpandEnvironmentStringsW)                                         \
    /* Files */                                                                                 \
    X(CreateFileW) X(WriteFile) X(DeleteFileW)                                                  \
    /* Registry */                                                                              \
    X(RegOpenKeyExW) X(RegQueryValueExW) X(RegEnumKeyExW) X(RegCloseKey)                        \
    /* Shell */                                                                                 \
    X(SHGetFileInfoW) X(SHAppBarMessage) X(ShellExecuteExW)                                     \
    /* Threads and events */                                                                    \
    X(CreateEventW) X(SetEvent) X(WaitForSingleObject) X(CreateThread) X(GetLastError)         \
    /* COM */                                                                                   \
    X(CoInitializeEx) X(CoUninitialize)

struct Win32Api {
#define VANTREL_DECLARE_ENTRY(name) decltype(&::name) name;
    VANTREL_WIN32_OPERATIONS(VANTREL_DECLARE_ENTRY)
#undef VANTREL_DECLARE_ENTRY
};

// The table the logic calls through: the real system operations unless a test has replaced some.
const Win32Api& Api();

// Replaces entries of the table for the life of this object, then restores the whole table.
// Usage: ScopedApiOverride api; api->CreateEventW = &FailingCreateEventW;
// Any thread that may call a replaced entry must be joined before the object dies.
class ScopedApiOverride {
public:
    ScopedApiOverride();
    ~ScopedApiOverride();
    ScopedApiOverride(const ScopedApiOverride&) = delete;
    ScopedApiOverride& operator=(const ScopedApiOverride&) = delete;

    Win32Api* operator->();
    // The table as it stood when this override began: fakes forward to it for the calls they pass on.
    const Win32Api& Original() const { return saved_; }

private:
    Win32Api saved_;
};

} // namespace platform
