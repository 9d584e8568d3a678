// Shorthands for the test windows of the window heuristics: popup windows, whose client area is
// exactly the size they are given.
#pragma once

#include "tests/support/TestWindow.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace windowtest {

struct Popup {
    std::wstring title;
    int width = 200;
    int height = 100;
    HWND owner = nullptr;
    bool visible = true;
    DWORD exStyle = 0;

    testsupport::WindowOptions Options() const
    {
        testsupport::WindowOptions options;
        options.title = title;
        options.style = WS_POPUP | (visible ? WS_VISIBLE : 0);
        options.exStyle = exStyle;
        options.parentOrOwner = owner;
        options.rect = RECT{60, 60, 60 + width, 60 + height};
        return options;
    }
};

// A visible child window of `parent`.
inline testsupport::WindowOptions Child(const std::wstring& title, HWND parent)
{
    testsupport::WindowOptions options;
    options.title = title;
    options.style = WS_CHILD | WS_VISIBLE;
    options.parentOrOwner = parent;
    return options;
}

// The elements of `wanted`, in the window system's enumeration order of `everything`.
inline std::vector<HWND> InOrder(const std::vector<HWND>& everything, const std::set<HWND>& wanted)
{
    std::vector<HWND> ordered;
    std::copy_if(everything.begin(), everything.end(), std::back_inserter(ordered),
                 [&](HWND hwnd) { return wanted.count(hwnd) != 0; });
    return ordered;
}

} // namespace windowtest
