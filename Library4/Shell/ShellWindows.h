// The shell utility module's window services: the taskbar test and the heuristics that choose a
// representative window of a process, on any thread. Every function here only asks the window
// system; none changes a window. A window that is null or has gone by the time it is asked about
// reads as having no style, no owner, no title, an empty client area and no process (0).
#pragma once

#if !defined(UNICODE) || !defined(_UNICODE)
#error "The Library4 Shell headers need UNICODE and _UNICODE defined (the Library4Shell package defines both)"
#endif

#include <windows.h>

#include <cstddef>
#include <exception>
#include <optional>
#include <vector>

namespace Library4::Shell {

// Atom of the system's "Ghost" class (the stand-in for a hung application's window): 0 until the
// first ExplainTaskbarWindow or IsTaskbarWindow call, which looks it up (GetClassInfoExW) and
// stores the atom, or 0xFFFF when the class is not registered.
extern WORD GhostClassAtom;

// The rule that gave a window its taskbar button or denied it one: AppWindow, Unowned and
// OnAnotherDesktop mean shown, the rest not shown. The names and their values are part of the
// contract; the rules' order is the list below ExplainTaskbarWindow.
enum class TaskbarRule {
    AppWindow,        // WS_EX_APPWINDOW, with rules 7 to 9 below passed
    Unowned,          // every rule below passed
    Gone,             // a null window, or one destroyed before the decision read its style or parent
    Hidden,           // rule 1
    NotTopLevel,      // rule 2
    ToolWindow,       // rule 4, WS_EX_TOOLWINDOW (also when WS_EX_NOACTIVATE is set)
    NoActivate,       // rule 4, WS_EX_NOACTIVATE
    Owned,            // rule 5
    Ghost,            // rule 6
    ShellDesktop,     // rule 8
    Cloaked,          // rule 9
    RemovedByProgram, // rule 7
    OnAnotherDesktop, // rule 9's exception: shown, cloaked by the shell on another virtual desktop
};

// Whether the decision asked the window manager for the window's cloak (rule 9), and how that went.
enum class CloakQuery {
    NotAsked, // an earlier rule decided
    Unknown,  // asked, and the system could not tell (see GetWindowCloak): read as not cloaked
    Answered, // asked and answered: TaskbarVerdict::cloak is the answer
};

struct TaskbarVerdict {
    bool shown = false;
    TaskbarRule rule = TaskbarRule::Gone;
    // What DwmGetWindowAttribute(DWMWA_CLOAKED) gave, as is, when cloakQuery is Answered (0 for a
    // window that is not cloaked): the bits DWM_CLOAKED_APP (1, its application cloaked it),
    // DWM_CLOAKED_SHELL (2, the shell did, as for a window on another virtual desktop) and
    // DWM_CLOAKED_INHERITED (4, from its owner), one or several. Nonzero only when rule is Cloaked
    // or OnAnotherDesktop; otherwise 0.
    DWORD cloak = 0;
    CloakQuery cloakQuery = CloakQuery::NotAsked;
};

// The user's taskbar settings that the decision and its explanation depend on, each as stored:
// REG_DWORD values that Explorer writes from its Settings pages, below HKEY_CURRENT_USER in
//   Software\Microsoft\Windows\CurrentVersion\Explorer\Advanced .
// No documentation describes them; none where a value is missing, or is not a REG_DWORD of four
// bytes.
struct TaskbarSettings {
    // "Show the windows that are open on": 0 all desktops; 1, or none, only the desktop in use.
    std::optional<DWORD> VirtualDesktopTaskbarFilter;
    // "Show my taskbar on all displays": 0 no, only the main display has one; 1 yes.
    std::optional<DWORD> MMTaskbarEnabled;
    // Which taskbars show a window's button, with several: 0 all of them; 1 the main taskbar and
    // the one where the window is open; 2 only the one where the window is open.
    std::optional<DWORD> MMTaskbarMode;

    // Whether the taskbar shows the windows of every virtual desktop (VirtualDesktopTaskbarFilter 0).
    bool ShowsAllDesktops() const { return VirtualDesktopTaskbarFilter == DWORD{0}; }
};

// Reads the settings above, with one opening of their key, from HKEY_CURRENT_USER as this thread
// sees it. A missing key reads as every value missing. Throws nothing; any thread.
TaskbarSettings ReadTaskbarSettings();

// Whether the taskbar shows a window as a button, and the rule that decided. The rules, in this
// order; each is asked only when the earlier ones have passed, and the first that fails decides:
//   1. WS_VISIBLE is in its style (GetWindowLongW GWL_STYLE); else Hidden;
//   2. it is top-level: GetAncestor(GA_PARENT) is the desktop window; else NotTopLevel;
//   3. WS_EX_APPWINDOW in its extended style passes rules 4 to 6 (and makes a shown verdict
//      AppWindow rather than Unowned);
//   4. WS_EX_TOOLWINDOW fails it as ToolWindow, else WS_EX_NOACTIVATE as NoActivate;
//   5. an owner (GetWindow GW_OWNER) fails it as Owned;
//   6. the "Ghost" class (GetClassLongW GCW_ATOM is GhostClassAtom) fails it as Ghost;
//   7. a window whose program removed its button (ITaskbarList::DeleteTab, which marks the window
//      with the property "ITaskList_Deleted": GetPropW gives nonzero) fails it as RemovedByProgram,
//      whatever its styles. Explorer forgets the removal when it restarts, and shows the button
//      again, though the property stays;
//   8. the shell's desktop window (GetShellWindow) fails it as ShellDesktop;
//   9. a window the window manager cloaks fails it as Cloaked (GetWindowCloak). One exception:
//      with settings.ShowsAllDesktops(), a window whose only cloak is DWM_CLOAKED_SHELL and that the
//      virtual desktop manager puts on another desktop (IVirtualDesktopManager::
//      IsWindowOnCurrentVirtualDesktop gives FALSE) is shown, as OnAnotherDesktop. The manager is
//      asked in a single-threaded apartment of this thread's for the one call (an apartment the
//      thread already has serves as it is); without ole32 or the manager (before Windows 10), or
//      where it fails, the window stays Cloaked.
// A window that is null or destroyed reads as having no style and no parent. When rule 1 reads no
// style at all, or rule 2 fails, IsWindow tells Gone from Hidden and from NotTopLevel; no verdict
// that is shown costs that call. A window destroyed after those reads is judged by what the later
// reads gave (no extended style, no owner, class atom 0, no property, not cloaked), which can be
// shown. Throws nothing. Any thread; the first call writes GhostClassAtom unsynchronised, so make
// it on one thread before others call.
//
// What the decision cannot know from outside: the taskbar decides when a window is shown or hidden,
// so a style changed on a visible window changes its button only once the window is hidden and
// shown again ("Managing Taskbar Buttons"), and until then the verdict can disagree with the
// taskbar; a button that ITaskbarList::AddTab added leaves no trace another process can read; and
// the Windows 11 taskbar's own list of buttons, reachable only through UI Automation, is not read.
TaskbarVerdict ExplainTaskbarWindow(HWND hwnd, const TaskbarSettings& settings);
// The same, with the settings read by ReadTaskbarSettings only when rule 9 needs them (a window
// cloaked by the shell alone).
TaskbarVerdict ExplainTaskbarWindow(HWND hwnd);

// ExplainTaskbarWindow(hwnd[, settings]).shown, by the same calls: true for a window that the
// taskbar shows as a button; false for a null or vanished window. Throws nothing; threads as above.
bool IsTaskbarWindow(HWND hwnd, const TaskbarSettings& settings);
bool IsTaskbarWindow(HWND hwnd);

// DwmGetWindowAttribute(DWMWA_CLOAKED), found at run time in dwmapi.dll from the system folder and
// bound once per process: true with the answer in cloak (0: not cloaked); false, and cloak 0, on a
// system without the function (2000, XP), one that does not know the attribute (Vista, 7: the
// window manager cloaks windows from Windows 8 on), or when the query fails, as for a vanished
// window. Throws nothing; any thread.
bool GetWindowCloak(HWND hwnd, DWORD* cloak);

// The client area (GetClientRect) is at least one pixel wide and one pixel high. A client
// rectangle that can't be read, as for a null or vanished window, counts as empty.
bool HasClientArea(HWND hwnd);

// A top-level window (as rule 2 above) that is visible (IsWindowVisible) and HasClientArea, owned
// or not. False for a null or vanished window.
bool IsVisibleTaskWindow(HWND hwnd);

// A top-level, visible window without an owner whose client area is empty (not HasClientArea).
// False for a null or vanished window.
bool IsUnownedTaskWindow(HWND hwnd);

// Window handles in the order they were appended; owns no window.
class WindowList {
public:
    using const_iterator = std::vector<HWND>::const_iterator;

    // Throws std::bad_alloc when the list can't grow.
    void Append(HWND hwnd) { windows_.push_back(hwnd); }

    std::size_t Size() const noexcept { return windows_.size(); }
    bool Empty() const noexcept { return windows_.empty(); }
    // index < Size().
    HWND operator[](std::size_t index) const noexcept { return windows_[index]; }

    const_iterator begin() const noexcept { return windows_.begin(); }
    const_iterator end() const noexcept { return windows_.end(); }

private:
    std::vector<HWND> windows_;
};

// What CollectTaskbarWindowsProc and CollectVisibleTaskWindowsProc receive, by address.
struct ProcessWindowQuery {
    WindowList List;
    DWORD ProcessId = 0;
    // An exception caught inside the callback (std::bad_alloc from List): nothing may unwind
    // through EnumWindows, so the callback stores it here and stops the enumeration. The caller
    // must rethrow it (std::rethrow_exception) once EnumWindows has returned; List then holds only
    // part of the windows.
    std::exception_ptr Failure;
};

// What CollectVisibleWindowsProc receives, by address.
struct OwnedPopupQuery {
    DWORD ProcessId = 0;
    WindowList List;
    // As in ProcessWindowQuery: the caller rethrows it after EnumWindows.
    std::exception_ptr Failure;
};

// EnumWindows callbacks: each appends, in enumeration order, the windows of the query's process
// (GetWindowThreadProcessId is ProcessId) that pass its test and returns TRUE, or records an
// exception in the query's Failure and returns FALSE. Nothing throws out of them.
// lParam is the address of a ProcessWindowQuery; collects windows passing IsTaskbarWindow.
BOOL CALLBACK CollectTaskbarWindowsProc(HWND hwnd, LPARAM lParam);
// lParam is the address of a ProcessWindowQuery; collects windows passing IsVisibleTaskWindow.
BOOL CALLBACK CollectVisibleTaskWindowsProc(HWND hwnd, LPARAM lParam);
// lParam is the address of an OwnedPopupQuery; collects every visible (IsWindowVisible) window.
BOOL CALLBACK CollectVisibleWindowsProc(HWND hwnd, LPARAM lParam);

// Titles below are compared as their first 999 characters (GetWindowTextW); a window without a
// title reads as the empty title.

// The taskbar window that stands for hwnd's process, among that process's taskbar windows
// (IsTaskbarWindow) in enumeration order:
//   none: hwnd itself, also for a null or vanished window;
//   one: that one;
//   several, all of them unowned with an empty client area (IsUnownedTaskWindow): hwnd's owner
//     when it is one of them, else hwnd;
//   several otherwise: the first of them, other than hwnd, titled exactly (case-sensitive) like
//     the window that has the keyboard focus in hwnd's thread (GetGUIThreadInfo); else hwnd, as
//     when there is no focus window or its title is empty.
// Throws std::bad_alloc, rethrown after the enumeration.
HWND FindMainWindow(HWND hwnd);

// hwnd when IsVisibleTaskWindow(hwnd); else the best window of hwnd's process that passes
// IsVisibleTaskWindow: the only one; among several, ranked by, in turn, owned by hwnd, unowned,
// its title containing hwnd's title (an empty title is in every title) and the larger client area
// (right times bottom), the first in enumeration order of those ranked highest; null when the
// process has none, as for a null or vanished hwnd. Throws std::bad_alloc, rethrown after the
// enumeration.
HWND FindBestTopLevelWindow(HWND hwnd);

// A visible top-level window of hwnd's process, other than hwnd, that hwnd owns directly
// (GW_OWNER): one without WS_EX_DLGMODALFRAME if there is any, and of those the lowest handle
// value; else null, as for a null or vanished hwnd. Throws std::bad_alloc, rethrown after the
// enumeration.
HWND FindOwnedPopup(HWND hwnd);

// The top of the foreground window's owner chain (GW_OWNER, followed until a window has no owner),
// or null without a foreground window. Should the chain ever come back to a window already passed,
// the last window before the repeat. Allocates nothing and throws nothing.
HWND GetForegroundRootOwner();

} // namespace Library4::Shell
