#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

namespace testsupport {

const wchar_t* TestWindowClass()
{
    static const wchar_t* const name = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VantrelTestWindow";
        ::RegisterClassExW(&wc);
        return L"VantrelTestWindow";
    }();
    return name;
}

TestWindow::TestWindow(const WindowOptions& options)
{
    const RECT& r = options.rect;
    hwnd_ = ::CreateWindowExW(options.exStyle, options.className ? options.className : TestWindowClass(),
                              options.title.c_str(), options.style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                              options.parentOrOwner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    EXPECT_NE(nullptr, hwnd_) << "CreateWindowExW failed, error " << ::GetLastError();
    PumpMessages();
}

TestWindow::~TestWindow()
{
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
    PumpMessages();
}

void PumpMessages()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace testsupport
