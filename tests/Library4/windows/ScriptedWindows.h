// Windows of another process, made to order: the helper "scripted-windows" creates the windows its
// arguments describe, in argument order, then serves messages until the test ends it.
#pragma once

#include "platform/WindowsHeaders.h"

#include <string>
#include <vector>

namespace windowtest {

// Style letters of a scripted window.
//   v  visible
//   e  empty client area (0 x 0); otherwise the client area is width x height
//   t  WS_EX_TOOLWINDOW
//   d  WS_EX_DLGMODALFRAME
struct ScriptedWindow {
    std::wstring letters{};
    std::wstring title{};
    std::wstring ownerTitle{};   // a window scripted earlier, or empty
    HWND foreignOwner = nullptr; // a window of the test process instead
    int width = 200;
    int height = 100;
};

// One helper argument per window.
std::wstring Script(const ScriptedWindow& window);

// A helper argument that puts an edit control holding `text` into the scripted window titled
// `containerTitle` and gives it the keyboard focus of the helper's thread.
std::wstring ScriptFocus(const std::wstring& text, const std::wstring& containerTitle);

// A helper argument that leaves the helper's thread without a keyboard focus.
std::wstring ScriptNoFocus();

} // namespace windowtest
