#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/ComApartment.h"
#include "platform/RuntimeFunction.h"
#include "platform/VirtualDesktops.h"
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

TaskbarVerdict Shown(TaskbarRule rule) { return {true, rule, 0, CloakQuery::NotAsked}; }
TaskbarVerdict Denied(TaskbarRule rule) { return {false, rule, 0, CloakQuery::NotAsked}; }

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

// The mark ITaskbarList::DeleteTab leaves on a window, which switchers read to leave it out too.
constexpr wchar_t kRemovedByProgram[] = L"ITaskList_Deleted";

// Only a definite "elsewhere" counts. COM is joined for the one question, and the manager given
// back before it is left, as the temporary goes before the apartment.
bool IsOnAnotherVirtualDesktop(HWND hwnd)
{
    const vantrel::platform::ComApartment apartment;
    return apartment.Usable() && vantrel::platform::VirtualDesktops().IsOnCurrent(hwnd) == false;
}

// Rule 9. The window manager hides a cloaked window though it keeps WS_VISIBLE (on another
// virtual desktop, a suspended Store app's frame, parts of the shell), and the taskbar shows no
// button for it; but a taskbar set to show every desktop's windows shows the shell's cloak of a
// window on another desktop. Settings are read only for such a window, when the caller gave none.
TaskbarVerdict ApplyCloak(HWND hwnd, const TaskbarSettings* settings, const TaskbarVerdict& classic)
{
    DWORD cloak = 0;
    if (!GetWindowCloak(hwnd, &cloak)) return {classic.shown, classic.rule, 0, CloakQuery::Unknown};
    if (cloak == 0) return {classic.shown, classic.rule, 0, CloakQuery::Answered};
    if (cloak == DWM_CLOAKED_SHELL) {
        const bool allDesktops = settings ? settings->ShowsAllDesktops() : ReadTaskbarSettings().ShowsAllDesktops();
        if (allDesktops && IsOnAnotherVirtualDesktop(hwnd))
            return {true, TaskbarRule::OnAnotherDesktop, cloak, CloakQuery::Answered};
    }
    return {false, TaskbarRule::Cloaked, cloak, CloakQuery::Answered};
}

TaskbarVerdict Explain(HWND hwnd, const TaskbarSettings* settings)
{
    if (GhostClassAtom == 0) GhostClassAtom = LookUpGhostClassAtom();
    const TaskbarVerdict classic = ApplyClassicRules(hwnd);
    if (!classic.shown) return classic;
    if (Api().GetPropW(hwnd, kRemovedByProgram) != nullptr) return Denied(TaskbarRule::RemovedByProgram);
    // The desktop ("Program Manager") is visible, top-level and unowned, yet never a button.
    // Without a shell the answer is null, which matches no window.
    if (hwnd == Api().GetShellWindow()) return Denied(TaskbarRule::ShellDesktop);
    return ApplyCloak(hwnd, settings, classic);
}

} // namespace

// Vista and 7 do not know the attribute (E_INVALIDARG) and 2000/XP lack the function.
bool GetWindowCloak(HWND hwnd, DWORD* cloak)
{
    *cloak = 0;
    const auto getAttribute = vantrel::platform::Find<&vantrel::platform::Win32Api::DwmGetWindowAttribute>();
    if (!getAttribute) return false;
    DWORD answer = 0;
    if (FAILED(getAttribute(hwnd, DWMWA_CLOAKED, &answer, sizeof(answer)))) return false;
    *cloak = answer;
    return true;
}

TaskbarVerdict ExplainTaskbarWindow(HWND hwnd, const TaskbarSettings& settings) { return Explain(hwnd, &settings); }
TaskbarVerdict ExplainTaskbarWindow(HWND hwnd) { return Explain(hwnd, nullptr); }

// One decision for the log and for the explanation, so the two can never disagree.
bool IsTaskbarWindow(HWND hwnd, const TaskbarSettings& settings) { return Explain(hwnd, &settings).shown; }
bool IsTaskbarWindow(HWND hwnd) { return Explain(hwnd, nullptr).shown; }

} // namespace Library4::Shell
