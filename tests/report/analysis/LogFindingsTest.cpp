// A log built to show every finding once, beside windows that must raise none.
#include "report/analysis/LogFindings.h"
#include "report/reading/LogReader.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

#include <tuple>

namespace reporttest {

TEST(Findings, NameEachUnusualWindowOnceAndNoOther)
{
    const auto window = [](std::string exe, std::string title, std::string rect, std::uint32_t owner = 0,
                           std::uint32_t exStyle = 0x100, int minimized = 0) {
        Sample s;
        s.exe = std::move(exe), s.title = std::move(title), s.rect = std::move(rect);
        s.owner = owner, s.exStyle = exStyle, s.minimized = minimized;
        return RecordBytes(s);
    };
    const std::string log =
        window("C:\\app.exe", "Main", "-8,-8 - 1928,1048") +                                         // 0
        window("C:\\app.exe", "Second", "100,100 - 500,400") +                                       // 1
        window("C:\\tool.exe", "Dialog", "200,200 - 400,300", 0x00010050, 0x40100) +                 // 2
        window("", "Orphan", "10,10 - 200,200") +                                                    // 3
        window("C:\\other.exe", "Parked", "-32000,-32000 - -31840,-31972", 0, 0x100, 1) +            // 4
        window("C:\\zero.exe", "Zero", "300,300 - 300,300") +                                        // 5
        window("C:\\far.exe", "Far", "5000,5000 - 5600,5400") +                                      // 6
        window("C:\\WINDOWS\\system32\\applicationframehost.EXE", "Calculator", "50,50 - 400,600") + // 7
        window("C:\\q.exe", "Caf? ??", "1900,0 - 2100,100") +         // 8: beside the others
        window("C:\\cut.exe", std::string(299, 'x'), "0,0 - 10,10") + // 9
        window("C:\\one.exe", "Same", "0,0 - 10,10") +                // 10
        window("C:\\two.exe", "Same", "-600,0 - -1,10") +             // 11: left of the primary, beside the others
        window("C:\\WINDOWS\\system32\\ApplicationFrameHost.exe", "Photos", "60,60 - 400,600"); // 12: one button each
    using Kind = report::LogFindingKind;
    using Found = std::tuple<Kind, std::string, std::vector<std::size_t>>;
    const std::vector<report::LoggedWindow> records = report::ReadLog(log).records;
    std::vector<Found> found;
    for (const report::LogFinding& f : report::FindLogIssues(records, report::LayOut(records)))
        found.emplace_back(f.kind, f.subject, f.windows);
    const std::vector<Found> expected{
        {Kind::ManyButtons, "C:\\app.exe", {0, 1}},
        {Kind::AppWindowOwned, "", {2}},
        {Kind::NoProgram, "", {3}},
        {Kind::Minimized, "", {4}},
        {Kind::ZeroSize, "", {5}},
        {Kind::FarAway, "", {6}},
        {Kind::StoreApp, "", {7, 12}},
        {Kind::LostCharacters, "", {8}},
        {Kind::CutTitle, "", {9}},
        {Kind::SameTitle, "Same", {10, 11}},
    };
    EXPECT_EQ(expected, found);
}

} // namespace reporttest
