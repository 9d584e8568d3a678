#include "Library4/Shell/ShellWindows.h"

#include "tests/Library4/windows/ScriptedWindows.h"
#include "tests/Library4/windows/PopupWindows.h"
#include "tests/support/HelperProcess.h"

#include <gtest/gtest.h>

namespace windowtest {

namespace {

using Library4::Shell::FindMainWindow;
using testsupport::TestWindow;

TEST(MainWindow, GivenWindowWhenItsProcessHasNoTaskbarWindow)
{
    TestWindow hidden(Popup{L"hidden", 300, 200, nullptr, false}.Options());
    TestWindow child(windowtest::Child(L"child", hidden.Get()));

    EXPECT_EQ(child.Get(), FindMainWindow(child.Get()));
    EXPECT_EQ(hidden.Get(), FindMainWindow(hidden.Get()));
    EXPECT_EQ(nullptr, FindMainWindow(nullptr));
}

TEST(MainWindow, TheOnlyTaskbarWindowWhicheverWindowIsGiven)
{
    TestWindow taskbar(Popup{L"taskbar"}.Options());
    TestWindow hidden(Popup{L"hidden", 300, 200, nullptr, false}.Options());
    TestWindow owned(Popup{L"owned", 300, 200, hidden.Get()}.Options());
    TestWindow tool(Popup{L"tool", 300, 200, nullptr, true, WS_EX_TOOLWINDOW}.Options());

    for (HWND given : {taskbar.Get(), hidden.Get(), owned.Get(), tool.Get()}) {
        EXPECT_EQ(taskbar.Get(), FindMainWindow(given));
    }
}

TEST(MainWindow, AmongBareUnownedFramesTheGivenWindowsOwner)
{
    // Another process's window with a client area would send the choice to the focus title, were
    // it collected.
    testsupport::HelperProcess helper("scripted_windows", {Script({L"v", L"foreign frame"})});
    TestWindow first(Popup{L"first", 0, 0}.Options());
    TestWindow second(Popup{L"second", 0, 0}.Options());
    TestWindow elsewhere(Popup{L"elsewhere", 300, 200, nullptr, false}.Options());

    struct Case {
        const char* name;
        HWND owner;
        bool ownerIsAnswer;
    };
    const Case cases[] = {
        {"owned by the second", second.Get(), true},
        {"owned by the first", first.Get(), true},
        {"no owner", nullptr, false},
        {"owned by a window that is no taskbar window", elsewhere.Get(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestWindow given(Popup{L"given", 300, 200, c.owner, false}.Options());
        EXPECT_EQ(c.ownerIsAnswer ? c.owner : given.Get(), FindMainWindow(given.Get()));
    }
}

TEST(MainWindow, OwnerDecidesOnlyWhenEveryTaskbarWindowIsABareUnownedFrame)
{
    TestWindow bare(Popup{L"bare", 0, 0}.Options());
    TestWindow framed(Popup{L"framed", 300, 200}.Options());
    TestWindow given(Popup{L"given", 300, 200, bare.Get(), false}.Options());
    // Without a focus window the title search has nothing to go by.
    ::SetFocus(nullptr);
    ASSERT_EQ(nullptr, ::GetFocus());

    EXPECT_EQ(given.Get(), FindMainWindow(given.Get()));
}

// The helper's windows: two taskbar windows and a tool window (no taskbar window) holding an edit
// control with the keyboard focus of the helper's thread.
struct FocusCase {
    const char* name;
    std::wstring firstTitle;
    std::wstring secondTitle;
    std::wstring focusText;
    bool hasFocus;
    enum Given { Container, FirstEnumerated, Second } given;
    enum Answer { TheGiven, FirstWithFocusTitle, SecondTaskbar, FirstTaskbar } answer;
};

const std::wstring k999(999, L'a');

const FocusCase kFocusCases[] = {
    {"focus titled like the second", L"Doc A", L"Doc B", L"Doc B", true, FocusCase::Container,
     FocusCase::SecondTaskbar},
    {"focus titled like the first", L"Doc A", L"Doc B", L"Doc A", true, FocusCase::Container, FocusCase::FirstTaskbar},
    {"both titled alike: the first in enumeration order", L"Same", L"Same", L"Same", true, FocusCase::Container,
     FocusCase::FirstWithFocusTitle},
    {"the given window is skipped", L"Same", L"Same", L"Same", true, FocusCase::FirstEnumerated,
     FocusCase::FirstWithFocusTitle},
    {"only the given window carries the title", L"Doc A", L"Doc B", L"Doc B", true, FocusCase::Second,
     FocusCase::TheGiven},
    {"no focus window", L"Doc A", L"Doc B", L"", false, FocusCase::Container, FocusCase::TheGiven},
    {"focus window with an empty title", L"", L"Doc B", L"", true, FocusCase::Container, FocusCase::TheGiven},
    {"titles differing in letter case are not equal", L"Doc A", L"Doc B", L"doc b", true, FocusCase::Container,
     FocusCase::TheGiven},
    {"no taskbar window titled alike", L"Doc A", L"Doc B", L"Doc C", true, FocusCase::Container, FocusCase::TheGiven},
    {"titles agreeing in their first 999 characters are equal", k999 + std::wstring(201, L'x'), L"Doc B",
     k999 + std::wstring(201, L'y'), true, FocusCase::Container, FocusCase::FirstTaskbar},
    {"titles differing in their 999th character are not equal", k999.substr(1) + L"x", L"Doc B", k999.substr(1) + L"y",
     true, FocusCase::Container, FocusCase::TheGiven},
};

TEST(MainWindow, TitleOfTheFocusWindowInTheGivenWindowsThread)
{
    for (const FocusCase& c : kFocusCases) {
        SCOPED_TRACE(c.name);
        std::vector<std::wstring> script = {Script({L"v", c.firstTitle}), Script({L"ve", c.secondTitle}),
                                            Script({L"vt", L"container"})};
        script.push_back(c.hasFocus ? ScriptFocus(c.focusText, L"container") : windowtest::ScriptNoFocus());
        testsupport::HelperProcess helper("scripted_windows", script);
        const DWORD pid = helper.ProcessId();

        const HWND container = testsupport::FindWindowByTitle(pid, L"container");
        ASSERT_NE(nullptr, container);
        // Titles may repeat, so the taskbar windows are told apart by their client areas.
        HWND first = nullptr;
        HWND second = nullptr;
        std::vector<HWND> taskbarInOrder;
        for (HWND hwnd : testsupport::WindowsOfProcess(pid)) {
            if (hwnd == container || !Library4::Shell::IsTaskbarWindow(hwnd)) continue;
            taskbarInOrder.push_back(hwnd);
            RECT client{};
            ::GetClientRect(hwnd, &client);
            (client.right > 0 ? first : second) = hwnd;
        }
        ASSERT_EQ(2u, taskbarInOrder.size());
        ASSERT_NE(nullptr, first);
        ASSERT_NE(nullptr, second);

        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(container, nullptr), &info));
        ASSERT_EQ(c.hasFocus, info.hwndFocus != nullptr);
        const HWND given = c.given == FocusCase::Container         ? container
                           : c.given == FocusCase::FirstEnumerated ? taskbarInOrder[0]
                                                                   : second;
        HWND expected = given;
        if (c.answer == FocusCase::SecondTaskbar) expected = second;
        if (c.answer == FocusCase::FirstTaskbar) expected = first;
        if (c.answer == FocusCase::FirstWithFocusTitle) {
            expected = taskbarInOrder[0] == given ? taskbarInOrder[1] : taskbarInOrder[0];
        }
        EXPECT_EQ(expected, FindMainWindow(given));
    }
}

} // namespace

} // namespace windowtest
