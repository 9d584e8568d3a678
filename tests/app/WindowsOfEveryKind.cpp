#include "tests/app/WindowsOfEveryKind.h"

#include "tests/support/HelperProcess.h"
#include "tests/support/TestWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace apptest {

VANTREL_TEST_HELPER(OwnsWindowsOfEveryKind)
{
    using testsupport::TestWindow;
    constexpr DWORD kVisible = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    const std::wstring tag = args.empty() ? L"" : args[0];
    std::vector<std::unique_ptr<TestWindow>> windows;
    auto add = [&](const std::wstring& title, DWORD style, DWORD exStyle, HWND relative) {
        windows.push_back(
            std::make_unique<TestWindow>(testsupport::WindowOptions{tag + title, style, exStyle, relative}));
        return windows.back()->Get();
    };
    const HWND main = add(L" visible", kVisible, 0, nullptr);
    add(L" hidden", WS_OVERLAPPEDWINDOW, 0, nullptr);
    add(L" tool", kVisible, WS_EX_TOOLWINDOW, nullptr);
    add(L" owned", kVisible, 0, main);
    add(L" owned app", kVisible, WS_EX_APPWINDOW, main);
    add(L" no-activate", kVisible, WS_EX_NOACTIVATE, nullptr);
    add(L" child", WS_CHILD | WS_VISIBLE, 0, main);
    add(L" caf\u00e9 \u20ac", kVisible, 0, nullptr);
    return testsupport::SignalReadyAndServe();
}

} // namespace apptest
