// The log's record of one window: four lines and an empty line per window that the taskbar shows.
#pragma once

#include "Library4/Shell/ShellWindows.h"
#include "inspect/WindowRecord.h"

namespace app {

class LogStream;

// What the log says about one window, read as the live snapshot reads it too.
using inspect::WindowRecord;

// Formats the record and appends it to the stream.
void WriteWindowRecord(const WindowRecord& record, LogStream& stream);

// What LogWindowProc receives, by address: the open stream, and the taskbar settings read once for
// the whole pass, so that every window is decided by the same ones.
struct LogPass {
    LogStream& stream;
    Library4::Shell::TaskbarSettings taskbar;
};

// Callback of EnumWindows; lParam is the LogPass. Returns TRUE so that every window is visited,
// and FALSE only when writing failed by an exception, which the stream keeps.
BOOL CALLBACK LogWindowProc(HWND hwnd, LPARAM pass);

} // namespace app
