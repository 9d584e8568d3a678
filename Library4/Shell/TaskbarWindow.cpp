#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/WindowEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

using platform::Api;

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

} // namespace

bool IsTaskbarWindow(HWND hwnd)
{
    if (GhostClassAtom == 0) GhostClassAtom = LookUpGhostClassAtom();

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

} // namespace Library4::Shell
