// The floor: the same Win32 queries per window as the tool, in the same order and with the same
// early exits and buffer sizes, but nothing formatted, converted or written. What the tool cannot
// go below on this platform. Like the tool it ends with a message box, so the benchmark times both
// the same way (process start to box); the box names how many taskbar windows were queried.
// With --profile the box also says where the time went, query by query: what a profile of the
// tool itself would show, since everything else the tool does is small beside these calls.
//   bench-floor.exe [--profile]

#include "app/RecordWriter.h"
#include "platform/WindowsHeaders.h"

#include <cwchar>

using app::WindowRecord;

namespace {

// The tool's own sizes, so that the same number of characters cross from the window system.
constexpr int kExeChars = WindowRecord::kExeChars;
constexpr int kTitleChars = WindowRecord::kTitleChars;
constexpr int kClassChars = WindowRecord::kClassChars;

constexpr WORD kNoGhostClass = 0xFFFF;

enum Query {
    kStyles,
    kAncestor,
    kOwner,
    kClassAtom,
    kShellWindow,
    kCloaked,
    kTitle,
    kClassName,
    kThreadProcessId,
    kOpenProcess,
    kImageName,
    kCloseHandle,
    kRectangles,
    kIconicZoomed,
    kWindowInfo,
    kGetParent,
    kQueryCount
};

const wchar_t* const kQueryNames[kQueryCount] = {L"GetWindowLongW",
                                                 L"GetAncestor+GetDesktopWindow",
                                                 L"GetWindow(GW_OWNER)",
                                                 L"GetClassLongW",
                                                 L"GetShellWindow",
                                                 L"DwmGetWindowAttribute",
                                                 L"GetWindowTextW",
                                                 L"GetClassNameW",
                                                 L"GetWindowThreadProcessId",
                                                 L"OpenProcess",
                                                 L"QueryFullProcessImageNameW",
                                                 L"CloseHandle",
                                                 L"GetWindowRect+GetClientRect",
                                                 L"IsIconic+IsZoomed",
                                                 L"GetWindowInfo",
                                                 L"GetParent"};

struct QueryCost {
    long calls = 0;
    LONGLONG ticks = 0;
};

using DwmGetWindowAttributeFunction = decltype(&::DwmGetWindowAttribute);

struct FloorState {
    WORD ghostClassAtom = 0;
    // Found once, as the tool finds it; null where the system lacks it.
    DwmGetWindowAttributeFunction getAttribute = nullptr;
    int windows = 0;
    int taskbarWindows = 0;
    // Folds in what the queries return, so that none of them is dead work.
    unsigned long checksum = 0;
    bool profile = false;
    QueryCost costs[kQueryCount];
};

// Runs one query; when profiling, adds its time to the query's account.
template <class Call>
auto Timed(FloorState& state, Query query, Call call) -> decltype(call())
{
    if (!state.profile) return call();
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceCounter(&start);
    const auto result = call();
    ::QueryPerformanceCounter(&end);
    ++state.costs[query].calls;
    state.costs[query].ticks += end.QuadPart - start.QuadPart;
    return result;
}

// The desktop window and cloaking, asked of every window that passed the style rules.
bool PassesShellRules(HWND hwnd, FloorState& state)
{
    if (Timed(state, kShellWindow, [&] { return ::GetShellWindow(); }) == hwnd) return false;
    if (state.getAttribute == nullptr) return true;
    DWORD cloaked = 0;
    const HRESULT result =
        Timed(state, kCloaked, [&] { return state.getAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof(cloaked)); });
    return FAILED(result) || cloaked == 0;
}

// The taskbar test's queries, each made only when the ones before leave the answer open.
bool IsTaskbarWindow(HWND hwnd, FloorState& state)
{
    if (state.ghostClassAtom == 0) {
        WNDCLASSEXW info{};
        info.cbSize = sizeof(info);
        const ATOM atom = static_cast<ATOM>(::GetClassInfoExW(nullptr, L"Ghost", &info));
        state.ghostClassAtom = atom != 0 ? atom : kNoGhostClass;
    }
    const auto style = static_cast<DWORD>(Timed(state, kStyles, [&] { return ::GetWindowLongW(hwnd, GWL_STYLE); }));
    if ((style & WS_VISIBLE) == 0) return false;
    if (Timed(state, kAncestor, [&] { return ::GetAncestor(hwnd, GA_PARENT) != ::GetDesktopWindow(); })) return false;
    const auto exStyle = static_cast<DWORD>(Timed(state, kStyles, [&] { return ::GetWindowLongW(hwnd, GWL_EXSTYLE); }));
    if ((exStyle & WS_EX_APPWINDOW) != 0) return true;
    if ((exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) != 0) return false;
    if (Timed(state, kOwner, [&] { return ::GetWindow(hwnd, GW_OWNER); }) != nullptr) return false;
    if (static_cast<WORD>(Timed(state, kClassAtom, [&] { return ::GetClassLongW(hwnd, GCW_ATOM); })) ==
        state.ghostClassAtom)
        return false;
    return PassesShellRules(hwnd, state);
}

// The image path as the tool finds it on this system: open with limited rights, ask for the full
// name, close.
void QueryImagePath(HWND hwnd, wchar_t* out, FloorState& state)
{
    out[0] = L'\0';
    DWORD processId = 0;
    Timed(state, kThreadProcessId, [&] { return ::GetWindowThreadProcessId(hwnd, &processId); });
    if (processId == 0) return;
    const HANDLE process =
        Timed(state, kOpenProcess, [&] { return ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId); });
    if (process == nullptr) return;
    DWORD size = kExeChars;
    Timed(state, kImageName, [&] { return ::QueryFullProcessImageNameW(process, 0, out, &size); });
    Timed(state, kCloseHandle, [&] { return ::CloseHandle(process); });
}

BOOL CALLBACK QueryWindow(HWND hwnd, LPARAM lParam)
{
    auto& state = *reinterpret_cast<FloorState*>(lParam);
    ++state.windows;
    if (!IsTaskbarWindow(hwnd, state)) return TRUE;

    wchar_t title[kTitleChars] = {};
    wchar_t className[kClassChars] = {};
    wchar_t exe[kExeChars] = {};
    Timed(state, kTitle, [&] { return ::GetWindowTextW(hwnd, title, kTitleChars); });
    Timed(state, kClassName, [&] { return ::GetClassNameW(hwnd, className, kClassChars); });
    QueryImagePath(hwnd, exe, state);

    RECT window{};
    RECT client{};
    Timed(state, kRectangles, [&] { return ::GetWindowRect(hwnd, &window) + ::GetClientRect(hwnd, &client); });
    const BOOL minimized = Timed(state, kIconicZoomed, [&] { return ::IsIconic(hwnd); });
    const BOOL maximized = Timed(state, kIconicZoomed, [&] { return ::IsZoomed(hwnd); });
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    Timed(state, kWindowInfo, [&] { return ::GetWindowInfo(hwnd, &info); });
    const HWND getParent = Timed(state, kGetParent, [&] { return ::GetParent(hwnd); });
    const HWND owner = Timed(state, kOwner, [&] { return ::GetWindow(hwnd, GW_OWNER); });
    const HWND parent = Timed(state, kAncestor, [&] { return ::GetAncestor(hwnd, GA_PARENT); });
    const auto exStyle =
        static_cast<unsigned long>(Timed(state, kStyles, [&] { return ::GetWindowLongW(hwnd, GWL_EXSTYLE); }));
    const auto style =
        static_cast<unsigned long>(Timed(state, kStyles, [&] { return ::GetWindowLongW(hwnd, GWL_STYLE); }));

    ++state.taskbarWindows;
    state.checksum += static_cast<unsigned long>(title[0] + className[0] + exe[0]) + info.atomWindowType + style +
                      exStyle + static_cast<unsigned long>(window.right - window.left + client.bottom) +
                      static_cast<unsigned long>(minimized + maximized) +
                      static_cast<unsigned long>(getParent == owner) + static_cast<unsigned long>(parent != nullptr);
    return TRUE;
}

// Where the time went, slowest query first; one line per query.
void AppendProfile(const FloorState& state, wchar_t* message, size_t capacity)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    bool done[kQueryCount] = {};
    for (int line = 0; line < kQueryCount; ++line) {
        int slowest = -1;
        for (int q = 0; q < kQueryCount; ++q) {
            if (!done[q] && (slowest < 0 || state.costs[q].ticks > state.costs[slowest].ticks)) slowest = q;
        }
        done[slowest] = true;
        const QueryCost& cost = state.costs[slowest];
        if (cost.calls == 0) continue;
        const double ms = static_cast<double>(cost.ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
        const size_t used = std::wcslen(message);
        std::swprintf(message + used, capacity - used, L"\n%ls: %ld calls, %.1f ms, %.1f us per call",
                      kQueryNames[slowest], cost.calls, ms, ms * 1000.0 / static_cast<double>(cost.calls));
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR commandLine, int /*show*/)
{
    FloorState state;
    state.profile = commandLine != nullptr && std::wcsstr(commandLine, L"--profile") != nullptr;
    wchar_t dwmapi[MAX_PATH];
    const UINT folder = ::GetSystemDirectoryW(dwmapi, MAX_PATH - 12);
    if (folder > 0 && folder < MAX_PATH - 12) {
        std::wcscat(dwmapi, L"\\dwmapi.dll");
        if (const HMODULE module = ::LoadLibraryW(dwmapi))
            state.getAttribute = reinterpret_cast<DwmGetWindowAttributeFunction>(
                reinterpret_cast<void*>(::GetProcAddress(module, "DwmGetWindowAttribute")));
    }
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceCounter(&start);
    ::EnumWindows(&QueryWindow, reinterpret_cast<LPARAM>(&state));
    ::QueryPerformanceCounter(&end);

    wchar_t message[4096];
    std::swprintf(message, 4096, L"%d taskbar windows queried of %d top-level windows (checksum %lu).",
                  state.taskbarWindows, state.windows, state.checksum);
    if (state.profile) {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        const size_t used = std::wcslen(message);
        std::swprintf(message + used, 4096 - used, L"\nEnumWindows in all: %.1f ms",
                      static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                          static_cast<double>(frequency.QuadPart));
        AppendProfile(state, message, 4096);
    }
    ::MessageBoxW(nullptr, message, L"Vantrel floor", MB_ICONINFORMATION | MB_OK);
    return 0;
}
