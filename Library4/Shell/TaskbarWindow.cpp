#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/RuntimeFunction.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

using vantrel::platform::Api;

WORD GhostClassAtom = 0;

namespace {

constexpr WORD kNoGhostClass = 0xFFFF;

WORD LookUpGhostClassAtom()
{
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    const ATOM atom = static_cast<ATOM>(Api().GetClassInfoExW(nullptr, L"Ghost", &info));
    return atom != 0 ? atom : kNoGhostClass;
}

// The rules the taskbar has always decided by.
bool PassesClassicRules(HWND hwnd)
{
    const auto style = static_cast<DWORD>(Api().GetWindowLongW(hwnd, GWL_STYLE));
    if ((style & WS_VISIBLE) == 0) return false;

    if (!detail::IsTopLevel(hwnd)) return false;

    const auto exStyle = static_cast<DWORD>(Api().GetWindowLongW(hwnd, GWL_EXSTYLE));
    if ((exStyle & WS_EX_APPWINDOW) != 0) return true;
    if ((exStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) != 0) return false;

    if (detail::OwnerOf(hwnd) != nullptr) return false;

    const auto atom = static_cast<WORD>(Api().GetClassLongW(hwnd, GCW_ATOM));
    return atom != GhostClassAtom;
}

// From Windows 8 on, the window manager can hide a window that keeps WS_VISIBLE (on another
// virtual desktop, a suspended Store app's frame, parts of the shell), and the taskbar shows no
// button for it. Vista and 7 do not know the attribute (E_INVALIDARG) and 2000/XP lack the
// function: neither cloaks anything, so any failure counts as shown.
bool IsCloaked(HWND hwnd)
{
    const auto getAttribute = vantrel::platform::Find<&vantrel::platform::Win32Api::DwmGetWindowAttribute>();
    if (!getAttribute) return false;
    DWORD cloaked = 0;
    const HRESULT result = getAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof(cloaked));
    return SUCCEEDED(result) && cloaked != 0;
}

} // namespace

bool IsTaskbarWindow(HWND hwnd)
{
    if (GhostClassAtom == 0) GhostClassAtom = LookUpGhostClassAtom();
    if (!PassesClassicRules(hwnd)) return false;
    // The desktop ("Program Manager") is visible, top-level and unowned, yet never a button.
    // Without a shell the answer is null, which matches no window.
    if (hwnd == Api().GetShellWindow()) return false;
    return !IsCloaked(hwnd);
}

} // namespace Library4::Shell
