#include "Library4/Shell/ShellWindows.h"

#include "platform/Win32Api.h"
#include "tests/Library4/windows/ScriptedWindows.h"
#include "tests/Library4/windows/PopupWindows.h"
#include "tests/support/ApiFakes.h"
#include "tests/support/HelperProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace windowtest {

namespace {

using namespace Library4::Shell;
using testsupport::TestWindow;
using testsupport::WindowOptions;

enum class Relation { None, Owned, Child };

struct PredicateCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
    int width;
    int height;
    Relation relation;
    bool hasClientArea;
    bool visibleTask;
    bool unownedTask;
};

const DWORD kVisiblePopup = WS_POPUP | WS_VISIBLE;

const PredicateCase kPredicateCases[] = {
    {"visible unowned with client area", kVisiblePopup, 0, 200, 100, Relation::None, true, true, false},
    {"visible unowned zero wide", kVisiblePopup, 0, 0, 100, Relation::None, false, false, true},
    {"visible unowned zero high", kVisiblePopup, 0, 200, 0, Relation::None, false, false, true},
    {"visible unowned one pixel", kVisiblePopup, 0, 1, 1, Relation::None, true, true, false},
    {"visible owned with client area", kVisiblePopup, 0, 200, 100, Relation::Owned, true, true, false},
    {"visible owned empty", kVisiblePopup, 0, 0, 0, Relation::Owned, false, false, false},
    {"visible tool window", kVisiblePopup, WS_EX_TOOLWINDOW, 200, 100, Relation::None, true, true, false},
    {"hidden with client area", WS_POPUP, 0, 200, 100, Relation::None, true, false, false},
    {"hidden empty unowned", WS_POPUP, 0, 0, 0, Relation::None, false, false, false},
    {"child with client area", WS_CHILD | WS_VISIBLE, 0, 200, 100, Relation::Child, true, false, false},
    {"child empty", WS_CHILD | WS_VISIBLE, 0, 0, 0, Relation::Child, false, false, false},
};

TEST(WindowPredicates, AnswerForEachKindOfWindow)
{
    for (const PredicateCase& c : kPredicateCases) {
        SCOPED_TRACE(c.name);
        // A visible owner or parent: only the relation itself should matter.
        TestWindow other(Popup{L"other", 300, 300}.Options());
        WindowOptions options;
        options.title = L"subject";
        options.style = c.style;
        options.exStyle = c.exStyle;
        options.parentOrOwner = c.relation == Relation::None ? nullptr : other.Get();
        options.rect = RECT{10, 10, 10 + c.width, 10 + c.height};
        TestWindow subject(options);

        EXPECT_EQ(c.hasClientArea, HasClientArea(subject.Get()));
        EXPECT_EQ(c.visibleTask, IsVisibleTaskWindow(subject.Get()));
        EXPECT_EQ(c.unownedTask, IsUnownedTaskWindow(subject.Get()));
    }
}

TEST(WindowPredicates, HandlesThatAreNoWindowAnswerFalse)
{
    HWND destroyed = nullptr;
    {
        TestWindow gone(Popup{L"gone"}.Options());
        destroyed = gone.Get();
    }
    for (HWND hwnd : {static_cast<HWND>(nullptr), destroyed}) {
        EXPECT_FALSE(HasClientArea(hwnd));
        EXPECT_FALSE(IsVisibleTaskWindow(hwnd));
        EXPECT_FALSE(IsUnownedTaskWindow(hwnd));
    }
}

BOOL WINAPI FailingGetClientRect(HWND, LPRECT) { return FALSE; }

TEST(WindowPredicates, UnreadableClientRectangleCountsAsEmpty)
{
    TestWindow window(Popup{L"large", 400, 300}.Options());
    vantrel::platform::ScopedApiOverride api;
    api->GetClientRect = &FailingGetClientRect;
    EXPECT_FALSE(HasClientArea(window.Get()));
    EXPECT_FALSE(IsVisibleTaskWindow(window.Get()));
    EXPECT_TRUE(IsUnownedTaskWindow(window.Get()));
}

// Windows of this process of every kind the collectors tell apart, beside another process's.
class ProcessWindowCollectors : public ::testing::Test {
protected:
    TestWindow taskbar{Popup{L"taskbar"}.Options()};
    TestWindow owned{Popup{L"owned", 200, 100, taskbar.Get()}.Options()};
    TestWindow empty{Popup{L"empty", 0, 0}.Options()};
    TestWindow hidden{Popup{L"hidden", 200, 100, nullptr, false}.Options()};
    testsupport::HelperProcess helper{"scripted_windows",
                                      {windowtest::Script({L"v", L"foreign"}),
                                       windowtest::Script({L"v", L"foreign owned", L"foreign"}),
                                       windowtest::Script({L"", L"foreign hidden"})}};
};

// Runs a collector over all top-level windows; each collector fills its own kind of query.
template <class Query>
std::vector<HWND> Collect(WNDENUMPROC collector, DWORD processId)
{
    Query query;
    query.ProcessId = processId;
    EXPECT_TRUE(::EnumWindows(collector, reinterpret_cast<LPARAM>(&query)))
        << "a collector stopped the enumeration early";
    EXPECT_FALSE(query.Failure);
    return {query.List.begin(), query.List.end()};
}

TEST_F(ProcessWindowCollectors, CollectEachProcessWindowThatPassesInEnumerationOrder)
{
    const DWORD self = ::GetCurrentProcessId();
    const DWORD other = helper.ProcessId();
    const HWND foreign = testsupport::FindWindowByTitle(other, L"foreign");
    const HWND foreignOwned = testsupport::FindWindowByTitle(other, L"foreign owned");
    ASSERT_NE(nullptr, foreign);
    ASSERT_NE(nullptr, foreignOwned);

    struct Case {
        const char* name;
        WNDENUMPROC collector;
        DWORD processId;
        std::set<HWND> expected;
    };
    const Case cases[] = {
        {"taskbar windows", &CollectTaskbarWindowsProc, self, {taskbar.Get(), empty.Get()}},
        {"visible task windows", &CollectVisibleTaskWindowsProc, self, {taskbar.Get(), owned.Get()}},
        {"visible windows", &CollectVisibleWindowsProc, self, {taskbar.Get(), owned.Get(), empty.Get()}},
        {"other process's taskbar windows", &CollectTaskbarWindowsProc, other, {foreign}},
        {"other process's visible task windows", &CollectVisibleTaskWindowsProc, other, {foreign, foreignOwned}},
        {"other process's visible windows", &CollectVisibleWindowsProc, other, {foreign, foreignOwned}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto expected = windowtest::InOrder(testsupport::WindowsOfProcess(c.processId), c.expected);
        ASSERT_EQ(c.expected.size(), expected.size());

        const std::vector<HWND> collected = c.collector == &CollectVisibleWindowsProc
                                                ? Collect<OwnedPopupQuery>(c.collector, c.processId)
                                                : Collect<ProcessWindowQuery>(c.collector, c.processId);
        EXPECT_EQ(expected, collected);
    }
}

std::set<HWND> processIdQueries;

DWORD WINAPI RecordingGetWindowThreadProcessId(HWND hwnd, LPDWORD processId)
{
    processIdQueries.insert(hwnd);
    return testsupport::SystemApi().GetWindowThreadProcessId(hwnd, processId);
}

TEST_F(ProcessWindowCollectors, VisibleWindowsCollectorReadsNoProcessOfHiddenWindows)
{
    vantrel::platform::ScopedApiOverride api;
    api->GetWindowThreadProcessId = &RecordingGetWindowThreadProcessId;
    OwnedPopupQuery query;
    query.ProcessId = ::GetCurrentProcessId();
    EXPECT_TRUE(CollectVisibleWindowsProc(hidden.Get(), reinterpret_cast<LPARAM>(&query)));
    EXPECT_TRUE(CollectVisibleWindowsProc(taskbar.Get(), reinterpret_cast<LPARAM>(&query)));
    EXPECT_EQ(std::set<HWND>{taskbar.Get()}, processIdQueries);
    ASSERT_EQ(1u, query.List.Size());
    EXPECT_EQ(taskbar.Get(), query.List[0]);
}

} // namespace

} // namespace windowtest
