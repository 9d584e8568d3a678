#include "Library4/Shell/ShellWindows.h"

#include "platform/Win32Api.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

namespace windowtest {

using Library4::Shell::GhostClassAtom;
using Library4::Shell::IsTaskbarWindow;
using testsupport::TestWindow;
using testsupport::WindowOptions;

namespace {

constexpr DWORD kVisible = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
constexpr DWORD kHidden = WS_OVERLAPPEDWINDOW;

int classInfoCalls = 0;

BOOL WINAPI CountingGetClassInfoExW(HINSTANCE instance, LPCWSTR name, LPWNDCLASSEXW info)
{
    ++classInfoCalls;
    return testsupport::SystemApi().GetClassInfoExW(instance, name, info);
}

// The window manager's answer to DWMWA_CLOAKED, as the fake gives it.
struct CloakAnswer {
    HRESULT result;
    DWORD cloaked;
};
CloakAnswer cloakAnswer{S_OK, 0};
int cloakQueries = 0;

HRESULT WINAPI FakeDwmGetWindowAttribute(HWND hwnd, DWORD attribute, PVOID value, DWORD size)
{
    ++cloakQueries;
    if (hwnd == nullptr || attribute != DWMWA_CLOAKED || size != sizeof(DWORD)) return E_INVALIDARG;
    *static_cast<DWORD*>(value) = cloakAnswer.cloaked;
    return cloakAnswer.result;
}

HWND shellWindow = nullptr;
HWND WINAPI FakeGetShellWindow() { return shellWindow; }

} // namespace

TEST(IsTaskbarWindow, DecidesByVisibilityParentStylesAndOwner)
{
    // The window manager is asked only about windows that every other rule lets through.
    vantrel::platform::ScopedApiOverride api;
    api->DwmGetWindowAttribute = &FakeDwmGetWindowAttribute;
    TestWindow owner({L"owner", kVisible});
    TestWindow parent({L"parent", kVisible});
    struct Case {
        const wchar_t* what;
        DWORD style;
        DWORD exStyle;
        HWND ownerOrParent;
        bool expected;
    };
    const Case cases[] = {
        {L"plain visible unowned", kVisible, 0, nullptr, true},
        {L"hidden", kHidden, 0, nullptr, false},
        {L"hidden even with app style", kHidden, WS_EX_APPWINDOW, nullptr, false},
        {L"owned", kVisible, 0, owner.Get(), false},
        {L"owned with app style", kVisible, WS_EX_APPWINDOW, owner.Get(), true},
        {L"tool", kVisible, WS_EX_TOOLWINDOW, nullptr, false},
        {L"tool with app style", kVisible, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, nullptr, true},
        {L"no-activate", kVisible, WS_EX_NOACTIVATE, nullptr, false},
        {L"no-activate with app style", kVisible, WS_EX_NOACTIVATE | WS_EX_APPWINDOW, nullptr, true},
        {L"child", WS_CHILD | WS_VISIBLE, 0, parent.Get(), false},
        {L"child with app style", WS_CHILD | WS_VISIBLE, WS_EX_APPWINDOW, parent.Get(), false},
    };
    for (const Case& c : cases) {
        TestWindow window({c.what, c.style, c.exStyle, c.ownerOrParent});
        cloakQueries = 0;
        EXPECT_EQ(c.expected, IsTaskbarWindow(window.Get())) << c.what;
        EXPECT_EQ(c.expected ? 1 : 0, cloakQueries) << c.what;
    }
    cloakQueries = 0;
    EXPECT_FALSE(IsTaskbarWindow(nullptr));
    EXPECT_EQ(0, cloakQueries);
}

TEST(IsTaskbarWindow, NeitherTheDesktopNorACloakedWindowIsAButtonAndAnyFailureCountsAsShown)
{
    TestWindow plain({L"plain", kVisible});
    TestWindow appWindow({L"owned app window", kVisible, WS_EX_APPWINDOW, plain.Get()});
    enum Shell { kNoShell, kShellIsTheWindow, kShellIsAnother };
    struct Case {
        const char* what;
        Shell shell;
        bool functionPresent;
        CloakAnswer answer;
        bool expected;
    };
    const Case cases[] = {
        {"the shell's desktop window", kShellIsTheWindow, true, {S_OK, 0}, false},
        {"another window is the desktop", kShellIsAnother, true, {S_OK, 0}, true},
        {"cloaked by its app", kNoShell, true, {S_OK, DWM_CLOAKED_APP}, false},
        {"cloaked by the shell", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, false},
        {"cloaked with its owner", kNoShell, true, {S_OK, DWM_CLOAKED_INHERITED}, false},
        {"not cloaked", kNoShell, true, {S_OK, 0}, true},
        {"no function (2000, XP)", kNoShell, false, {S_OK, DWM_CLOAKED_APP}, true},
        {"attribute unknown (Vista, 7)", kNoShell, true, {E_INVALIDARG, DWM_CLOAKED_APP}, true},
        {"query failed", kNoShell, true, {E_FAIL, DWM_CLOAKED_SHELL}, true},
    };
    for (const Case& c : cases) {
        vantrel::platform::ScopedApiOverride api;
        api->GetShellWindow = &FakeGetShellWindow;
        api->DwmGetWindowAttribute = c.functionPresent ? &FakeDwmGetWindowAttribute : nullptr;
        cloakAnswer = c.answer;
        for (HWND window : {plain.Get(), appWindow.Get()}) {
            const HWND other = window == plain.Get() ? appWindow.Get() : plain.Get();
            shellWindow = c.shell == kNoShell ? nullptr : c.shell == kShellIsTheWindow ? window : other;
            EXPECT_EQ(c.expected, IsTaskbarWindow(window)) << c.what;
        }
    }
}

TEST(IsTaskbarWindow, GhostClassWindowsAreNotButtonsUnlessAppWindows)
{
    // A global class is what the system's own "Ghost" is: visible to GetClassInfoExW(NULL, ...).
    // Each test case runs in a fresh process, so the cache is computed after this registration.
    WNDCLASSEXW ghost{};
    ghost.cbSize = sizeof(ghost);
    ghost.style = CS_GLOBALCLASS;
    ghost.lpfnWndProc = &::DefWindowProcW;
    ghost.hInstance = ::GetModuleHandleW(nullptr);
    ghost.lpszClassName = L"Ghost";
    const ATOM atom = ::RegisterClassExW(&ghost);
    ASSERT_NE(0, atom);

    TestWindow ghostWindow({L"hung", kVisible, 0, nullptr, {100, 100, 300, 300}, L"Ghost"});
    TestWindow ghostApp({L"hung app", kVisible, WS_EX_APPWINDOW, nullptr, {100, 100, 300, 300}, L"Ghost"});
    TestWindow ordinary({L"ordinary", kVisible});

    EXPECT_FALSE(IsTaskbarWindow(ghostWindow.Get()));
    EXPECT_EQ(atom, GhostClassAtom);
    EXPECT_TRUE(IsTaskbarWindow(ghostApp.Get()));
    EXPECT_TRUE(IsTaskbarWindow(ordinary.Get()));

    ::DestroyWindow(ghostWindow.Get());
}

TEST(IsTaskbarWindow, UnregisteredGhostClassIsLookedUpOnceAndExcludesNothing)
{
    vantrel::platform::ScopedApiOverride api;
    api->GetClassInfoExW = &CountingGetClassInfoExW;
    classInfoCalls = 0;
    ASSERT_EQ(0, GhostClassAtom);

    TestWindow first({L"first", kVisible});
    TestWindow second({L"second", kVisible});
    EXPECT_TRUE(IsTaskbarWindow(first.Get()));
    EXPECT_TRUE(IsTaskbarWindow(second.Get()));
    EXPECT_FALSE(IsTaskbarWindow(nullptr));

    EXPECT_EQ(0xFFFF, GhostClassAtom);
    EXPECT_EQ(1, classInfoCalls);
}

} // namespace windowtest
