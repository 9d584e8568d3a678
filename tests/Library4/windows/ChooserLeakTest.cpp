// The window choosers and their collectors, each run a thousand times over real windows of another
// process and of this one, and on their out-of-memory path: the handles, GDI and USER objects of
// the process must be where they were, no block may stay allocated, and every run must still
// choose the same, right window.
#include "Library4/Shell/ShellWindows.h"

#include "platform/Win32Api.h"
#include "tests/Library4/windows/AllocationFailure.h"
#include "tests/Library4/windows/PopupWindows.h"
#include "tests/Library4/windows/ScriptedWindows.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/ResourceCount.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <set>
#include <string>
#include <vector>

namespace windowtest {

namespace {

using namespace Library4::Shell;
using testsupport::ExpectNoResourceLeak;
using testsupport::TestWindow;

constexpr int kIterations = 1000;

// One process's windows, laid out so that every chooser has a real choice to make:
//   main     visible, unowned; holds the keyboard focus on a control titled like `second`
//   second   visible, unowned, the largest client area
//   hidden   hidden, unowned: the window the best-window look-up is given
//   popup    visible, owned by main, plain frame
//   dialog   visible, owned by main, modal dialog frame
struct Layout {
    HWND main = nullptr;
    HWND second = nullptr;
    HWND hidden = nullptr;
    HWND popup = nullptr;
    HWND dialog = nullptr;
    DWORD processId = 0;
};

struct Operation {
    const char* name;
    std::function<bool()> runsRight; // runs the operation once; whether its answer was right
};

// Runs the collector in one pass of EnumWindows and compares what it gathered with `wanted`.
template <class Query>
bool Collects(WNDENUMPROC collector, DWORD processId, const std::set<HWND>& wanted)
{
    Query query;
    query.ProcessId = processId;
    ::EnumWindows(collector, reinterpret_cast<LPARAM>(&query));
    return !query.Failure && std::set<HWND>(query.List.begin(), query.List.end()) == wanted &&
           query.List.Size() == wanted.size();
}

std::vector<Operation> ChoosersAndCollectorsOver(const Layout& w)
{
    const std::set<HWND> taskbar{w.main, w.second};
    const std::set<HWND> visible{w.main, w.second, w.popup, w.dialog};
    return {
        {"FindMainWindow, by the focus title", [=] { return FindMainWindow(w.main) == w.second; }},
        {"FindMainWindow, given an owned window", [=] { return FindMainWindow(w.popup) == w.second; }},
        {"FindBestTopLevelWindow", [=] { return FindBestTopLevelWindow(w.hidden) == w.second; }},
        {"FindOwnedPopup", [=] { return FindOwnedPopup(w.main) == w.popup; }},
        {"FindOwnedPopup, of a window that owns none", [=] { return FindOwnedPopup(w.second) == nullptr; }},
        {"CollectTaskbarWindowsProc",
         [=] { return Collects<ProcessWindowQuery>(&CollectTaskbarWindowsProc, w.processId, taskbar); }},
        {"CollectVisibleTaskWindowsProc",
         [=] { return Collects<ProcessWindowQuery>(&CollectVisibleTaskWindowsProc, w.processId, visible); }},
        {"CollectVisibleWindowsProc",
         [=] { return Collects<OwnedPopupQuery>(&CollectVisibleWindowsProc, w.processId, visible); }},
    };
}

// Loops each operation and counts the runs that chose wrongly, so that an operation that starts
// failing after many runs shows as well as one that leaks. Allocations are counted too: the test
// binary's operator new keeps the tally.
void ExpectEachGivesBackWhatItTakes(const std::vector<Operation>& operations)
{
    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        int runs = 0;
        int wrong = 0;
        operation.runsRight();
        const long blocksBefore = windowtest::LiveAllocations();
        ExpectNoResourceLeak(
            [&] {
                ++runs;
                if (!operation.runsRight()) ++wrong;
            },
            kIterations);
        EXPECT_EQ(blocksBefore, windowtest::LiveAllocations());
        EXPECT_EQ(kIterations + 1, runs);
        EXPECT_EQ(0, wrong);
    }
}

// The layout as windows of this process.
class OwnWindows {
public:
    OwnWindows()
    {
        layout_.main = main_.Get();
        layout_.second = second_.Get();
        layout_.hidden = hidden_.Get();
        layout_.popup = popup_.Get();
        layout_.dialog = dialog_.Get();
        layout_.processId = ::GetCurrentProcessId();
        // The focus title: this thread's focus sits on a window titled like `second`.
        ::SetFocus(focus_.Get());
    }

    const Layout& Windows() const { return layout_; }
    HWND Focus() const { return focus_.Get(); }

private:
    TestWindow main_{Popup{L"own main"}.Options()};
    TestWindow second_{Popup{L"own second", 300, 200}.Options()};
    TestWindow hidden_{Popup{L"own hidden", 200, 100, nullptr, false}.Options()};
    TestWindow popup_{Popup{L"own popup", 200, 100, main_.Get()}.Options()};
    TestWindow dialog_{Popup{L"own dialog", 200, 100, main_.Get(), true, WS_EX_DLGMODALFRAME}.Options()};
    TestWindow focus_{windowtest::Child(L"own second", main_.Get())};
    Layout layout_;
};

} // namespace

TEST(ChooserLeak, OverWindowsOfAnotherProcess)
{
    using windowtest::ScriptedWindow;
    testsupport::HelperProcess helper(
        "scripted_windows",
        {Script(ScriptedWindow{L"v", L"main"}), Script(ScriptedWindow{L"v", L"second", L"", nullptr, 300, 200}),
         Script(ScriptedWindow{L"", L"hidden"}), Script(ScriptedWindow{L"v", L"popup", L"main"}),
         Script(ScriptedWindow{L"vd", L"dialog", L"main"}), windowtest::ScriptFocus(L"second", L"main")});
    Layout w;
    w.processId = helper.ProcessId();
    const std::pair<HWND*, const wchar_t*> byTitle[] = {{&w.main, L"main"},
                                                        {&w.second, L"second"},
                                                        {&w.hidden, L"hidden"},
                                                        {&w.popup, L"popup"},
                                                        {&w.dialog, L"dialog"}};
    for (const auto& [window, title] : byTitle) {
        *window = testsupport::FindWindowByTitle(w.processId, title);
        ASSERT_NE(nullptr, *window) << title;
    }
    ExpectEachGivesBackWhatItTakes(ChoosersAndCollectorsOver(w));
}

TEST(ChooserLeak, OverWindowsOfThisProcess)
{
    OwnWindows own;
    ASSERT_EQ(own.Focus(), ::GetFocus());
    ExpectEachGivesBackWhatItTakes(ChoosersAndCollectorsOver(own.Windows()));
}

TEST(ChooserLeak, ForegroundRootOwner)
{
    OwnWindows own;
    const Layout& w = own.Windows();
    // Bringing the popup to the front takes the focus from main, so this has a case of its own.
    ::SetForegroundWindow(w.popup);
    testsupport::PumpMessages();
    ASSERT_EQ(w.popup, ::GetForegroundWindow());
    ExpectEachGivesBackWhatItTakes({{"GetForegroundRootOwner", [=] { return GetForegroundRootOwner() == w.main; }}});
}

namespace {

// Runs the chooser with the nth allocation from now failing; whether it left by std::bad_alloc.
bool LeavesByBadAlloc(HWND (*choose)(HWND), HWND given, long failingAllocation)
{
    ScopedAllocationFailure failure(failingAllocation);
    try {
        choose(given);
    } catch (const std::bad_alloc&) {
        return failure.Triggered();
    }
    return false;
}

} // namespace

TEST(ChooserLeak, WhenTheListCannotGrow)
{
    OwnWindows own;
    const Layout& w = own.Windows();
    std::vector<Operation> operations;
    struct Chooser {
        const char* name;
        HWND (*choose)(HWND);
        HWND given;
    };
    const Chooser choosers[] = {{"FindMainWindow", &FindMainWindow, w.main},
                                {"FindBestTopLevelWindow", &FindBestTopLevelWindow, w.hidden},
                                {"FindOwnedPopup", &FindOwnedPopup, w.main}};
    // The first append, and the growth after the first.
    for (const Chooser& c : choosers) {
        for (const long failing : {1L, 2L}) {
            operations.push_back({c.name, [=] { return LeavesByBadAlloc(c.choose, c.given, failing); }});
        }
    }
    ExpectEachGivesBackWhatItTakes(operations);
}

namespace {

// Makes a window at every enumeration and keeps it: the fault the loops are there to catch.
std::vector<HWND> keptWindows;

BOOL WINAPI EnumWindowsKeepingAWindow(WNDENUMPROC proc, LPARAM lParam)
{
    const HWND kept = ::CreateWindowExW(0, testsupport::TestWindowClass(), L"kept", WS_POPUP, 0, 0, 10, 10, nullptr,
                                        nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (kept != nullptr) keptWindows.push_back(kept);
    return testsupport::SystemApi().EnumWindows(proc, lParam);
}

} // namespace

TEST(ChooserLeak, TheLeakLoopCatchesAChooserThatKeepsAWindow)
{
    OwnWindows own;
    const HWND given = own.Windows().main;
    const auto choose = [given] { FindOwnedPopup(given); };
    const int iterations = 20;
    // What a first run loads, and what counting loads. The trace also makes gtest hold, once, the
    // handle by which it watches this thread's thread-local state, which intercepting failures
    // below would otherwise make.
    SCOPED_TRACE("a window kept at every enumeration");
    choose();
    testsupport::CountProcessResources();
    const testsupport::ResourceCounts before = testsupport::CountProcessResources();
    testsupport::ExpectLeakReported([](auto& api) { api->EnumWindows = &EnumWindowsKeepingAWindow; },
                                    [&] { ExpectNoResourceLeak(choose, iterations); }, "more runs");
    // The counter saw each kept window, and nothing else.
    ASSERT_EQ(static_cast<std::size_t>(iterations + 1), keptWindows.size());
    const testsupport::ResourceCounts held = testsupport::CountProcessResources();
    EXPECT_EQ(before.userObjects + keptWindows.size(), held.userObjects);
    for (HWND window : keptWindows) ::DestroyWindow(window);
    EXPECT_EQ(before, testsupport::CountProcessResources());

    // The same chooser without the fault passes the same loop.
    ExpectNoResourceLeak(choose, iterations);
}

} // namespace windowtest
