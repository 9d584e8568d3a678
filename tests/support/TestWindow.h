// A real window for a test: its class is registered once per process, and the window is always
// destroyed with the object.
#pragma once

#include "platform/WindowsHeaders.h"

#include <string>

namespace testsupport {

struct WindowOptions {
    std::wstring title;
    DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    DWORD exStyle = 0;
    HWND parentOrOwner = nullptr;       // the parent for WS_CHILD, else the owner
    RECT rect{100, 100, 500, 400};      // left, top, right, bottom, in screen (or parent) coordinates
    const wchar_t* className = nullptr; // null: the tests' own class
};

class TestWindow {
public:
    explicit TestWindow(const WindowOptions& options);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Get() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// The tests' own window class, registered on first use.
const wchar_t* TestWindowClass();

// Handles whatever messages are waiting for this thread's windows.
void PumpMessages();

} // namespace testsupport
