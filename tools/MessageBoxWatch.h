// Finds the message box that a process shows, reads it, and presses its OK button: how the run
// script, the end-to-end tests and the benchmark confirm the tool's box without a person.
#pragma once

#include "platform/WindowsHeaders.h"

#include <string>

namespace tools {

struct ShownMessageBox {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
};

// Waits until the process shows a message box, or it ends, or the time runs out. True when a box
// was found; box then names it.
bool WaitForMessageBox(DWORD processId, HANDLE process, DWORD timeoutMs, ShownMessageBox& box);

// Waits until any process shows a message box with this caption, or the time runs out.
bool WaitForMessageBoxTitled(const wchar_t* caption, DWORD timeoutMs, ShownMessageBox& box);

// Presses the box's OK button, as a user would.
void PressOk(HWND box);

} // namespace tools
