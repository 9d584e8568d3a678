#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

HWND FindOwnedPopup(HWND hwnd)
{
    OwnedPopupQuery query;
    query.ProcessId = detail::ProcessIdOfWindow(hwnd);
    if (query.ProcessId == 0) return nullptr;
    detail::CollectWindows(&CollectVisibleWindowsProc, query);

    // A plain popup is preferred over a modal dialog; the lower handle settles the rest, so the
    // answer doesn't depend on the enumeration order.
    HWND best = nullptr;
    int bestScore = -1;
    for (HWND candidate : query.List) {
        if (candidate == hwnd) continue;
        if (detail::OwnerOf(candidate) != hwnd) continue;

        const auto exStyle = static_cast<DWORD>(vantrel::platform::Api().GetWindowLongW(candidate, GWL_EXSTYLE));
        const int score = (exStyle & WS_EX_DLGMODALFRAME) == 0 ? 1 : 0;
        const bool lowerHandle = reinterpret_cast<UINT_PTR>(candidate) < reinterpret_cast<UINT_PTR>(best);
        if (score > bestScore || (score == bestScore && lowerHandle)) {
            best = candidate;
            bestScore = score;
        }
    }
    return best;
}

} // namespace Library4::Shell
