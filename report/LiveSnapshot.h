// A snapshot of the desktop as it is now: every top-level window with what the taskbar makes of
// it and why, every monitor, and when and where it was taken. Portable: Windows code fills it
// (report/LiveCollection.h), the page and its tests read it anywhere.
#pragma once

#include "report/WindowRecord.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

// The rule that gave a window its taskbar button or denied it one, as the taskbar test decides, in
// the order the test asks them (but for the shown ones, first).
enum class TaskbarRule {
    AppWindow,        // shown: WS_EX_APPWINDOW
    Unowned,          // shown: unowned, and neither a tool window nor no-activate
    OnAnotherDesktop, // shown: cloaked by the shell on another desktop, with every desktop's shown
    Gone,             // not shown: the window was destroyed while the snapshot was taken
    Hidden,           // not shown: no WS_VISIBLE
    NotTopLevel,      // not shown: its parent is not the desktop
    ToolWindow,       // not shown: WS_EX_TOOLWINDOW
    NoActivate,       // not shown: WS_EX_NOACTIVATE
    Owned,            // not shown: owned, without WS_EX_APPWINDOW
    Ghost,            // not shown: the "Ghost" stand-in for a hung window
    RemovedByProgram, // not shown: its program removed the button (ITaskbarList::DeleteTab)
    ShellDesktop,     // not shown: the shell's desktop window
    Cloaked,          // not shown: the window manager cloaks it (see LiveWindow::cloak)
};
constexpr std::size_t kTaskbarRules = static_cast<std::size_t>(TaskbarRule::Cloaked) + 1;

// The user's taskbar settings, each REG_DWORD value of Explorer's "Advanced" key as stored; none
// where it is missing. Undocumented: see Library4::Shell::TaskbarSettings.
struct TaskbarSettings {
    std::optional<std::uint32_t> virtualDesktopFilter; // VirtualDesktopTaskbarFilter: 0 every desktop
    std::optional<std::uint32_t> multiMonitorEnabled;  // MMTaskbarEnabled: 0 a taskbar on the main one only
    std::optional<std::uint32_t> multiMonitorMode;     // MMTaskbarMode: 0 every, 1 main and own, 2 own
};

// An answer the system may not be able to give: a function it lacks, or a query that failed.
enum class Known { Unknown, No, Yes };

struct LiveWindow {
    WindowRecord record; // as a log would hold it (its lines are 0)
    bool shown = false;
    TaskbarRule rule = TaskbarRule::Hidden;
    // DWMWA_CLOAKED: 0, or DWM_CLOAKED_APP (1), DWM_CLOAKED_SHELL (2), DWM_CLOAKED_INHERITED (4);
    // none where the system cannot tell.
    std::optional<std::uint32_t> cloak;
    // On the current virtual desktop (Windows 10 and later); asked of visible windows only.
    Known onCurrentDesktop = Known::Unknown;
    bool hung = false;                       // IsHungAppWindow
    std::optional<std::size_t> monitor;      // index into LiveSnapshot::monitors; none: off every one
    Rect normal;                             // where it comes back to from minimized or maximized,
                                             // in screen coordinates like the record's rectangle
    std::optional<Rect> frame;               // the frame the window manager draws, where it tells
    // For an owned window: its owner among the snapshot's windows, if it is one of them, and
    // whether that owner has a button.
    std::optional<std::size_t> owner;
    bool ownerShown = false;
};

// WS_VISIBLE, by the verdict and by its style, and not gone: the window manager shows it unless
// it is cloaked.
bool IsVisible(const LiveWindow& window);

struct LiveMonitor {
    Rect bounds, work;
    bool primary = false;
    std::string device;           // UTF-8, "\\.\DISPLAY1"
    std::optional<std::uint32_t> dpi; // effective DPI, where the system tells
};

struct LiveSnapshot {
    std::vector<LiveWindow> windows; // in z-order, topmost first, hidden ones included
    std::vector<LiveMonitor> monitors;
    Rect virtualScreen;
    std::string windowsVersion; // UTF-8, "Windows 10.0.22631"
    std::int64_t taken = 0;     // seconds since 1970, UTC
    TaskbarSettings taskbar;    // read once, for every window's verdict
};

} // namespace report
