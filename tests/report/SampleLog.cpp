#include "tests/report/SampleLog.h"

#include <cstdio>

namespace reporttest {

std::string RecordBytes(const Sample& s)
{
    char numbers[256];
    std::snprintf(numbers, sizeof(numbers),
                  "\" atom = 0x0000C038\nStyle=0x%x exStyle=0x%x parent=0x00010020 owner=0x%08X getparent=0x00000000\n"
                  "rcWnd = %s rcClient = 0,0 - 154,182 maximized = 0 minimized = %d\n\n",
                  static_cast<unsigned>(s.style), static_cast<unsigned>(s.exStyle), static_cast<unsigned>(s.owner),
                  s.rect.c_str(), s.minimized);
    char handle[16];
    std::snprintf(handle, sizeof(handle), "0x%08X", static_cast<unsigned>(s.hwnd));
    const std::string text =
        handle + (": exe=" + s.exe) + "\ntitle=\"" + s.title + "\" class=\"" + s.className + numbers;
    std::string bytes;
    for (char c : text) bytes += c == '\n' ? "\r\n" : std::string(1, c);
    return bytes;
}

} // namespace reporttest
