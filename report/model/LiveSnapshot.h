// A snapshot of the desktop as it is now: every top-level window with what the taskbar makes of
// it and why, every monitor, and when and where it was taken. Portable: Windows code fills it
// (report/win32/LiveCollection.h), the page and its tests read it anywhere.
#pragma once

#include "report/model/LoggedWindow.h"
#include "report/model/StyleBits.h"
#include "report/model/TaskbarRule.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace report {

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
    LoggedWindow record; // as a log would hold it (its lines are 0)
    bool shown = false;
    TaskbarRule rule = TaskbarRule::Hidden;
    // DWMWA_CLOAKED: 0, or DWM_CLOAKED_APP (1), DWM_CLOAKED_SHELL (2), DWM_CLOAKED_INHERITED (4);
    // none where the system cannot tell.
    std::optional<std::uint32_t> cloak;
    // On the current virtual desktop (Windows 10 and later); asked of visible windows only.
    Known onCurrentDesktop = Known::Unknown;
    bool hung = false;                  // IsHungAppWindow
    std::optional<std::size_t> monitor; // index into LiveSnapshot::monitors; none: off every one
    Rect normal;                        // where it comes back to from minimized or maximized,
                                        // in screen coordinates like the record's rectangle
    std::optional<Rect> frame;          // the frame the window manager draws, where it tells
    // For an owned window: its owner among the snapshot's windows, if it is one of them, and
    // whether that owner has a button.
    std::optional<std::size_t> owner;
    bool ownerShown = false;
};

// WS_VISIBLE, by the verdict and by its style, and not gone: the window manager shows it unless
// it is cloaked.
inline bool IsVisible(const LiveWindow& w)
{
    return w.rule != TaskbarRule::Hidden && w.rule != TaskbarRule::Gone && (w.record.style & k_WS_VISIBLE);
}

struct LiveMonitor {
    Rect bounds, work;
    bool primary = false;
    std::string device;               // UTF-8, "\\.\DISPLAY1"
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

// Not visible, or cloaked: nothing of it is on screen.
inline bool IsUnseen(const LiveWindow& w) { return !IsVisible(w) || (w.cloak && *w.cloak != 0); }

// The window's monitor, when it names one of the snapshot's.
inline const LiveMonitor* MonitorOf(const LiveSnapshot& snapshot, const LiveWindow& w)
{
    return w.monitor && *w.monitor < snapshot.monitors.size() ? &snapshot.monitors[*w.monitor] : nullptr;
}

} // namespace report
