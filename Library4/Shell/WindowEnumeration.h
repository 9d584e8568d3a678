// What the window choosers share: the title buffers and the one enumeration pass that fills a
// query's list. Internal to the module.
#pragma once

#include "Library4/Shell/ShellWindows.h"
#include "platform/GuardedEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell::detail {

// Titles are compared as at most their first 999 characters.
constexpr int kTitleChars = 1000;

// The process of a window, or 0 when the window system can't tell it.
inline DWORD ProcessIdOfWindow(HWND hwnd)
{
    DWORD processId = 0;
    platform::Api().GetWindowThreadProcessId(hwnd, &processId);
    return processId;
}

inline HWND OwnerOf(HWND hwnd) { return platform::Api().GetWindow(hwnd, GW_OWNER); }

// One pass of EnumWindows with a collector. An exception the collector caught is raised here,
// outside the system's frames; the caller's query, and with it the list, goes as it unwinds.
template <class Query>
void CollectWindows(WNDENUMPROC collector, Query& query)
{
    platform::EnumWindowsGuarded(collector, reinterpret_cast<LPARAM>(&query), query.Failure);
}

} // namespace Library4::Shell::detail
