#include "Library4/Shell/ShellWindows.h"

#include "platform/Win32Api.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/DesktopManagerFake.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

namespace windowtest {

using Library4::Shell::ExplainTaskbarWindow;
using Library4::Shell::GhostClassAtom;
using Library4::Shell::IsTaskbarWindow;
using Library4::Shell::TaskbarSettings;
using Library4::Shell::TaskbarVerdict;
using testsupport::TestWindow;
using testsupport::WindowOptions;
using Rule = Library4::Shell::TaskbarRule;
using Query = Library4::Shell::CloakQuery;

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

int isWindowCalls = 0;
BOOL WINAPI CountingIsWindow(HWND hwnd)
{
    ++isWindowCalls;
    return testsupport::SystemApi().IsWindow(hwnd);
}

// The whole verdict, and IsTaskbarWindow answering its shown part, with the settings given and
// without any (the registry of the test's own has none); the caller traces the case.
void ExpectVerdict(const TaskbarVerdict& expected, HWND window, const TaskbarSettings& settings = {})
{
    const TaskbarVerdict verdict = ExplainTaskbarWindow(window, settings);
    EXPECT_EQ(expected.shown, verdict.shown);
    EXPECT_EQ(static_cast<int>(expected.rule), static_cast<int>(verdict.rule));
    EXPECT_EQ(expected.cloak, verdict.cloak);
    EXPECT_EQ(static_cast<int>(expected.cloakQuery), static_cast<int>(verdict.cloakQuery));
    EXPECT_EQ(verdict.shown, IsTaskbarWindow(window, settings));
    if (!settings.ShowsAllDesktops()) {
        EXPECT_EQ(verdict.shown, IsTaskbarWindow(window));
    }
}

} // namespace

TEST(IsTaskbarWindow, DecidesByVisibilityParentStylesAndOwner)
{
    // The window manager is asked only about windows that every other rule lets through, and
    // whether a window is still there only on the way to a verdict without a button.
    vantrel::platform::ScopedApiOverride api;
    api->DwmGetWindowAttribute = &FakeDwmGetWindowAttribute;
    api->IsWindow = &CountingIsWindow;
    TestWindow owner({L"owner", kVisible});
    TestWindow parent({L"parent", kVisible});
    struct Case {
        const wchar_t* what;
        DWORD style;
        DWORD exStyle;
        HWND ownerOrParent;
        bool destroyed;
        bool expected;
        Rule rule; // and no cloak, as the window manager tells of none
    };
    const Case cases[] = {
        {L"plain visible unowned", kVisible, 0, nullptr, false, true, Rule::Unowned},
        {L"hidden", kHidden, 0, nullptr, false, false, Rule::Hidden},
        {L"hidden even with app style", kHidden, WS_EX_APPWINDOW, nullptr, false, false, Rule::Hidden},
        {L"destroyed", kVisible, 0, nullptr, true, false, Rule::Gone},
        {L"owned", kVisible, 0, owner.Get(), false, false, Rule::Owned},
        {L"owned with app style", kVisible, WS_EX_APPWINDOW, owner.Get(), false, true, Rule::AppWindow},
        {L"owned tool", kVisible, WS_EX_TOOLWINDOW, owner.Get(), false, false, Rule::ToolWindow},
        {L"tool", kVisible, WS_EX_TOOLWINDOW, nullptr, false, false, Rule::ToolWindow},
        {L"tool with app style", kVisible, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, nullptr, false, true, Rule::AppWindow},
        {L"tool, no-activate", kVisible, WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, nullptr, false, false, Rule::ToolWindow},
        {L"no-activate", kVisible, WS_EX_NOACTIVATE, nullptr, false, false, Rule::NoActivate},
        {L"no-activate with app style", kVisible, WS_EX_NOACTIVATE | WS_EX_APPWINDOW, nullptr, false, true,
         Rule::AppWindow},
        {L"child", WS_CHILD | WS_VISIBLE, 0, parent.Get(), false, false, Rule::NotTopLevel},
        {L"child with app style", WS_CHILD | WS_VISIBLE, WS_EX_APPWINDOW, parent.Get(), false, false,
         Rule::NotTopLevel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestWindow window({c.what, c.style, c.exStyle, c.ownerOrParent});
        if (c.destroyed) ::DestroyWindow(window.Get());
        cloakQueries = 0;
        isWindowCalls = 0;
        EXPECT_EQ(c.expected, IsTaskbarWindow(window.Get()));
        EXPECT_EQ(c.expected ? 1 : 0, cloakQueries);
        EXPECT_FALSE(c.expected && isWindowCalls != 0);
        ExpectVerdict({c.expected, c.rule, 0, c.expected ? Query::Answered : Query::NotAsked}, window.Get());
    }
    cloakQueries = 0;
    EXPECT_FALSE(IsTaskbarWindow(nullptr));
    EXPECT_EQ(0, cloakQueries);
    ExpectVerdict({false, Rule::Gone, 0, Query::NotAsked}, nullptr);
}

// After the classic rules: a button its program removed, the shell's desktop, then the cloak, and
// the one cloak that a taskbar showing every desktop's windows lets through.
TEST(IsTaskbarWindow, NeitherARemovedButtonNorTheDesktopNorACloakedWindowIsAButtonAndAnyFailureCountsAsShown)
{
    TestWindow plain({L"plain", kVisible});
    TestWindow appWindow({L"owned app window", kVisible, WS_EX_APPWINDOW, plain.Get()});
    enum Shell { kNoShell, kShellIsTheWindow, kShellIsAnother };
    enum Desktop { kThisDesktop, kElsewhere, kNoManager };
    struct Case {
        const char* what;
        Shell shell;
        bool functionPresent;
        CloakAnswer answer;
        TaskbarVerdict expected; // a shown one: each window by its own rule
        bool removed = false;    // its program removed the button
        TaskbarSettings settings = {};
        Desktop desktop = kThisDesktop;
    };
    const TaskbarVerdict shown{true, Rule::Unowned, 0, Query::Answered};
    const TaskbarVerdict shownUnasked{true, Rule::Unowned, 0, Query::Unknown};
    const TaskbarSettings allDesktops{0u, std::nullopt, std::nullopt};
    const TaskbarVerdict cloakedByShell{false, Rule::Cloaked, 2, Query::Answered};
    // clang-format off
    const Case cases[] = {
        {"the shell's desktop window", kShellIsTheWindow, true, {S_OK, 0}, {false, Rule::ShellDesktop, 0}},
        {"cloaked desktop", kShellIsTheWindow, true, {S_OK, DWM_CLOAKED_SHELL}, {false, Rule::ShellDesktop, 0}},
        {"another window is the desktop", kShellIsAnother, true, {S_OK, 0}, shown},
        {"cloaked by its app", kNoShell, true, {S_OK, DWM_CLOAKED_APP}, {false, Rule::Cloaked, 1, Query::Answered}},
        {"cloaked by the shell", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, cloakedByShell},
        {"cloaked with its owner", kNoShell, true, {S_OK, DWM_CLOAKED_INHERITED},
         {false, Rule::Cloaked, 4, Query::Answered}},
        {"app, inherited", kNoShell, true, {S_OK, DWM_CLOAKED_APP | DWM_CLOAKED_INHERITED},
         {false, Rule::Cloaked, 5, Query::Answered}},
        {"not cloaked", kNoShell, true, {S_OK, 0}, shown},
        {"no function (2000, XP)", kNoShell, false, {S_OK, DWM_CLOAKED_APP}, shownUnasked},
        {"attribute unknown (Vista, 7)", kNoShell, true, {E_INVALIDARG, DWM_CLOAKED_APP}, shownUnasked},
        {"query failed", kNoShell, true, {E_FAIL, DWM_CLOAKED_SHELL}, shownUnasked},
        {"removed by its program", kNoShell, true, {S_OK, 0}, {false, Rule::RemovedByProgram, 0}, true},
        {"removed, and the desktop", kShellIsTheWindow, true, {S_OK, 0}, {false, Rule::RemovedByProgram, 0}, true},
        {"removed, and cloaked", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, {false, Rule::RemovedByProgram, 0}, true},
        {"another desktop, shown from all", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL},
         {true, Rule::OnAnotherDesktop, 2, Query::Answered}, false, allDesktops, kElsewhere},
        {"another desktop, only this one shown", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, cloakedByShell, false, {},
         kElsewhere},
        {"filter 1, another desktop", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, cloakedByShell, false,
         {1u, std::nullopt, std::nullopt}, kElsewhere},
        {"shell cloak on this desktop, all shown", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, cloakedByShell, false,
         allDesktops, kThisDesktop},
        {"shell cloak, no desktop manager", kNoShell, true, {S_OK, DWM_CLOAKED_SHELL}, cloakedByShell, false,
         allDesktops, kNoManager},
        {"app and shell cloak, all shown", kNoShell, true, {S_OK, DWM_CLOAKED_APP | DWM_CLOAKED_SHELL},
         {false, Rule::Cloaked, 3, Query::Answered}, false, allDesktops, kElsewhere},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vantrel::platform::ScopedApiOverride api;
        api->GetShellWindow = &FakeGetShellWindow;
        api->DwmGetWindowAttribute = c.functionPresent ? &FakeDwmGetWindowAttribute : nullptr;
        api->CoCreateInstance = c.desktop == kNoManager ? nullptr : &testsupport::FakeCoCreateInstance;
        cloakAnswer = c.answer;
        for (HWND window : {plain.Get(), appWindow.Get()}) {
            const HWND other = window == plain.Get() ? appWindow.Get() : plain.Get();
            shellWindow = c.shell == kNoShell ? nullptr : c.shell == kShellIsTheWindow ? window : other;
            testsupport::Desktops() = {window, c.desktop != kElsewhere};
            // A real property, as DeleteTab leaves it, read as any other process reads it.
            if (c.removed) ::SetPropW(window, L"ITaskList_Deleted", reinterpret_cast<HANDLE>(1));
            TaskbarVerdict expected = c.expected;
            if (expected.rule == Rule::Unowned && window == appWindow.Get()) expected.rule = Rule::AppWindow;
            ExpectVerdict(expected, window, c.settings);
            ::RemovePropW(window, L"ITaskList_Deleted");
            // COM was joined for the question about the desktop, and left, and the manager given back.
            EXPECT_EQ(0u, testsupport::Desktops().references);
            EXPECT_EQ(c.desktop != kNoManager && c.settings.ShowsAllDesktops() && c.answer.cloaked == DWM_CLOAKED_SHELL,
                      testsupport::Desktops().queries > 0);
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

    vantrel::platform::ScopedApiOverride api;
    api->DwmGetWindowAttribute = &FakeDwmGetWindowAttribute;
    cloakAnswer = {S_OK, 0};
    TestWindow ghostWindow({L"hung", kVisible, 0, nullptr, {100, 100, 300, 300}, L"Ghost"});
    TestWindow ghostApp({L"hung app", kVisible, WS_EX_APPWINDOW, nullptr, {100, 100, 300, 300}, L"Ghost"});
    TestWindow ordinary({L"ordinary", kVisible});

    ExpectVerdict({false, Rule::Ghost, 0}, ghostWindow.Get());
    EXPECT_EQ(atom, GhostClassAtom);
    ExpectVerdict({true, Rule::AppWindow, 0, Query::Answered}, ghostApp.Get());
    ExpectVerdict({true, Rule::Unowned, 0, Query::Answered}, ordinary.Get());

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
