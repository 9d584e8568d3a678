// The one door to the Windows API. Every operation the logic calls is an entry of one table of
// typed pointers, so that a test can replace a single operation for one scope and put it back.
#pragma once

#include "WindowsHeaders.h"

// shcore's DPI functions (Windows 8.1) are declared only to builds that target that system; they
// are named here for run-time look-up alone.
#pragma push_macro("NTDDI_VERSION")
#undef NTDDI_VERSION
#define NTDDI_VERSION NTDDI_WINBLUE
#include <shellscalingapi.h>
#pragma pop_macro("NTDDI_VERSION")

// ntdll's own version query, which no user-mode header declares: it fills the structure and
// returns an NTSTATUS, 0 for success. Unlike GetVersionExW it tells the truth whatever the
// program's manifest says.
extern "C" NTSYSAPI LONG NTAPI RtlGetVersion(PRTL_OSVERSIONINFOW versionInformation);

namespace vantrel::platform {

// clang-format off
// One line per operation: X(name). The pointer type is taken from the system header's declaration.
#define VANTREL_WIN32_OPERATIONS(X)                                                               \
    /* Window enumeration and queries */                                                         \
    X(EnumWindows) X(GetWindowTextW) X(GetClassNameW) X(GetWindowRect) X(GetClientRect)          \
    X(IsIconic) X(IsZoomed) X(IsWindowVisible) X(GetWindowInfo) X(GetWindowLongW)               \
    X(GetClassLongW) X(GetParent) X(GetWindow) X(GetAncestor) X(GetDesktopWindow)               \
    X(GetWindowThreadProcessId) X(GetGUIThreadInfo) X(GetForegroundWindow) X(GetClassInfoExW)   \
    X(GetShellWindow) X(IsWindow) X(GetWindowPlacement) X(IsHungAppWindow) X(GetPropW)          \
    /* Monitors and the system */                                                               \
    X(EnumDisplayMonitors) X(GetMonitorInfoW) X(MonitorFromWindow) X(GetSystemMetrics)          \
    X(GetVersionExW) X(GetSystemTimeAsFileTime)                                                 \
    /* User messages and resources */                                                          \
    X(MessageBoxW) X(LoadStringW) X(FormatMessageW)                                             \
    /* Processes */                                                                             \
    X(GetModuleFileNameW) X(OpenProcess) X(CreateToolhelp32Snapshot) X(Process32FirstW)         \
    X(Process32NextW) X(Module32FirstW) X(Module32NextW) X(GetLongPathNameW) X(CreateProcessW)  \
    X(CloseHandle)                                                                              \
    /* Libraries */                                                                             \
    X(LoadLibraryW) X(LoadLibraryExW) X(GetModuleHandleW) X(GetProcAddress) X(FreeLibrary)      \
    X(GetSystemDirectoryW)                                                                      \
    /* Strings */                                                                               \
    X(lstrcmpW) X(lstrcmpiW) X(lstrcpynW) X(lstrlenA)                                           \
    X(MultiByteToWideChar) X(WideCharToMultiByte) X(ExpandEnvironmentStringsW)                  \
    /* Files */                                                                                 \
    X(CreateFileW) X(ReadFile) X(WriteFile) X(DeleteFileW) X(MoveFileExW) X(GetTempFileNameW)   \
    X(GetFileSizeEx) X(GetFileTime) X(GetFileInformationByHandle)                               \
    /* Console */                                                                               \
    X(GetStdHandle) X(GetConsoleMode) X(WriteConsoleW) X(GetConsoleScreenBufferInfo)            \
    /* Registry */                                                                              \
    X(RegOpenKeyExW) X(RegQueryValueExW) X(RegEnumKeyExW) X(RegCloseKey)                        \
    /* Shell */                                                                                 \
    X(SHGetFileInfoW) X(SHAppBarMessage) X(ShellExecuteExW) X(ShellExecuteW)                    \
    /* Threads and events */                                                                    \
    X(CreateEventW) X(SetEvent) X(WaitForSingleObject) X(CreateThread)

// Functions that only some systems offer, found at run time: X(library, name, binding), bound
// once per process or once per call:
//   Preloaded   in a library every process has from its start (kernel32, ntdll): found on first use
//               without loading anything, so even before the library search is restricted.
//   PerProcess  found on first use, its library loaded by its full path in the system folder and
//               kept for the rest of the process.
//   PerCall     its library loaded by its full path in the system folder for one use and released
//               after it, where nothing may outlive the call.
#define VANTREL_RUNTIME_FUNCTIONS(X)                                                              \
    X(L"kernel32.dll", QueryFullProcessImageNameW, Preloaded)                                   \
    X(L"kernel32.dll", SetDefaultDllDirectories, Preloaded)                                     \
    X(L"kernel32.dll", SetDllDirectoryW, Preloaded)                                             \
    X(L"psapi.dll", GetModuleFileNameExW, PerCall)                                              \
    X(L"VDMDBG.dll", VDMEnumTaskWOWEx, PerProcess)                                              \
    X(L"shell32.dll", SHGetSettings, PerCall)                                                   \
    X(L"ole32.dll", CoInitializeEx, PerProcess)                                                 \
    X(L"ole32.dll", CoUninitialize, PerProcess)                                                 \
    X(L"ole32.dll", CoCreateInstance, PerProcess)                                               \
    X(L"dwmapi.dll", DwmGetWindowAttribute, PerProcess)                                         \
    X(L"shcore.dll", GetDpiForMonitor, PerProcess)                                              \
    X(L"ntdll.dll", RtlGetVersion, Preloaded)
// clang-format on

enum class Binding { Preloaded, PerProcess, PerCall };

// A run-time function's slot in the table. Untouched, it means "look the function up"; a test puts
// its own function in it, or nullptr for "this system lacks it", like any other entry.
template <class Fn>
class RuntimeEntry {
public:
    RuntimeEntry& operator=(Fn function)
    {
        function_ = function;
        replaced_ = true;
        return *this;
    }
    bool Replaced() const { return replaced_; }
    Fn Function() const { return function_; }

private:
    Fn function_ = nullptr;
    bool replaced_ = false;
};

struct Win32Api {
#define VANTREL_DECLARE_ENTRY(name) decltype(&::name) name;
    VANTREL_WIN32_OPERATIONS(VANTREL_DECLARE_ENTRY)
#undef VANTREL_DECLARE_ENTRY
#define VANTREL_DECLARE_RUNTIME_ENTRY(library, name, binding) RuntimeEntry<decltype(&::name)> name;
    VANTREL_RUNTIME_FUNCTIONS(VANTREL_DECLARE_RUNTIME_ENTRY)
#undef VANTREL_DECLARE_RUNTIME_ENTRY
};

// Where each run-time function lives and how it is bound, by its table entry.
template <auto Entry>
struct RuntimeFunctionTraits;
#define VANTREL_RUNTIME_TRAITS(library_, name_, binding_)      \
    template <>                                                \
    struct RuntimeFunctionTraits<&Win32Api::name_> {           \
        using Function = decltype(&::name_);                   \
        static constexpr const wchar_t* kLibrary = library_;   \
        static constexpr const char* kName = #name_;           \
        static constexpr Binding kBinding = Binding::binding_; \
    };
VANTREL_RUNTIME_FUNCTIONS(VANTREL_RUNTIME_TRAITS)
#undef VANTREL_RUNTIME_TRAITS

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

} // namespace vantrel::platform
