// Snapshots of a desktop through the live page: a row for every window, a map item for every one
// drawn, the page within its bound, no text of a window or a monitor read as markup, and what the
// system could not tell read as unknown, never as a fault. What the page shows of the model is
// the model's, tested as a value (LiveReportTest). Natively, each page is also left in a folder for
// the browser's check.
#include "report/page/LivePage.h"
#include "report/page/PageBounds.h"

#include "tests/report/PageChecks.h"
#include "tests/report/SampleSnapshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace reporttest {

namespace {

using report::Known;
using report::LiveSnapshot;
using report::LiveWindow;
using Rule = report::TaskbarRule;

struct LiveCase {
    const char* name;
    LiveSnapshot snapshot;
    std::size_t mapItems; // windows drawn: those on screen, but for the shell's desktop
    // Only what no model shows, as the page alone says it: the hostile title and device name as
    // text; that what the system could not tell is unknown (the model passes the snapshot on as
    // taken); and a long finding cut to ten windows (the model keeps them all).
    std::vector<std::string> shown; // in this order
    std::vector<std::string> absent;
};

void PrintTo(const LiveCase& c, std::ostream* out) { *out << c.name; }

// clang-format off
const LiveCase kCases[] = {
    {"EveryRule", EveryRule(), 13, {"\\\\.\\&lt;b&gt;DISPLAY2", "&#8220;Main &lt;script&gt;&#8221;"},
     {"unknown", "Unknown here"}},
    {"UnknownsReadAsUnknown", Unknowns(true), 2,
     {"Windows version unknown", "Taken</dt><dd>unknown", "DPI unknown",
      "Unknown here</dt><dd>cloaking (Windows 8 and later); virtual desktops (Windows 10 and later); the frames the "
      "window manager draws (Windows Vista and later); the monitors&#39; DPI (Windows 8.1 and later).",
      "frame unknown", "virtual desktop unknown"},
     {}},
    {"MonitorsUnknown", Unknowns(false), 2,
     {"Monitors</dt><dd>unknown", "the monitors. This system", "monitor unknown", "monitor unknown"},
     {"off every monitor"}},
    {"LongFindingIsCapped", ManyHung(), 12, {"#10</a>", "&#8230; and 2 more</a>"}, {"#11</a>"}},
    {"NoWindows", TwoMonitors({}), 0, {}, {}},
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
    // The samples' titles and device names hold markup: none of it may reach the page as such.
    EXPECT_EQ(0u, Count(page, "<script"));
    EXPECT_EQ(0u, Count(page, "<b>"));
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
