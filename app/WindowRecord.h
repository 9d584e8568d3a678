// The log's record of one window: four lines and an empty line per window that the taskbar shows.
#pragma once

#include "inspect/WindowRecord.h"

namespace app {

class LogStream;

// What the log says about one window, read as the live snapshot reads it too.
using inspect::WindowRecord;

// Formats the record and appends it to the stream.
void WriteWindowRecord(const WindowRecord& record, LogStream& stream);

// Callback of EnumWindows; lParam is the open LogStream. Returns TRUE so that every window is
// visited, and FALSE only when writing failed by an exception, which the stream keeps.
BOOL CALLBACK LogWindowProc(HWND hwnd, LPARAM stream);

} // namespace app
