#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/GuardedEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

namespace {

// The one shape of a collector: lParam is the query's address, and each window that passes the
// test is appended. Appending may run out of memory; the guard keeps the exception in the query
// and stops the enumeration, and the chooser rethrows it.
template <class Query, class Test>
BOOL Collect(HWND hwnd, LPARAM lParam, Test passes)
{
    auto& query = *reinterpret_cast<Query*>(lParam);
    return vantrel::platform::GuardCallback(query.Failure, [&] {
        if (passes(hwnd, query)) query.List.Append(hwnd);
        return TRUE;
    });
}

} // namespace

BOOL CALLBACK CollectTaskbarWindowsProc(HWND hwnd, LPARAM lParam)
{
    return Collect<ProcessWindowQuery>(hwnd, lParam, [](HWND window, const ProcessWindowQuery& query) {
        return detail::ProcessIdOfWindow(window) == query.ProcessId && IsTaskbarWindow(window);
    });
}

BOOL CALLBACK CollectVisibleTaskWindowsProc(HWND hwnd, LPARAM lParam)
{
    return Collect<ProcessWindowQuery>(hwnd, lParam, [](HWND window, const ProcessWindowQuery& query) {
        return detail::ProcessIdOfWindow(window) == query.ProcessId && IsVisibleTaskWindow(window);
    });
}

BOOL CALLBACK CollectVisibleWindowsProc(HWND hwnd, LPARAM lParam)
{
    return Collect<OwnedPopupQuery>(hwnd, lParam, [](HWND window, const OwnedPopupQuery& query) {
        return vantrel::platform::Api().IsWindowVisible(window) && detail::ProcessIdOfWindow(window) == query.ProcessId;
    });
}

} // namespace Library4::Shell
