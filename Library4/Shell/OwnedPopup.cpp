#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

HWND FindOwnedPopup(HWND hwnd)
{
    const DWORD processId = detail::ProcessIdOfWindow(hwnd);
    if (processId == 0) return nullptr;
    const WindowList windows = detail::CollectWindows<OwnedPopupQuery>(&CollectVisibleWindowsProc, processId);

    // A plain popup is preferred over a modal dialog; the lower handle settles the rest, so the
    // answer doesn't depend on the enumeration order.
    HWND best = nullptr;
    int bestScore = -1;
    for (HWND candidate : windows) {
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
