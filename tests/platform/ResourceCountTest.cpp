// The leak tests are only as good as their counters: each must see one more object of its kind
// while one is held, and be back once it is released.
#include "tests/support/ResourceCount.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace platformtest {

using testsupport::CountProcessResources;
using testsupport::ResourceCounts;

namespace {

void HoldOneOfEachKind(const std::function<void(const ResourceCounts&)>& whileHeld)
{
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(nullptr, event);
    ASSERT_NE(nullptr, brush);
    {
        testsupport::TestWindow window(testsupport::WindowOptions{L"counted", WS_OVERLAPPEDWINDOW, 0, nullptr});
        HWND child =
            ::CreateWindowExW(0, L"STATIC", L"child", WS_CHILD, 0, 0, 10, 10, window.Get(), nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, child);
        const ResourceCounts held = CountProcessResources();
        whileHeld(held);
    }
    ::DeleteObject(brush);
    ::CloseHandle(event);
}

} // namespace

TEST(ResourceCount, EachCounterSeesTheObjectsOfItsKindComeAndGo)
{
    // The first round loads what the window system and GDI load once per process, counting
    // included.
    HoldOneOfEachKind([](const ResourceCounts&) {});
    const ResourceCounts start = CountProcessResources();
    EXPECT_NE(0u, start.handles);

    HoldOneOfEachKind([&](const ResourceCounts& held) {
        EXPECT_EQ(start.handles + 1, held.handles);
        EXPECT_EQ(start.gdiObjects + 1, held.gdiObjects);
        // Wine adds a default input-method window to a thread's first window.
        EXPECT_LE(start.userObjects + 2, held.userObjects);
    });
    const ResourceCounts end = CountProcessResources();
    EXPECT_EQ(start, end) << Describe(start) << " / " << Describe(end);
}

// A handle kept while hundreds opened before it are closed again sits far above the others.
TEST(ResourceCount, AHandleAboveAWideGapIsCounted)
{
    const DWORD start = testsupport::ProcessHandleCount();
    std::vector<HANDLE> events(600);
    for (HANDLE& event : events) event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    for (std::size_t i = 0; i + 1 < events.size(); ++i) ::CloseHandle(events[i]);
    ASSERT_NE(nullptr, events.back());
    EXPECT_EQ(start + 1, testsupport::ProcessHandleCount());
    ::CloseHandle(events.back());
    EXPECT_EQ(start, testsupport::ProcessHandleCount());
}

} // namespace platformtest
