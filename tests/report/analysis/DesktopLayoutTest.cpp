// What the map frames: the windows that belong together, and those it leaves to a strip.
#include "report/analysis/DesktopLayout.h"
#include "report/reading/LogReader.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

namespace reporttest {

namespace {

using Indices = std::vector<std::size_t>;

struct LayoutCase {
    const char* name;
    std::vector<std::string> rects; // "min" for a minimized window
    Indices together, far, parked;
    std::vector<std::int64_t> frame; // left, top, right, bottom
};

void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }

const LayoutCase kCases[] = {
    {"OneFarWindow",
     {"0,0 - 800,600", "100,100 - 500,400", "5000,5000 - 5600,5400"},
     {0, 1},
     {2},
     {},
     {0, 0, 800, 600}},
    {"TwoOnAMissingMonitor",
     {"5000,5000 - 5600,5400", "-8,-8 - 1288,1032", "5100,5100 - 5500,5300"},
     {1},
     {0, 2},
     {},
     {-8, -8, 1288, 1032}},
    {"EveryWindowMinimized", {"min", "min"}, {}, {}, {0, 1}, {0, 0, 0, 0}},
    {"OnANeighbouringMonitor", {"0,0 - 1920,1080", "2800,100 - 3400,700"}, {0, 1}, {}, {}, {0, 0, 3400, 1080}},
    {"SmallWindowsKeepThePrimaryInFrame", {"100,100 - 300,200"}, {0}, {}, {}, {0, 0, 640, 480}},
    // Far along one axis only is far too.
    {"BelowEverythingElse", {"0,0 - 800,600", "0,4000 - 800,4600"}, {0}, {1}, {}, {0, 0, 800, 600}},
    // No window about the primary monitor: the place with the most windows is framed, without it.
    {"NothingNearThePrimary",
     {"9000,0 - 9100,100", "5000,5000 - 5600,5400", "5100,5100 - 5500,5300", "min"},
     {1, 2},
     {0},
     {3},
     {5000, 5000, 5600, 5400}},
};

class LayOut : public ::testing::TestWithParam<LayoutCase> {};

} // namespace

TEST_P(LayOut, FramesTheWindowsThatBelongTogether)
{
    const LayoutCase& c = GetParam();
    std::string bytes;
    for (const std::string& rect : c.rects) {
        Sample s;
        s.minimized = rect == "min";
        s.rect = s.minimized ? "-32000,-32000 - -31840,-31972" : rect;
        bytes += RecordBytes(s);
    }
    const report::DesktopLayout layout = report::LayOut(report::ReadLog(bytes).records);
    EXPECT_EQ(c.together, layout.together);
    EXPECT_EQ(c.far, layout.far);
    EXPECT_EQ(c.parked, layout.parked);
    EXPECT_EQ(c.frame, (std::vector<std::int64_t>{layout.left, layout.top, layout.right, layout.bottom}));
}

INSTANTIATE_TEST_SUITE_P(, LayOut, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) { return info.param.name; });

} // namespace reporttest
