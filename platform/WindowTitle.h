// A window's title, read into a fixed array whose size the reader takes from the array itself.
#pragma once

#include "Win32Api.h"

#include <climits>
#include <cstddef>

namespace vantrel::platform {

// Reads hwnd's title into title: cut to its first N - 1 characters and terminated. A window
// without a title, or one that is gone, leaves it empty.
template <std::size_t N>
void ReadWindowTitle(HWND hwnd, wchar_t (&title)[N])
{
    static_assert(N >= 1 && N <= INT_MAX, "the window system takes the room as an int");
    Api().GetWindowTextW(hwnd, title, static_cast<int>(N));
}

} // namespace vantrel::platform
