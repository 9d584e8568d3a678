// What the window predicates and choosers share: the title buffers, the small questions asked of
// every window, and the one enumeration pass that fills a query's list. Internal to the module.
#pragma once

#include "Library4/Shell/ShellWindows.h"
#include "platform/GuardedEnumeration.h"
#include "platform/Win32Api.h"
#include "platform/WindowThread.h"

#include <utility>

namespace Library4::Shell::detail {

// Titles are compared as at most their first 999 characters.
constexpr int kTitleChars = 1000;

// The process of a window, or 0 when the window system can't tell it.
inline DWORD ProcessIdOfWindow(HWND hwnd) { return vantrel::platform::ThreadAndProcessOfWindow(hwnd).processId; }

inline HWND OwnerOf(HWND hwnd) { return vantrel::platform::Api().GetWindow(hwnd, GW_OWNER); }

// A window whose parent is the desktop: a top-level window.
inline bool IsTopLevel(HWND hwnd)
{
    return vantrel::platform::Api().GetAncestor(hwnd, GA_PARENT) == vantrel::platform::Api().GetDesktopWindow();
}

// One pass of EnumWindows with a collector over the windows of one process, Query being what the
// collector takes, and the list it made. An exception the collector caught is raised here, outside
// the system's frames; the query, and with it the list, goes as it unwinds.
template <class Query>
WindowList CollectWindows(WNDENUMPROC collector, DWORD processId)
{
    Query query;
    query.ProcessId = processId;
    vantrel::platform::EnumWindowsGuarded(collector, reinterpret_cast<LPARAM>(&query), query.Failure);
    return std::move(query.List);
}

} // namespace Library4::Shell::detail
