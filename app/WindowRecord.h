// The log's record of one window: four lines and an empty line per window that the taskbar shows.
#pragma once

#include "platform/WindowsHeaders.h"

// Callback of EnumWindows; lParam is the open LogStream. Returns TRUE so that every window is
// visited, and FALSE only when writing failed by an exception, which it leaves in the stream's
// WriterFailure.
BOOL CALLBACK LogWindowProc(HWND hwnd, LPARAM stream);
