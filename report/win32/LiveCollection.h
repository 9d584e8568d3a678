// The live snapshot taken on Windows: this desktop as the window system, the taskbar test and the
// window manager describe it now. Windows code; every query goes through the platform table and
// the shell module, so each can be faked.
#pragma once

#include "report/model/LiveSnapshot.h"

namespace report {

// The user's taskbar settings (Library4::Shell::ReadTaskbarSettings), read once for the whole
// snapshot; then one pass over the top-level windows (EnumWindows, hidden ones included), in
// z-order, topmost first, each with:
//   record       the calls and fields of the log's record (inspect::ReadWindowRecord), its text
//                as the log writes it: each UTF-16 unit up to U+00FF its own byte, others '?';
//   shown, rule  Library4::Shell::ExplainTaskbarWindow with those settings, the log's own decision;
//   cloak        the verdict's own reading of DWMWA_CLOAKED where it made one, else the same
//                reader's (Library4::Shell::GetWindowCloak); none without dwmapi or where it fails;
//   hung         IsHungAppWindow;
//   monitor      MonitorFromWindow(MONITOR_DEFAULTTONULL) among the monitors below; none when
//                off every one;
//   normal       GetWindowPlacement's rcNormalPosition in screen coordinates, like the record's
//                rectangle: the system gives it relative to the work area of the window's monitor
//                (the primary one for a window off every monitor) unless the window has
//                WS_EX_TOOLWINDOW, and the work area's offset from that monitor's corner is added
//                back (a sum past the 32-bit range stops at its end). Where the placement cannot be
//                read, the record's rectangle;
//   frame        DwmGetWindowAttribute(DWMWA_EXTENDED_FRAME_BOUNDS); none where it fails;
//   owner, ownerShown  the record's owner among these windows, and its verdict (asked of the
//                module when the owner is not among them).
// Once the pass is done, each visible window's onCurrentDesktop: IVirtualDesktopManager::
// IsWindowOnCurrentVirtualDesktop, through the COM of the calling thread, which must have joined
// an apartment for it (vantrel-report's entry holds one for the whole run); Unknown without COM or
// the object (before Windows 10), where it fails, and for every hidden window.
// Beside them: every monitor (EnumDisplayMonitors, GetMonitorInfoW; a monitor whose information
// cannot be read is left out) with its effective DPI (GetDpiForMonitor, none before Windows 8.1
// or where it fails), the virtual screen (GetSystemMetrics), the version (RtlGetVersion, else
// GetVersionExW: "Windows 10.0.22631", with the service pack after a space where there is one;
// empty if neither answers) and the time (GetSystemTimeAsFileTime).
// A function the system lacks reads as unknown, never as a failure. Coordinates are as this
// process sees them: physical pixels, as in the log, for a process that is per-monitor DPI aware.
// Throws std::bad_alloc, rethrown after the enumeration it stopped. Call on one thread at a time.
LiveSnapshot TakeSnapshot();

} // namespace report
