#include "Library4/Shell/ShellWindows.h"

#include "tests/Library4/windows/ScriptedWindows.h"
#include "tests/Library4/windows/PopupWindows.h"
#include "tests/support/HelperProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace windowtest {

namespace {

using Library4::Shell::FindBestTopLevelWindow;
using testsupport::TestWindow;

enum class Owner { Given, None, Other };

struct Candidate {
    std::wstring title;
    Owner owner;
    int width;
    int height;
};

struct RankingCase {
    const char* name;
    std::wstring givenTitle;
    std::vector<Candidate> candidates;
    // The candidates with the greatest key; the first of them in enumeration order wins.
    std::set<std::size_t> best;
};

const std::wstring k999(999, L'a');

const RankingCase kRankingCases[] = {
    {"owned by the given window beats unowned, whatever titles and sizes",
     L"Editor",
     {{L"zzz", Owner::Given, 10, 10}, {L"Editor - a.txt", Owner::None, 800, 600}},
     {0}},
    {"owned by the given window beats owned by another",
     L"Editor",
     {{L"zzz", Owner::Given, 10, 10}, {L"Editor", Owner::Other, 800, 600}},
     {0}},
    {"unowned beats owned by another, whatever titles and sizes",
     L"Editor",
     {{L"Notes", Owner::None, 10, 10}, {L"Editor - a.txt", Owner::Other, 800, 600}},
     {0}},
    {"title containment beats area among windows owned by others",
     L"Editor",
     {{L"Editor - a.txt", Owner::Other, 400, 300}, {L"Notes", Owner::Other, 800, 600}},
     {0}},
    {"title containment beats area among unowned windows",
     L"Editor",
     {{L"Editor - a.txt", Owner::None, 400, 300}, {L"Notes", Owner::None, 800, 600}},
     {0}},
    {"containment is case-sensitive",
     L"editor",
     {{L"Editor - a.txt", Owner::None, 400, 300}, {L"Notes", Owner::None, 800, 600}},
     {1}},
    {"the larger area decides between containing titles",
     L"Editor",
     {{L"Editor - a", Owner::None, 400, 300}, {L"An Editor", Owner::None, 401, 300}},
     {1}},
    {"an empty given title leaves the decision to the area",
     L"",
     {{L"Editor", Owner::None, 400, 300}, {L"Notes", Owner::None, 800, 600}},
     {1}},
    {"equal keys: the first in enumeration order",
     L"Editor",
     {{L"Editor 1", Owner::None, 300, 200}, {L"Editor 2", Owner::None, 300, 200}},
     {0, 1}},
    {"equal keys among windows owned by the given window",
     L"Editor",
     {{L"a", Owner::Given, 300, 200}, {L"b", Owner::Given, 300, 200}},
     {0, 1}},
    {"each rank in turn among four",
     L"Editor",
     {{L"Notes", Owner::None, 100, 100},
      {L"Editor big", Owner::Other, 900, 700},
      {L"x", Owner::Given, 1, 1},
      {L"Editor", Owner::None, 50, 50}},
     {2}},
    {"only the first 999 characters of the given title are sought",
     k999 + std::wstring(200, L'b'),
     {{k999 + L"c", Owner::None, 10, 10}, {L"other", Owner::None, 800, 600}},
     {0}},
    {"only the first 999 characters of a candidate's title are searched",
     k999,
     {{L"x" + k999, Owner::None, 800, 600}, {k999, Owner::None, 10, 10}},
     {1}},
};

TEST(BestTopLevelWindow, RanksOwnershipThenTitleThenArea)
{
    for (const RankingCase& c : kRankingCases) {
        for (const bool reversed : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (reversed ? ", created last to first" : ", created first to last"));
            TestWindow given(Popup{c.givenTitle, 300, 200, nullptr, false}.Options());
            TestWindow otherOwner(Popup{L"other owner", 300, 200, nullptr, false}.Options());

            std::vector<std::unique_ptr<TestWindow>> windows(c.candidates.size());
            for (std::size_t n = 0; n < c.candidates.size(); ++n) {
                const std::size_t i = reversed ? c.candidates.size() - 1 - n : n;
                const Candidate& candidate = c.candidates[i];
                const HWND owner = candidate.owner == Owner::Given   ? given.Get()
                                   : candidate.owner == Owner::Other ? otherOwner.Get()
                                                                     : nullptr;
                windows[i] = std::make_unique<TestWindow>(
                    Popup{candidate.title, candidate.width, candidate.height, owner}.Options());
            }

            std::set<HWND> best;
            for (std::size_t i : c.best) best.insert(windows[i]->Get());
            const auto ordered = windowtest::InOrder(testsupport::WindowsOfProcess(::GetCurrentProcessId()), best);
            ASSERT_EQ(best.size(), ordered.size());

            EXPECT_EQ(ordered.front(), FindBestTopLevelWindow(given.Get()));
        }
    }
}

TEST(BestTopLevelWindow, VisibleTopLevelWindowWithClientAreaIsItsOwnBest)
{
    TestWindow given(Popup{L"Editor", 100, 100}.Options());
    TestWindow owned(Popup{L"Editor - owned", 800, 600, given.Get()}.Options());
    EXPECT_EQ(given.Get(), FindBestTopLevelWindow(given.Get()));
}

TEST(BestTopLevelWindow, HiddenOrChildWindowGetsTheOnlyCandidate)
{
    TestWindow hidden(Popup{L"hidden", 300, 200, nullptr, false}.Options());
    TestWindow emptyFrame(Popup{L"empty frame", 0, 0}.Options());
    TestWindow child(windowtest::Child(L"child", emptyFrame.Get()));
    TestWindow only(Popup{L"only", 300, 200, hidden.Get()}.Options());

    EXPECT_EQ(only.Get(), FindBestTopLevelWindow(hidden.Get()));
    EXPECT_EQ(only.Get(), FindBestTopLevelWindow(child.Get()));
}

TEST(BestTopLevelWindow, NullWithoutAnyCandidate)
{
    TestWindow hidden(Popup{L"hidden", 300, 200, nullptr, false}.Options());
    TestWindow emptyFrame(Popup{L"empty frame", 0, 0}.Options());
    TestWindow hiddenOwned(Popup{L"hidden owned", 300, 200, hidden.Get(), false}.Options());

    EXPECT_EQ(nullptr, FindBestTopLevelWindow(hidden.Get()));
    EXPECT_EQ(nullptr, FindBestTopLevelWindow(emptyFrame.Get()));
    EXPECT_EQ(nullptr, FindBestTopLevelWindow(nullptr));
}

TEST(BestTopLevelWindow, ChoosesOnlyAmongTheGivenWindowsProcess)
{
    using windowtest::Script;
    testsupport::HelperProcess helper("scripted_windows",
                                      {Script({L"", L"Editor"}), Script({L"v", L"Notes", L"", nullptr, 800, 600}),
                                       Script({L"v", L"Editor - a.txt", L"", nullptr, 40, 30})});
    const HWND foreignGiven = testsupport::FindWindowByTitle(helper.ProcessId(), L"Editor");
    const HWND foreignBest = testsupport::FindWindowByTitle(helper.ProcessId(), L"Editor - a.txt");
    ASSERT_NE(nullptr, foreignGiven);
    ASSERT_NE(nullptr, foreignBest);

    TestWindow given(Popup{L"Editor", 300, 200, nullptr, false}.Options());
    TestWindow small(Popup{L"Notes", 20, 20}.Options());
    TestWindow large(Popup{L"Tools", 100, 100}.Options());

    EXPECT_EQ(large.Get(), FindBestTopLevelWindow(given.Get()));
    EXPECT_EQ(foreignBest, FindBestTopLevelWindow(foreignGiven));
}

} // namespace

} // namespace windowtest
