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

TaskbarVerdict Shown(TaskbarRule rule) { return {true, rule, 0}; }
TaskbarVerdict Denied(TaskbarRule rule) { return {false, rule, 0}; }

// The rules the taskbar has always decided by. A vanished window reads as having no style and no
// parent, as a live one may too; only on those paths, which never end in a button, is the window
// system asked whether the window is still there, so the taskbar windows cost no extra call.
TaskbarVerdict ApplyClassicRules(HWND hwnd)
{
    const auto style = static_cast<DWORD>(Api().GetWindowLongW(hwnd, GWL_STYLE));
    if ((style & WS_VISIBLE) == 0) {
        // A live window nearly always has some style bit, so most hidden windows are not asked.
        const bool gone = style == 0 && !Api().IsWindow(hwnd);
        return Denied(gone ? TaskbarRule::Gone : TaskbarRule::Hidden);
    }

    if (!detail::IsTopLevel(hwnd)) return Denied(Api().IsWindow(hwnd) ? TaskbarRule::NotTopLevel : TaskbarRule::Gone);

    const auto exStyle = static_cast<DWORD>(Api().GetWindowLongW(hwnd, GWL_EXSTYLE));
    if ((exStyle & WS_EX_APPWINDOW) != 0) return Shown(TaskbarRule::AppWindow);
    if ((exStyle & WS_EX_TOOLWINDOW) != 0) return Denied(TaskbarRule::ToolWindow);
    if ((exStyle & WS_EX_NOACTIVATE) != 0) return Denied(TaskbarRule::NoActivate);

    if (detail::OwnerOf(hwnd) != nullptr) return Denied(TaskbarRule::Owned);

    const auto atom = static_cast<WORD>(Api().GetClassLongW(hwnd, GCW_ATOM));
    return atom == GhostClassAtom ? Denied(TaskbarRule::Ghost) : Shown(TaskbarRule::Unowned);
}

// From Windows 8 on, the window manager can hide a window that keeps WS_VISIBLE (on another
// virtual desktop, a suspended Store app's frame, parts of the shell), and the taskbar shows no
// button for it. Vista and 7 do not know the attribute (E_INVALIDARG) and 2000/XP lack the
// function: neither cloaks anything, so any failure reads as 0, not cloaked.
DWORD CloakOf(HWND hwnd)
{
    const auto getAttribute = vantrel::platform::Find<&vantrel::platform::Win32Api::DwmGetWindowAttribute>();
    if (!getAttribute) return 0;
    DWORD cloaked = 0;
    const HRESULT result = getAttribute(hwnd, DWMWA_CLOAKED, &cloaked, sizeof(cloaked));
    return SUCCEEDED(result) ? cloaked : 0;
}

} // namespace

TaskbarVerdict ExplainTaskbarWindow(HWND hwnd)
{
    if (GhostClassAtom == 0) GhostClassAtom = LookUpGhostClassAtom();
    const TaskbarVerdict classic = ApplyClassicRules(hwnd);
    if (!classic.shown) return classic;
    // The desktop ("Program Manager") is visible, top-level and unowned, yet never a button.
    // Without a shell the answer is null, which matches no window.
    if (hwnd == Api().GetShellWindow()) return Denied(TaskbarRule::ShellDesktop);
    const DWORD cloak = CloakOf(hwnd);
    if (cloak != 0) return {false, TaskbarRule::Cloaked, cloak};
    return classic;
}

// One decision for the log and for the explanation, so the two can never disagree.
bool IsTaskbarWindow(HWND hwnd) { return ExplainTaskbarWindow(hwnd).shown; }

} // namespace Library4::Shell
