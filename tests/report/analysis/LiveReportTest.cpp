// The live model as a value, before any of it is markup: which windows have a button, the groups
// of those without, the findings, the taskbars that show a button, and where the map puts each
// window.
#include "report/analysis/LiveReport.h"

#include "tests/report/SampleSnapshot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace reporttest {

namespace {

using report::Known;
using report::LiveSnapshot;
using report::LiveWindow;
using report::Rect;
using Rule = report::TaskbarRule;

} // namespace

// Where the model puts one window beside an ordinary one, on the first of two monitors: the
// findings that name it, and the map's place for it, or none when it is not drawn.
TEST(LiveReport, NamesEachWindowOnlyWhereWhatItSaysHolds)
{
    enum Place { kTogether, kFar, kParked, kUndrawn };
    using Kind = report::LiveFindingKind;
    constexpr Known kHere = Known::Yes, kElsewhere = Known::No;
    const struct {
        const char* what;
        Rule rule;
        bool onMonitor, parked, minimized, hung;
        std::uint32_t cloak;
        Known desktop;
        std::vector<Kind> findings;
        Place place;
    } kRows[] = {
        // clang-format off
        {"a button off every monitor", Rule::Unowned, false, false, false, false, 0, kHere, {Kind::OffEveryMonitor},
         kFar},
        {"a helper off every monitor", Rule::ToolWindow, false, false, false, false, 0, kHere, {}, kFar},
        {"parked, not minimized", Rule::Unowned, false, true, false, false, 0, kHere, {Kind::OffEveryMonitor}, kFar},
        {"minimized", Rule::Unowned, true, true, true, false, 0, kHere, {}, kParked},
        {"hung", Rule::Unowned, true, false, false, true, 0, kHere, {Kind::Hung}, kTogether},
        {"hung and hidden", Rule::Hidden, true, false, false, true, 0, kHere, {}, kUndrawn},
        {"on another desktop", Rule::Cloaked, true, false, false, false, 2, kElsewhere, {Kind::OtherDesktop}, kUndrawn},
        {"shown from another desktop", Rule::OnAnotherDesktop, true, false, false, false, 2, kElsewhere,
         {Kind::OtherDesktop}, kUndrawn},
        {"hidden, on another desktop", Rule::Hidden, true, false, false, false, 0, kElsewhere, {}, kUndrawn},
        {"removed by its program", Rule::RemovedByProgram, true, false, false, false, 0, kHere, {}, kTogether},
        // clang-format on
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        LiveWindow w = Window("w", row.rule, row.parked ? Rect{-32000, -32000, -31840, -31972} : Rect{10, 10, 90, 90});
        if (!row.onMonitor) w.monitor.reset();
        w.record.minimized = row.minimized;
        w.hung = row.hung;
        w.cloak = row.cloak;
        w.onCurrentDesktop = row.desktop;
        const report::LiveReport model = report::MakeLiveReport(TwoMonitors({Window("ordinary", Rule::Unowned), w}));
        std::vector<Kind> findings;
        for (const report::LiveFinding& finding : model.findings) {
            if (std::find(finding.windows.begin(), finding.windows.end(), 1u) != finding.windows.end())
                findings.push_back(finding.kind);
        }
        EXPECT_EQ(row.findings, findings);
        const report::DesktopLayout& layout = model.layout;
        const auto has = [](const std::vector<std::size_t>& list) { return std::count(list.begin(), list.end(), 1u); };
        EXPECT_EQ(row.place == kTogether, has(layout.together) == 1);
        EXPECT_EQ(row.place == kFar, has(layout.far) == 1);
        EXPECT_EQ(row.place == kParked, has(layout.parked) == 1);
        EXPECT_EQ(row.place == kUndrawn, static_cast<bool>(model.undrawn[1]));
    }
}

// The whole model of each sample desktop, worked out from its windows. Every window of EveryRule
// lands in one group or has a button, and each finding names only the windows made for it.
TEST(LiveReport, IsWhatEachDesktopMakesOf)
{
    using Cloak = report::CloakReason;
    using Group = std::tuple<Rule, Cloak, std::vector<std::size_t>>;
    using Kind = report::LiveFindingKind;
    using Windows = std::vector<std::size_t>;
    const Windows kTwelve{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    const struct {
        const char* name;
        LiveSnapshot snapshot;
        Windows shown;
        std::vector<Group> groups;
        std::vector<report::LiveFinding> findings;
        report::Taskbars taskbars;
        Windows undrawn, together, far, parked;
        std::vector<std::int64_t> frame; // left, top, right, bottom
    } kRows[] = {
        // clang-format off
        {"EveryRule", EveryRule(), {0, 2, 6, 13, 14, 17, 20},
         {{Rule::Gone, Cloak::Other, {15}}, {Rule::NotTopLevel, Cloak::Other, {16}},
          {Rule::ToolWindow, Cloak::Other, {3}}, {Rule::NoActivate, Cloak::Other, {4}},
          {Rule::Owned, Cloak::Other, {1, 5}}, {Rule::Ghost, Cloak::Other, {12}},
          {Rule::RemovedByProgram, Cloak::Other, {19}}, {Rule::ShellDesktop, Cloak::Other, {18}},
          {Rule::Cloaked, Cloak::App, {9}}, {Rule::Cloaked, Cloak::Shell, {10}},
          {Rule::Cloaked, Cloak::Inherited, {11}}, {Rule::Hidden, Cloak::Other, {7, 8}}},
         // The lost dialog's owner is hidden; the ghost is hung as well as the window it stands for;
         // the window cloaked by the shell is on another desktop, with a button there or without.
         {{Kind::OffEveryMonitor, "", {6}}, {Kind::OwnerHidden, "", {5}}, {Kind::LooksLikeApp, "", {3}},
          {Kind::Hung, "", {12, 13}}, {Kind::OtherDesktop, "", {10, 20}}},
         // Each button on its own monitor's taskbar (MMTaskbarMode 2). Undrawn: the hidden, cloaked and
         // gone windows, and the shell's desktop.
         report::Taskbars::Own, {7, 8, 9, 10, 11, 15, 18, 20}, {0, 1, 2, 3, 4, 5, 12, 13, 16, 17, 19}, {6}, {14},
         // The frame is the two monitors': no window on them reaches past them, and the far one does
         // not widen it.
         {0, 0, 3200, 1080}},
        // A cloak the system cannot tell is not a cloak, and missing taskbar settings are Windows'
        // default: a taskbar on every monitor.
        {"UnknownsReadAsUnknown", Unknowns(true), {0, 1}, {}, {{Kind::OffEveryMonitor, "", {1}}},
         report::Taskbars::Every, {}, {0}, {1}, {}, {0, 0, 3200, 1080}},
        // Without monitors no window is off them: every one is together, in a frame about the
        // virtual screen.
        {"MonitorsUnknown", Unknowns(false), {0, 1}, {}, {}, report::Taskbars::One, {}, {0, 1}, {}, {},
         {0, 0, 9100, 1080}},
        // However long, a finding names every window it is about.
        {"LongFindingIsCapped", ManyHung(), kTwelve, {}, {{Kind::Hung, "", kTwelve}}, report::Taskbars::Every, {},
         kTwelve, {}, {}, {0, 0, 3200, 1080}},
        {"NoWindows", TwoMonitors({}), {}, {}, {}, report::Taskbars::Every, {}, {}, {}, {}, {0, 0, 3200, 1080}},
        // clang-format on
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.name);
        const report::LiveReport model = report::MakeLiveReport(row.snapshot);
        EXPECT_EQ(row.shown, model.shown);
        std::vector<Group> groups;
        for (const report::RuleGroup& g : model.groups) groups.emplace_back(g.rule, g.cloak, g.windows);
        EXPECT_EQ(row.groups, groups);
        EXPECT_EQ(row.findings, model.findings);
        EXPECT_EQ(row.taskbars, model.taskbars);
        Windows undrawn;
        for (std::size_t i = 0; i < model.undrawn.size(); ++i) {
            if (model.undrawn[i]) undrawn.push_back(i);
        }
        EXPECT_EQ(row.undrawn, undrawn);
        const report::DesktopLayout& layout = model.layout;
        EXPECT_EQ(row.together, layout.together);
        EXPECT_EQ(row.far, layout.far);
        EXPECT_EQ(row.parked, layout.parked);
        EXPECT_EQ(row.frame, (std::vector<std::int64_t>{layout.left, layout.top, layout.right, layout.bottom}));
        // Each window's record has moved out of the snapshot, in its place.
        ASSERT_EQ(row.snapshot.windows.size(), model.records.size());
        for (std::size_t i = 0; i < model.records.size(); ++i)
            EXPECT_EQ(row.snapshot.windows[i].record.title, model.records[i].title);
    }
}

} // namespace reporttest
