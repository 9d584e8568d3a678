// Snapshots of a desktop through the live page: windows without a button in the group of their
// rule with its count, the hidden ones closed, each finding naming its windows, and what the
// system could not tell read as unknown, never as a fault. Natively, each page is also left in a
// folder for the browser's check.
#include "report/page/LivePage.h"
#include "report/page/PageBounds.h"
#include "report/page/StyleNames.h"

#include "tests/report/PageChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace reporttest {

namespace {

using report::Known;
using report::LiveSnapshot;
using report::LiveWindow;
using report::Rect;
using report::TaskbarRule;
using Rule = report::TaskbarRule;

constexpr std::uint32_t kShown = report::k_WS_VISIBLE | report::k_WS_CAPTION | report::k_WS_SYSMENU;

std::uint32_t HandleOf(std::size_t window) { return 0x20000 + 4 * static_cast<std::uint32_t>(window); }

// A shown window of app.exe on the first monitor, everything about it known.
LiveWindow Window(std::string title, Rule rule, Rect rect = {100, 100, 700, 500}, std::string exe = "C:\\Apps\\app.exe")
{
    LiveWindow w;
    w.record.exe = std::move(exe);
    w.record.title = std::move(title);
    w.record.className = "AppWindowClass";
    w.record.style = rule == Rule::Hidden ? kShown & ~report::k_WS_VISIBLE : kShown;
    w.record.window = w.normal = rect;
    w.frame = rect;
    w.rule = rule;
    w.shown = rule == Rule::AppWindow || rule == Rule::Unowned || rule == Rule::OnAnotherDesktop;
    w.cloak = 0;
    w.onCurrentDesktop = Known::Yes;
    w.monitor = 0;
    return w;
}

LiveWindow Owned(std::string title, Rule rule, std::size_t owner, bool ownerShown, Rect rect = {300, 200, 760, 560})
{
    LiveWindow w = Window(std::move(title), rule, rect);
    w.record.owner = HandleOf(owner);
    w.owner = owner;
    w.ownerShown = ownerShown;
    return w;
}

LiveWindow Cloaked(std::string title, std::uint32_t cloak)
{
    LiveWindow w = Window(std::move(title), Rule::Cloaked, {0, 0, 1920, 1040}, "C:\\Apps\\store.exe");
    w.cloak = cloak;
    w.onCurrentDesktop = cloak == 2 ? Known::No : Known::Yes;
    return w;
}

LiveSnapshot TwoMonitors(std::vector<LiveWindow> windows)
{
    LiveSnapshot s;
    s.windows = std::move(windows);
    for (std::size_t i = 0; i < s.windows.size(); ++i) s.windows[i].record.hwnd = HandleOf(i);
    s.monitors = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, true, "\\\\.\\DISPLAY1", 96},
                  {{1920, 0, 3200, 1024}, {1920, 0, 3200, 1024}, false, "\\\\.\\<b>DISPLAY2", 144}};
    s.virtualScreen = {0, 0, 3200, 1080};
    s.windowsVersion = "Windows 10.0.19045";
    s.taken = 1700000000;
    return s;
}

// One window for each rule, and one for each finding.
LiveSnapshot EveryRule()
{
    const std::string kExplorer = "C:\\Windows\\explorer.exe", kStuck = "C:\\Apps\\stuck.exe";
    // clang-format off
    std::vector<LiveWindow> w{
        Window("Main <script>", Rule::Unowned, {80, 60, 1100, 800}), Owned("Options", Rule::Owned, 0, true),
        Owned("Own button", Rule::AppWindow, 0, true, {700, 300, 1200, 700}),
        Window("Palette", Rule::ToolWindow, {1150, 80, 1400, 500}),
        Window("Keyboard", Rule::NoActivate, {200, 760, 1300, 1030}, "C:\\Windows\\System32\\osk.exe"),
        Owned("Lost dialog", Rule::Owned, 7, false, {500, 400, 900, 650}),
        Window("Far away", Rule::Unowned, {5000, 5000, 5600, 5400}), Window("Hidden owner", Rule::Hidden),
        Window("Helper", Rule::Hidden, {0, 0, 0, 0}, kExplorer), Cloaked("By the app", 1), Cloaked("Other desktop", 2),
        Cloaked("With its owner", 4), Window("Not Responding", Rule::Ghost, {1300, 520, 1880, 1000}, kExplorer),
        Window("Stuck", Rule::Unowned, {1300, 520, 1880, 1000}, kStuck),
        Window("Parked", Rule::Unowned, {-32000, -32000, -31840, -31972}), Window("", Rule::Gone),
        Window("Inner", Rule::NotTopLevel, {100, 100, 300, 200}),
        Window("On two", Rule::Unowned, {2000, 100, 2900, 800}, "C:\\Apps\\viewer.exe"),
        Window("Program Manager", Rule::ShellDesktop, {0, 0, 3200, 1080}, kExplorer),
        Window("Skip taskbar", Rule::RemovedByProgram, {400, 200, 800, 500}, "C:\\Apps\\chat.exe"),
        Cloaked("Shown from elsewhere", 2)};
    // clang-format on
    w[3].record.exStyle = report::k_WS_EX_TOOLWINDOW;
    w[3].record.style |= report::k_WS_MINIMIZEBOX;
    w[4].record.exStyle = report::k_WS_EX_NOACTIVATE;
    w[6].monitor.reset();
    w[12].hung = w[13].hung = true;
    w[14].record.minimized = true;
    w[14].normal = {400, 300, 1000, 700};
    w[17].monitor = 1;
    w[20].rule = Rule::OnAnotherDesktop;
    w[20].shown = true;
    LiveSnapshot s = TwoMonitors(std::move(w));
    s.taskbar = {0u, 1u, 2u};
    return s;
}

// What a system before Windows 8 tells: no cloaking, frames, virtual desktops or DPI.
LiveSnapshot Unknowns(bool monitors)
{
    LiveSnapshot s = TwoMonitors({Window("Old", Rule::Unowned), Window("Far", Rule::Unowned, {9000, 0, 9100, 100})});
    for (LiveWindow& w : s.windows) {
        w.cloak.reset();
        w.frame.reset();
        w.onCurrentDesktop = Known::Unknown;
    }
    s.windows[1].monitor.reset();
    for (report::LiveMonitor& m : s.monitors) m.dpi.reset();
    if (!monitors) s.monitors.clear();
    s.windowsVersion.clear();
    s.taken = 0;
    return s;
}

LiveSnapshot ManyHung()
{
    LiveSnapshot s = TwoMonitors({});
    for (int n = 0; n < 12; ++n) {
        s.windows.push_back(Window(std::string(n + 1, 'h'), Rule::Unowned));
        s.windows.back().hung = true;
    }
    return s;
}

struct LiveCase {
    const char* name;
    LiveSnapshot snapshot;
    std::vector<std::string> shown; // in this order
    std::vector<std::string> absent;
    std::size_t mapItems; // windows drawn: those on screen, but for the shell's desktop
};

void PrintTo(const LiveCase& c, std::ostream* out) { *out << c.name; }

// clang-format off
const LiveCase kCases[] = {
    {"EveryRule",
     EveryRule(),
     {"Windows 10.0.19045", "2023-11-14 22:13 UTC", "\\\\.\\DISPLAY1, primary: 0,0 - 1920,1080 (1920&#215;1080), "
      "work area 0,0 - 1920,1040, 96 dpi (100%)", "\\\\.\\&lt;b&gt;DISPLAY2", "144 dpi (150%)",
      "windows of every virtual desktop (VirtualDesktopTaskbarFilter = 0)", "MMTaskbarEnabled = 1, MMTaskbarMode = 2",
      "21 top-level", "off every monitor", "#7</a> <span class=\"title\">&#8220;Far away&#8221;", "owner is hidden",
      "#6</a> <span class=\"title\">&#8220;Lost dialog&#8221;", "look like an app",
      "#4</a> <span class=\"title\">&#8220;Palette&#8221;", "Hung windows", "#13</a>", "#14</a>",
      "another virtual desktop", "#11</a>", "Monitor 1 (primary)", "Monitor 2", "<h3>Off every monitor</h3>",
      "<h3>Minimized</h3>",
      "<h2 id=\"windows\">", "&#8220;Main &lt;script&gt;&#8221;",
      "minimized</td><td>unowned, neither a tool window nor no-activate<small>monitor 1; frame -32000,-32000 - "
      "-31840,-31972; comes back to 400,300 - 1000,700; button on monitor 1&#39;s taskbar;",
      "button on monitor 2&#39;s taskbar", "every desktop&#39;s windows", "<h2 id=\"without\">", "id=\"g-gone\"",
      "id=\"g-child\"", "id=\"g-tool\"><h3>Tool windows <span class=\"count\">(1)</span>", "remove WS_EX_TOOLWINDOW",
      "id=\"g-noactivate\"", "id=\"g-owned\"><h3>Owned windows <span class=\"count\">(2)</span>",
      "owned by <a href=\"#w0\">#1</a> <span class=\"title\">&#8220;Main &lt;script&gt;&#8221;</span> (app.exe), "
      "whose button stands for it",
      "owned by <a href=\"#w7\">#8</a> <span class=\"title\">&#8220;Hidden owner&#8221;</span> (app.exe), which "
      "has no button either",
      "id=\"g-ghost\"", "id=\"g-removed\"", "ITaskbarList::DeleteTab", "id=\"g-shell\"", "id=\"g-cloaked-app\"",
      "DWM_CLOAKED_APP (1)", "cloaked by its program (1)",
      "id=\"g-cloaked-shell\"", "id=\"g-cloaked-inherited\"",
      "<details class=\"group\" id=\"g-hidden\"><summary><h3>Hidden windows <span class=\"count\">(2)</span>",
      "<tr id=\"w7\" class=\"undrawn\">", "</details>"},
     {"unknown", "Unknown here", "<details class=\"group\" id=\"g-hidden\" open", "<script"},
     13},
    {"UnknownsReadAsUnknown",
     Unknowns(true),
     {"Windows version unknown", "Taken</dt><dd>unknown", "DPI unknown", "Virtual screen</dt><dd>0,0 - 3200,1080",
      "Unknown here</dt><dd>cloaking (Windows 8 and later); virtual desktops (Windows 10 and later); the frames the "
      "window manager draws (Windows Vista and later); the monitors&#39; DPI (Windows 8.1 and later).",
      "Windows off every monitor", "monitor 1; frame unknown; button on every taskbar; virtual desktop unknown"},
     {"another virtual desktop", "Cloaked", "Hung"},
     2},
    {"MonitorsUnknown",
     Unknowns(false),
     {"Monitors</dt><dd>unknown", "the monitors. This system", "Nothing unusual.", "<svg class=\"map\"",
      "monitor unknown", "monitor unknown"},
     {"off every monitor", "Off every monitor", "Monitor 1"},
     2},
    {"LongFindingIsCapped",
     ManyHung(),
     {"Hung windows", "(12)", "<a href=\"#w9\">#10</a>", "<a href=\"#w10\">&#8230; and 2 more</a>", "None.</p>"},
     {"<a href=\"#w10\">#11</a>", "<h2 id=\"without\">Windows without a button</h2><section"},
     12},
    {"NoWindows", TwoMonitors({}), {"0 top-level", "Nothing unusual.", "Monitor 2", "None: no window"}, {"<table"}, 0},
};
// clang-format on

class LivePageShows : public ::testing::TestWithParam<LiveCase> {};

} // namespace

TEST_P(LivePageShows, EachWindowInItsPlace)
{
    const LiveCase& c = GetParam();
    report::StringSink sink;
    report::WriteLivePage(c.snapshot, sink);
    const std::string& page = sink.text;
#ifdef VANTREL_LIVE_PAGES
    std::filesystem::create_directories(VANTREL_LIVE_PAGES);
    std::ofstream(std::string(VANTREL_LIVE_PAGES "/") + c.name + ".html", std::ios::binary) << page;
#endif

    ExpectShown(page, c.shown, c.absent);
    // Every window has one row, and the map one item for each window drawn.
    for (std::size_t i = 0; i < c.snapshot.windows.size(); ++i)
        EXPECT_EQ(1u, Count(page, "<tr id=\"w" + std::to_string(i) + "\"")) << i;
    EXPECT_EQ(c.snapshot.windows.size(), Count(page, "<tr id=\"w"));
    EXPECT_EQ(c.mapItems, Count(page, "<a class=\"win\""));
    EXPECT_EQ(c.snapshot.windows.size() - c.mapItems, Count(page, "class=\"undrawn\""));
    EXPECT_LE(page.size(), report::MostLivePageBytes(c.snapshot));
}

INSTANTIATE_TEST_SUITE_P(, LivePageShows, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LiveCase>& info) { return info.param.name; });

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

// The longest titles of characters that each become the longest escape, every style bit, every
// window owned by the one with the longest texts and named by every finding (half of them with a
// button, half without).
TEST(LivePage, StaysWithinItsBoundOnTheWorstSnapshot)
{
    std::vector<LiveWindow> windows;
    for (int n = 0; n < 40; ++n) {
        const Rule rule = n == 0 ? Rule::Hidden : n % 2 ? Rule::Unowned : Rule::ToolWindow;
        LiveWindow w = Owned(std::string(299, '"'), rule, 0, false);
        w.record.exe = w.record.className = std::string(260, '"');
        w.record.style = w.record.exStyle = 0xFFFFFFFF;
        w.monitor.reset();
        w.hung = true;
        w.onCurrentDesktop = Known::No;
        windows.push_back(w);
    }
    LiveSnapshot s = TwoMonitors(std::move(windows));
    s.monitors[0].device = std::string(32, '\'');
    report::StringSink sink;
    report::WriteLivePage(s, sink);
    EXPECT_LE(sink.text.size(), report::MostLivePageBytes(s));
    EXPECT_EQ(report::kLiveFindingKinds, Count(sink.text, "<div class=\"finding\">"));
}

} // namespace reporttest
