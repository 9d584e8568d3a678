// One window as a Vantrel log records it.
#pragma once

#include "inspect/RecordText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace report {

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    // 64-bit, so that a rectangle spanning the whole 32-bit range cannot overflow.
    std::int64_t Width() const { return std::int64_t{right} - left; }
    std::int64_t Height() const { return std::int64_t{bottom} - top; }
    friend bool operator==(const Rect& a, const Rect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    friend bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
};

// Text fields hold the log's own bytes, ISO 8859-1, with the writer's CR LF inside a field turned
// back into the LF the window had.
struct LoggedWindow {
    std::uint32_t hwnd = 0;
    std::string exe, title, className;
    std::uint32_t atom = 0, style = 0, exStyle = 0, parent = 0, owner = 0, getParent = 0;
    Rect window, client;
    bool maximized = false, minimized = false;
    int firstLine = 0, lastLine = 0;
};

// The most characters a title holds: the room the record writer reads it into, but for the
// terminator. A title this long was most likely cut.
constexpr std::size_t kTitleLimit = inspect::kRecordTitleChars - 1;

} // namespace report
