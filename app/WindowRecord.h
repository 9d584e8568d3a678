// The log's record of one window: four lines and an empty line per window that the taskbar shows.
#pragma once

#include "platform/WindowsHeaders.h"

namespace app {

class LogStream;

// What the log says about one window. Each value is zero or empty where its query failed.
struct WindowRecord {
    static constexpr int kExeChars = MAX_PATH;
    static constexpr int kTitleChars = 300;
    static constexpr int kClassChars = 300;

    HWND hwnd = nullptr;
    wchar_t exe[kExeChars] = {};
    wchar_t title[kTitleChars] = {};
    wchar_t className[kClassChars] = {};
    WORD atom = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HWND owner = nullptr;
    HWND getParent = nullptr;
    RECT window{};
    RECT client{};
    int maximized = 0;
    int minimized = 0;
};

// Formats the record and appends it to the stream.
void WriteWindowRecord(const WindowRecord& record, LogStream& stream);

// Callback of EnumWindows; lParam is the open LogStream. Returns TRUE so that every window is
// visited, and FALSE only when writing failed by an exception, which the stream keeps.
BOOL CALLBACK LogWindowProc(HWND hwnd, LPARAM stream);

} // namespace app
