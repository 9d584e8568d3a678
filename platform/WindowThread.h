// Which thread, and so which process, made a window.
#pragma once

#include "Win32Api.h"

namespace vantrel::platform {

struct ThreadAndProcess {
    DWORD threadId = 0;
    DWORD processId = 0;
};

// Both 0 when the window system can't tell, as for a window that is gone.
inline ThreadAndProcess ThreadAndProcessOfWindow(HWND hwnd)
{
    ThreadAndProcess ids;
    ids.threadId = Api().GetWindowThreadProcessId(hwnd, &ids.processId);
    return ids;
}

} // namespace vantrel::platform
