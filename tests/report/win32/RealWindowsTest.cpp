// The live snapshot of a real desktop: another process's windows of every kind (one its program
// removed from the taskbar), each explained by the rule that decides it, and the windows with a
// button exactly the records of vantrel.exe's log of the same desktop. Its page is left for the
// browser check that follows (tests/CMakeLists.txt).
#include "report/win32/LiveCollection.h"
#include "report/page/LivePage.h"
#include "report/reading/LogReader.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

namespace livetest {

namespace {

using report::TaskbarRule;
constexpr DWORD kVisible = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
constexpr RECT kOnScreen{100, 100, 500, 400};

// One window per rule, titled "live <name>"; an owner is named by its row.
struct Kind {
    const wchar_t* name;
    DWORD style, exStyle;
    int owner; // -1: none
    RECT rect;
    bool shown;
    TaskbarRule rule;
};
// clang-format off
const Kind kKinds[] = {
    {L"plain", kVisible, 0, -1, kOnScreen, true, TaskbarRule::Unowned},
    {L"hidden", WS_OVERLAPPEDWINDOW, 0, -1, kOnScreen, false, TaskbarRule::Hidden},
    {L"tool", kVisible, WS_EX_TOOLWINDOW, -1, kOnScreen, false, TaskbarRule::ToolWindow},
    {L"tool app", kVisible, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, -1, kOnScreen, true, TaskbarRule::AppWindow},
    {L"no-activate", kVisible, WS_EX_NOACTIVATE, -1, kOnScreen, false, TaskbarRule::NoActivate},
    {L"owned", kVisible, 0, 0, kOnScreen, false, TaskbarRule::Owned},
    {L"owned app", kVisible, WS_EX_APPWINDOW, 0, kOnScreen, true, TaskbarRule::AppWindow},
    {L"owned by hidden", kVisible, 0, 1, kOnScreen, false, TaskbarRule::Owned},
    {L"off every monitor", kVisible, 0, -1, {-30000, -30000, -29600, -29700}, true, TaskbarRule::Unowned},
    {L"removed by its program", kVisible, 0, -1, kOnScreen, false, TaskbarRule::RemovedByProgram},
};
// clang-format on

VANTREL_TEST_HELPER(OwnsOneWindowPerRule)
{
    std::vector<std::unique_ptr<testsupport::TestWindow>> windows;
    for (const Kind& kind : kKinds) {
        const HWND owner = kind.owner < 0 ? nullptr : windows[static_cast<std::size_t>(kind.owner)]->Get();
        windows.push_back(std::make_unique<testsupport::TestWindow>(testsupport::WindowOptions{
            std::wstring(L"live ") + kind.name, kind.style, kind.exStyle, owner, kind.rect}));
        // The mark that ITaskbarList::DeleteTab leaves, as the shell sets it in the window's own process.
        if (kind.rule == TaskbarRule::RemovedByProgram)
            ::SetPropW(windows.back()->Get(), L"ITaskList_Deleted", reinterpret_cast<HANDLE>(1));
    }
    return testsupport::SignalReadyAndServe();
}

// Every field that the log writes.
auto Fields(const report::LoggedWindow& r)
{
    const report::Rect& w = r.window;
    const report::Rect& c = r.client;
    return std::make_tuple(r.hwnd, r.exe, r.title, r.className, r.atom, r.style, r.exStyle, r.parent, r.owner,
                           r.getParent, w.left, w.top, w.right, w.bottom, c.left, c.top, c.right, c.bottom, r.maximized,
                           r.minimized);
}

} // namespace

TEST(LiveSnapshotOfRealWindows, ExplainsEachRuleAndItsButtonsAreTheLogsRecords)
{
    testsupport::HelperProcess helper("OwnsOneWindowPerRule");
    testsupport::TempFolder folder;
    const std::wstring log = folder.File(L"vantrel.txt");
    ASSERT_EQ(0u, apptest::RunProgram(apptest::CopyProgramAs(folder, L"vantrel.exe"), log).exitCode);
    const report::LiveSnapshot snapshot = report::TakeSnapshot();
    report::StringSink page;
    report::WriteLivePage(snapshot, page);
    testsupport::WriteBytes(VANTREL_LIVE_DESKTOP_PAGE, page.text);

    std::vector<const report::LiveWindow*> found;
    for (const Kind& kind : kKinds) {
        const std::string title = apptest::AsLogBytes(std::wstring(L"live ") + kind.name);
        const auto window = std::find_if(snapshot.windows.begin(), snapshot.windows.end(),
                                         [&](const report::LiveWindow& w) { return w.record.title == title; });
        ASSERT_NE(snapshot.windows.end(), window) << title;
        found.push_back(&*window);
        EXPECT_EQ(kind.shown, window->shown) << title;
        EXPECT_EQ(kind.rule, window->rule) << title;
        EXPECT_EQ(kind.rect.left >= 0, window->monitor.has_value()) << title;
        EXPECT_TRUE((report::Rect{kind.rect.left, kind.rect.top, kind.rect.right, kind.rect.bottom} == window->normal))
            << title;
        const report::LiveWindow* owner = kind.owner < 0 ? nullptr : found[static_cast<std::size_t>(kind.owner)];
        EXPECT_EQ(owner, window->owner ? &snapshot.windows[*window->owner] : nullptr) << title;
        EXPECT_EQ(owner != nullptr && owner->shown, window->ownerShown) << title;
    }

    const report::Log logged = report::ReadLog(testsupport::ReadBytes(log));
    EXPECT_TRUE(logged.unreadable.empty());
    std::vector<decltype(Fields(logged.records[0]))> inLog, withButton;
    for (const report::LoggedWindow& record : logged.records) inLog.push_back(Fields(record));
    for (const report::LiveWindow& window : snapshot.windows) {
        if (window.shown) withButton.push_back(Fields(window.record));
    }
    std::sort(inLog.begin(), inLog.end());
    std::sort(withButton.begin(), withButton.end());
    EXPECT_EQ(inLog, withButton);
}

} // namespace livetest
