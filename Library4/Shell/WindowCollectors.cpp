#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/GuardedEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

namespace {

// Appending may run out of memory; the guard stops the enumeration and the chooser rethrows.
template <class Query>
BOOL Append(Query& query, HWND hwnd)
{
    return vantrel::platform::GuardCallback(query.Failure, [&] {
        query.List.Append(hwnd);
        return TRUE;
    });
}

} // namespace

BOOL CALLBACK CollectTaskbarWindowsProc(HWND hwnd, LPARAM lParam)
{
    auto& query = *reinterpret_cast<ProcessWindowQuery*>(lParam);
    if (detail::ProcessIdOfWindow(hwnd) != query.ProcessId || !IsTaskbarWindow(hwnd)) return TRUE;
    return Append(query, hwnd);
}

BOOL CALLBACK CollectVisibleTaskWindowsProc(HWND hwnd, LPARAM lParam)
{
    auto& query = *reinterpret_cast<ProcessWindowQuery*>(lParam);
    if (detail::ProcessIdOfWindow(hwnd) != query.ProcessId || !IsVisibleTaskWindow(hwnd)) return TRUE;
    return Append(query, hwnd);
}

BOOL CALLBACK CollectVisibleWindowsProc(HWND hwnd, LPARAM lParam)
{
    auto& query = *reinterpret_cast<OwnedPopupQuery*>(lParam);
    if (!vantrel::platform::Api().IsWindowVisible(hwnd)) return TRUE;
    if (detail::ProcessIdOfWindow(hwnd) != query.ProcessId) return TRUE;
    return Append(query, hwnd);
}

} // namespace Library4::Shell
