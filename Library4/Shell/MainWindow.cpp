#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/Win32Api.h"
#include "platform/WindowTitle.h"

namespace Library4::Shell {

using vantrel::platform::Api;

namespace {

static_assert(sizeof(void*) != 4 || sizeof(GUITHREADINFO) == 48, "GUITHREADINFO of the 32-bit build");

// Every taskbar window of the process is a bare, unowned frame: hwnd's owner speaks for it when
// it is one of them.
HWND ChooseByOwner(HWND hwnd, const WindowList& windows)
{
    const HWND owner = detail::OwnerOf(hwnd);
    if (owner == nullptr) return hwnd;
    for (HWND candidate : windows) {
        if (candidate == owner) return candidate;
    }
    return hwnd;
}

// The other taskbar window titled exactly like the window that has the keyboard focus in hwnd's
// thread, the first one in enumeration order; else hwnd.
HWND ChooseByFocusTitle(HWND hwnd, const WindowList& windows)
{
    const DWORD thread = Api().GetWindowThreadProcessId(hwnd, nullptr);
    if (thread == 0) return hwnd;

    // Preset, so that a failed query reads as no focus window.
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    Api().GetGUIThreadInfo(thread, &info);
    if (info.hwndFocus == nullptr) return hwnd;

    wchar_t focusTitle[detail::kTitleChars] = {};
    vantrel::platform::ReadWindowTitle(info.hwndFocus, focusTitle);
    if (focusTitle[0] == L'\0') return hwnd;

    for (HWND candidate : windows) {
        if (candidate == hwnd) continue;
        wchar_t title[detail::kTitleChars] = {};
        vantrel::platform::ReadWindowTitle(candidate, title);
        if (Api().lstrcmpW(title, focusTitle) == 0) return candidate;
    }
    return hwnd;
}

} // namespace

HWND FindMainWindow(HWND hwnd)
{
    const WindowList windows =
        detail::CollectWindows<ProcessWindowQuery>(&CollectTaskbarWindowsProc, detail::ProcessIdOfWindow(hwnd));

    if (windows.Empty()) return hwnd;
    if (windows.Size() == 1) return windows[0];

    std::size_t unownedEmpty = 0;
    for (HWND candidate : windows) {
        if (IsUnownedTaskWindow(candidate)) ++unownedEmpty;
    }
    return unownedEmpty == windows.Size() ? ChooseByOwner(hwnd, windows) : ChooseByFocusTitle(hwnd, windows);
}

} // namespace Library4::Shell
