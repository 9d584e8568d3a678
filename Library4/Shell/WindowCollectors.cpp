#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/WindowEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

namespace {

// Appends, or records why it couldn't: an exception must not cross the system's frames (MinGW's
// unwinder can't pass them), so the enumeration is stopped and the chooser rethrows afterwards.
template <class Query>
BOOL AppendOrStop(Query& query, HWND hwnd)
{
    try {
        query.List.Append(hwnd);
        return TRUE;
    } catch (...) {
        query.Failure = std::current_exception();
        return FALSE;
    }
}

} // namespace

BOOL CALLBACK CollectTaskbarWindowsProc(HWND hwnd, LPARAM lParam)
{
    auto& query = *reinterpret_cast<ProcessWindowQuery*>(lParam);
    if (detail::ProcessIdOfWindow(hwnd) != query.ProcessId || !IsTaskbarWindow(hwnd)) return TRUE;
    return AppendOrStop(query, hwnd);
}

BOOL CALLBACK CollectVisibleTaskWindowsProc(HWND hwnd, LPARAM lParam)
{
    auto& query = *reinterpret_cast<ProcessWindowQuery*>(lParam);
    if (detail::ProcessIdOfWindow(hwnd) != query.ProcessId || !IsVisibleTaskWindow(hwnd)) return TRUE;
    return AppendOrStop(query, hwnd);
}

BOOL CALLBACK CollectVisibleWindowsProc(HWND hwnd, LPARAM lParam)
{
    auto& query = *reinterpret_cast<OwnedPopupQuery*>(lParam);
    if (!platform::Api().IsWindowVisible(hwnd)) return TRUE;
    if (detail::ProcessIdOfWindow(hwnd) != query.ProcessId) return TRUE;
    return AppendOrStop(query, hwnd);
}

} // namespace Library4::Shell
