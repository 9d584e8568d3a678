#include "Library4/Shell/ShellWindows.h"

#include "platform/Win32Api.h"
#include "tests/support/ApiFakes.h"
#include "tests/Library4/windows/PopupWindows.h"

#include <gtest/gtest.h>

#include <map>

namespace windowtest {

namespace {

using Library4::Shell::GetForegroundRootOwner;
using testsupport::TestWindow;

TEST(ForegroundRootOwner, TopOfTheForegroundWindowsOwnerChain)
{
    TestWindow root(Popup{L"root"}.Options());
    TestWindow middle(Popup{L"middle", 200, 100, root.Get()}.Options());
    TestWindow leaf(Popup{L"leaf", 200, 100, middle.Get()}.Options());

    for (HWND foreground : {leaf.Get(), middle.Get(), root.Get()}) {
        ::SetForegroundWindow(foreground);
        testsupport::PumpMessages();
        ASSERT_EQ(foreground, ::GetForegroundWindow());
        EXPECT_EQ(root.Get(), GetForegroundRootOwner());
    }
}

HWND WINAPI NoForegroundWindow() { return nullptr; }

TEST(ForegroundRootOwner, NullWithoutForegroundWindow)
{
    vantrel::platform::ScopedApiOverride api;
    api->GetForegroundWindow = &NoForegroundWindow;
    EXPECT_EQ(nullptr, GetForegroundRootOwner());
}

// An owner relation the window system would never allow: owners that come back round.
HWND fakeForeground = nullptr;
std::map<HWND, HWND> fakeOwners;
int ownerQueries = 0;
constexpr int kOwnerQueryLimit = 1000;

HWND WINAPI FakeForegroundWindow() { return fakeForeground; }

HWND WINAPI FakeGetWindow(HWND hwnd, UINT command)
{
    if (command != GW_OWNER) return testsupport::SystemApi().GetWindow(hwnd, command);
    // Ends a walk that would never end by itself; the test then fails on the count.
    if (++ownerQueries > kOwnerQueryLimit) return nullptr;
    const auto found = fakeOwners.find(hwnd);
    return found != fakeOwners.end() ? found->second : nullptr;
}

TEST(ForegroundRootOwner, StopsBeforeAnOwnerComesRoundAgain)
{
    TestWindow a(Popup{L"a"}.Options());
    TestWindow b(Popup{L"b"}.Options());
    TestWindow c(Popup{L"c"}.Options());
    TestWindow d(Popup{L"d"}.Options());
    const HWND A = a.Get(), B = b.Get(), C = c.Get(), D = d.Get();

    struct Case {
        const char* name;
        std::map<HWND, HWND> owners;
        HWND expected;
    };
    const Case cases[] = {
        {"a chain without a ring", {{A, B}, {B, C}}, C},
        {"a window that owns itself", {{A, A}}, A},
        {"two windows in a ring", {{A, B}, {B, A}}, B},
        {"three windows in a ring", {{A, B}, {B, C}, {C, A}}, C},
        {"a ring entered further up", {{A, B}, {B, C}, {C, D}, {D, B}}, D},
        {"a ring at the top of a chain", {{A, B}, {B, C}, {C, D}, {D, D}}, D},
    };
    vantrel::platform::ScopedApiOverride api;
    api->GetForegroundWindow = &FakeForegroundWindow;
    api->GetWindow = &FakeGetWindow;
    fakeForeground = A;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakeOwners = c.owners;
        ownerQueries = 0;
        EXPECT_EQ(c.expected, GetForegroundRootOwner());
        EXPECT_LE(ownerQueries, kOwnerQueryLimit);
    }
}

} // namespace

} // namespace windowtest
