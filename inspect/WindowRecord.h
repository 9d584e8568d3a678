// What the log says about one window, read from the window system: the fields of a record and the
// calls that fill them, shared by the log and by the live snapshot so that the two read a window
// alike.
#pragma once

#include "inspect/RecordText.h"
#include "platform/WindowsHeaders.h"

namespace inspect {

// Each value is zero or empty where its query failed.
struct WindowRecord {
    static constexpr int kExeChars = MAX_PATH;
    static constexpr int kTitleChars = kRecordTitleChars;
    static constexpr int kClassChars = kRecordClassChars;

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

// Fills `record`, given empty, with hwnd's fields: title, class, executable, rectangles, state,
// atom, relatives and styles, in that order. What a window that is gone cannot give stays empty.
// Throws nothing.
void ReadWindowRecord(HWND hwnd, WindowRecord& record);

} // namespace inspect
