#include "Library4/Shell/ShellWindows.h"

#include "tests/Library4/windows/ScriptedWindows.h"
#include "tests/Library4/windows/PopupWindows.h"
#include "tests/support/HelperProcess.h"

#include <gtest/gtest.h>

#include <memory>

namespace windowtest {

namespace {

using Library4::Shell::FindOwnedPopup;
using testsupport::TestWindow;

UINT_PTR Value(HWND hwnd) { return reinterpret_cast<UINT_PTR>(hwnd); }

TEST(OwnedPopup, PlainPopupFirstThenTheLowerHandle)
{
    struct Case {
        const char* name;
        DWORD firstExStyle;
        DWORD secondExStyle;
        bool lowerHandleWins; // else the first, the one without WS_EX_DLGMODALFRAME
    };
    const Case cases[] = {
        {"a plain popup beats a modal dialog", 0, WS_EX_DLGMODALFRAME, false},
        {"two plain popups: the lower handle", 0, 0, true},
        {"two modal dialogs: the lower handle", WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME, true},
    };
    for (const Case& c : cases) {
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (reversed ? ", created last to first" : ", created first to last"));
            TestWindow owner(Popup{L"owner"}.Options());
            const DWORD exStyles[] = {c.firstExStyle, c.secondExStyle};
            std::unique_ptr<TestWindow> popups[2];
            for (std::size_t n = 0; n < 2; ++n) {
                const std::size_t i = reversed ? 1 - n : n;
                popups[i] = std::make_unique<TestWindow>(
                    Popup{i == 0 ? L"first" : L"second", 200, 100, owner.Get(), true, exStyles[i]}.Options());
            }
            const HWND first = popups[0]->Get();
            const HWND second = popups[1]->Get();
            const HWND lower = Value(first) < Value(second) ? first : second;
            EXPECT_EQ(c.lowerHandleWins ? lower : first, FindOwnedPopup(owner.Get()));
        }
    }
}

TEST(OwnedPopup, OnlyVisibleWindowsOwnedDirectly)
{
    TestWindow top(Popup{L"top"}.Options());
    // The grand-child would be preferred for its plain frame, were it considered.
    TestWindow middle(Popup{L"middle", 200, 100, top.Get(), true, WS_EX_DLGMODALFRAME}.Options());
    TestWindow bottom(Popup{L"bottom", 200, 100, middle.Get()}.Options());
    TestWindow hiddenPlain(Popup{L"hidden plain", 200, 100, top.Get(), false}.Options());
    TestWindow unrelated(Popup{L"unrelated"}.Options());

    EXPECT_EQ(middle.Get(), FindOwnedPopup(top.Get()));
    EXPECT_EQ(bottom.Get(), FindOwnedPopup(middle.Get()));
    EXPECT_EQ(nullptr, FindOwnedPopup(bottom.Get()));
    EXPECT_EQ(nullptr, FindOwnedPopup(hiddenPlain.Get()));
}

TEST(OwnedPopup, NullWhenTheOwnedWindowsAreHidden)
{
    TestWindow owner(Popup{L"owner"}.Options());
    TestWindow hidden(Popup{L"hidden", 200, 100, owner.Get(), false}.Options());
    EXPECT_EQ(nullptr, FindOwnedPopup(owner.Get()));
    EXPECT_EQ(nullptr, FindOwnedPopup(nullptr));
}

TEST(OwnedPopup, IgnoresAnotherProcesssWindows)
{
    TestWindow owner(Popup{L"owner"}.Options());
    windowtest::ScriptedWindow foreign{L"v", L"foreign popup"};
    foreign.foreignOwner = owner.Get();
    testsupport::HelperProcess helper("scripted_windows", {windowtest::Script(foreign)});
    const HWND foreignPopup = testsupport::FindWindowByTitle(helper.ProcessId(), L"foreign popup");
    ASSERT_NE(nullptr, foreignPopup);
    ASSERT_EQ(owner.Get(), ::GetWindow(foreignPopup, GW_OWNER));

    EXPECT_EQ(nullptr, FindOwnedPopup(owner.Get()));

    // The foreign popup's plain frame would beat this modal dialog, were it considered.
    TestWindow dialog(Popup{L"dialog", 200, 100, owner.Get(), true, WS_EX_DLGMODALFRAME}.Options());
    EXPECT_EQ(dialog.Get(), FindOwnedPopup(owner.Get()));
}

} // namespace

} // namespace windowtest
