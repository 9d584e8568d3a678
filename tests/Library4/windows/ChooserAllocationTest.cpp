#include "Library4/Shell/ShellWindows.h"

#include "platform/Win32Api.h"
#include "tests/Library4/windows/AllocationFailure.h"
#include "tests/Library4/windows/PopupWindows.h"
#include "tests/support/ApiFakes.h"

#include <gtest/gtest.h>

#include <new>

namespace windowtest {

namespace {

using namespace Library4::Shell;
using testsupport::TestWindow;

// Windows that every collector takes: visible, unowned, with a client area.
class ChooserAllocation : public ::testing::Test {
protected:
    TestWindow given{Popup{L"given", 300, 200, nullptr, false}.Options()};
    TestWindow first{Popup{L"first"}.Options()};
    TestWindow second{Popup{L"second"}.Options()};
    TestWindow third{Popup{L"third"}.Options()};
};

struct Collector {
    const char* name;
    WNDENUMPROC proc;
    bool ownedPopupQuery;
};

const Collector kCollectors[] = {
    {"CollectTaskbarWindowsProc", &CollectTaskbarWindowsProc, false},
    {"CollectVisibleTaskWindowsProc", &CollectVisibleTaskWindowsProc, false},
    {"CollectVisibleWindowsProc", &CollectVisibleWindowsProc, true},
};

template <class Query>
void ExpectStopsAndRecords(WNDENUMPROC proc, HWND hwnd)
{
    Query query;
    query.ProcessId = ::GetCurrentProcessId();
    ScopedAllocationFailure failure(1);
    EXPECT_EQ(FALSE, proc(hwnd, reinterpret_cast<LPARAM>(&query)));
    EXPECT_TRUE(failure.Triggered());
    EXPECT_EQ(0u, query.List.Size());
    ASSERT_TRUE(query.Failure);
    EXPECT_THROW(std::rethrow_exception(query.Failure), std::bad_alloc);
}

TEST_F(ChooserAllocation, CollectorStopsAndRecordsTheFailure)
{
    for (const Collector& c : kCollectors) {
        SCOPED_TRACE(c.name);
        if (c.ownedPopupQuery) {
            ExpectStopsAndRecords<OwnedPopupQuery>(c.proc, first.Get());
        } else {
            ExpectStopsAndRecords<ProcessWindowQuery>(c.proc, first.Get());
        }
    }
}

// Sits between EnumWindows and the collector to see whether anything unwinds out of it.
WNDENUMPROC collector = nullptr;
bool escaped = false;
int stops = 0;

BOOL CALLBACK WatchingCollector(HWND hwnd, LPARAM lParam)
{
    try {
        const BOOL goOn = collector(hwnd, lParam);
        if (!goOn) ++stops;
        return goOn;
    } catch (...) {
        escaped = true;
        return FALSE;
    }
}

BOOL WINAPI WatchedEnumWindows(WNDENUMPROC proc, LPARAM lParam)
{
    collector = proc;
    return testsupport::SystemApi().EnumWindows(&WatchingCollector, lParam);
}

TEST_F(ChooserAllocation, ChooserRethrowsOnceTheEnumerationIsOverAndReleasesItsList)
{
    struct Chooser {
        const char* name;
        HWND (*choose)(HWND);
    };
    const Chooser choosers[] = {
        {"FindMainWindow", &FindMainWindow},
        {"FindBestTopLevelWindow", &FindBestTopLevelWindow},
        {"FindOwnedPopup", &FindOwnedPopup},
    };
    vantrel::platform::ScopedApiOverride api;
    api->EnumWindows = &WatchedEnumWindows;
    for (const Chooser& chooser : choosers) {
        // The first append, and the growth after the first.
        for (const long failingAllocation : {1L, 2L}) {
            SCOPED_TRACE(std::string(chooser.name) + ", failing allocation " + std::to_string(failingAllocation));
            escaped = false;
            stops = 0;
            const long liveBefore = windowtest::LiveAllocations();
            bool threwBadAlloc = false;
            {
                ScopedAllocationFailure failure(failingAllocation);
                try {
                    chooser.choose(given.Get());
                } catch (const std::bad_alloc&) {
                    threwBadAlloc = true;
                }
                EXPECT_TRUE(failure.Triggered());
            }
            const long liveAfter = windowtest::LiveAllocations();
            EXPECT_TRUE(threwBadAlloc);
            EXPECT_FALSE(escaped) << "an exception left the collector through EnumWindows";
            EXPECT_EQ(1, stops);
            EXPECT_EQ(liveBefore, liveAfter) << "the list was not released";
        }
    }
}

TEST_F(ChooserAllocation, ChoosersWorkWhenNothingFails)
{
    // The same set-up without a failure, so that the failures above are the allocation's doing.
    ::SetFocus(second.Get());
    ASSERT_EQ(second.Get(), ::GetFocus());
    EXPECT_EQ(second.Get(), FindMainWindow(given.Get()));
    const HWND best = FindBestTopLevelWindow(given.Get());
    EXPECT_TRUE(best == first.Get() || best == second.Get() || best == third.Get());
    EXPECT_EQ(nullptr, FindOwnedPopup(given.Get()));
}

} // namespace

} // namespace windowtest
