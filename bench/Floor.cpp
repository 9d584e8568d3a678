// The floor: the same Win32 queries per window as the tool, in the same order and with the same
// early exits and buffer sizes, but nothing formatted, converted or written. What the tool cannot
// go below on this platform. Like the tool it ends with a message box, so the benchmark times both
// the same way (process start to box); the box names how many taskbar windows were queried.
//   bench-floor.exe

#include "platform/WindowsHeaders.h"

namespace {

// The tool's own sizes, so that the same number of characters cross from the window system.
constexpr int kExeChars = 260;
constexpr int kTitleChars = 300;
constexpr int kClassChars = 300;

constexpr WORD kNoGhostClass = 0xFFFF;

struct FloorState {
    WORD ghostClassAtom = 0;
    int taskbarWindows = 0;
    // Folds in what the queries return, so that none of them is dead work.
    unsigned long checksum = 0;
};

// The taskbar test's queries, each made only when the ones before leave the answer open.
bool IsTaskbarWindow(HWND hwnd, FloorState& state)
{
    if (state.ghostClassAtom == 0) {
        WNDCLASSEXW info{};
        info.cbSize = sizeof(info);
        const ATOM atom = static_cast<ATOM>(::GetClassInfoExW(nullptr, L"Ghost", &info));
        state.ghostClassAtom = atom != 0 ? atom : kNoGhostClass;
    }
    const auto style = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
    if ((style & WS_VISIBLE) == 0) return false;
    if (::GetAncestor(hwnd, GA_PARENT) != ::GetDesktopWindow()) return false;
    const auto exStyle = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
    if ((exStyle & WS_EX_APPWINDOW) != 0) return true;
    if ((exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) != 0) return false;
    if (::GetWindow(hwnd, GW_OWNER) != nullptr) return false;
    return static_cast<WORD>(::GetClassLongW(hwnd, GCW_ATOM)) != state.ghostClassAtom;
}

// The image path as the tool finds it on this system: open with limited rights, ask for the full
// name, close.
void QueryImagePath(HWND hwnd, wchar_t* out)
{
    out[0] = L'\0';
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId == 0) return;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return;
    DWORD size = kExeChars;
    ::QueryFullProcessImageNameW(process, 0, out, &size);
    ::CloseHandle(process);
}

BOOL CALLBACK QueryWindow(HWND hwnd, LPARAM lParam)
{
    auto& state = *reinterpret_cast<FloorState*>(lParam);
    if (!IsTaskbarWindow(hwnd, state)) return TRUE;

    wchar_t title[kTitleChars] = {};
    wchar_t className[kClassChars] = {};
    wchar_t exe[kExeChars] = {};
    ::GetWindowTextW(hwnd, title, kTitleChars);
    ::GetClassNameW(hwnd, className, kClassChars);
    QueryImagePath(hwnd, exe);

    RECT window{};
    RECT client{};
    ::GetWindowRect(hwnd, &window);
    ::GetClientRect(hwnd, &client);
    const BOOL minimized = ::IsIconic(hwnd);
    const BOOL maximized = ::IsZoomed(hwnd);
    WINDOWINFO info{};
    info.cbSize = sizeof(info);
    ::GetWindowInfo(hwnd, &info);
    const HWND getParent = ::GetParent(hwnd);
    const HWND owner = ::GetWindow(hwnd, GW_OWNER);
    const HWND parent = ::GetAncestor(hwnd, GA_PARENT);
    const auto exStyle = static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_EXSTYLE));
    const auto style = static_cast<unsigned long>(::GetWindowLongW(hwnd, GWL_STYLE));

    ++state.taskbarWindows;
    state.checksum += static_cast<unsigned long>(title[0] + className[0] + exe[0]) + info.atomWindowType + style +
                      exStyle + static_cast<unsigned long>(window.right - window.left + client.bottom) +
                      static_cast<unsigned long>(minimized + maximized) +
                      static_cast<unsigned long>(getParent == owner) + static_cast<unsigned long>(parent != nullptr);
    return TRUE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    FloorState state;
    ::EnumWindows(&QueryWindow, reinterpret_cast<LPARAM>(&state));

    wchar_t message[128];
    ::wsprintfW(message, L"%d taskbar windows queried (checksum %lu).", state.taskbarWindows, state.checksum);
    ::MessageBoxW(nullptr, message, L"Vantrel floor", MB_ICONINFORMATION | MB_OK);
    return 0;
}
