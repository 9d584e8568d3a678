// The shell utility module's window services: the taskbar test and the heuristics that choose a
// representative window of a process.
#pragma once

#include "platform/WindowsHeaders.h"

#include <cstddef>
#include <exception>
#include <vector>

namespace Library4::Shell {

// Atom of the system's "Ghost" class (the stand-in for a hung application's window): 0 until the
// first taskbar test, then the atom, or 0xFFFF when the class is not registered. Computed once.
extern WORD GhostClassAtom;

// True for a top-level window that the taskbar shows as a button: visible, its parent the desktop,
// and either WS_EX_APPWINDOW or unowned without WS_EX_TOOLWINDOW and WS_EX_NOACTIVATE and not of
// the "Ghost" class; then not the shell's desktop window (GetShellWindow) and not cloaked by the
// window manager (DwmGetWindowAttribute with DWMWA_CLOAKED, found at run time in dwmapi.dll and
// bound once per process; a system without it, or a failed query, cloaks nothing). Each rule is
// asked only when the earlier ones have passed. False for a null or vanished window.
bool IsTaskbarWindow(HWND hwnd);

// The client area is at least one pixel wide and one pixel high. A client rectangle that can't be
// read counts as empty.
bool HasClientArea(HWND hwnd);

// A visible top-level window with a client area, owned or not.
bool IsVisibleTaskWindow(HWND hwnd);

// A visible top-level window without an owner whose client area is empty.
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
    // An exception caught inside the callback: nothing may unwind through EnumWindows, so the
    // callback stops the enumeration and the caller rethrows this once EnumWindows has returned.
    std::exception_ptr Failure;
};

// What CollectVisibleWindowsProc receives, by address.
struct OwnedPopupQuery {
    DWORD ProcessId = 0;
    WindowList List;
    // As in ProcessWindowQuery.
    std::exception_ptr Failure;
};

// EnumWindows callbacks: each appends the windows of the query's process that pass its test and
// returns TRUE, or records an exception in the query's Failure and returns FALSE.
// lParam is the address of a ProcessWindowQuery; collects the process's taskbar windows.
BOOL CALLBACK CollectTaskbarWindowsProc(HWND hwnd, LPARAM lParam);
// lParam is the address of a ProcessWindowQuery; collects windows passing IsVisibleTaskWindow.
BOOL CALLBACK CollectVisibleTaskWindowsProc(HWND hwnd, LPARAM lParam);
// lParam is the address of an OwnedPopupQuery; collects every visible window of the process.
BOOL CALLBACK CollectVisibleWindowsProc(HWND hwnd, LPARAM lParam);

// The taskbar window that stands for hwnd's process: the only one, or among several the owner of
// hwnd or the one titled like the focus window of hwnd's thread; else hwnd itself.
// Throws std::bad_alloc.
HWND FindMainWindow(HWND hwnd);

// hwnd when it is a visible top-level window with a client area; else the best such window of
// its process (owned by hwnd, then unowned, then titled to contain hwnd's title, then the largest
// client area, then the first enumerated); null when the process has none. Throws std::bad_alloc.
HWND FindBestTopLevelWindow(HWND hwnd);

// A visible top-level window of hwnd's process that hwnd owns directly: one without
// WS_EX_DLGMODALFRAME if there is any, and of those the lowest handle; else null.
// Throws std::bad_alloc.
HWND FindOwnedPopup(HWND hwnd);

// The top of the foreground window's owner chain, or null without a foreground window. Should the
// chain ever come back to a window already passed, the last window before the repeat.
HWND GetForegroundRootOwner();

} // namespace Library4::Shell
