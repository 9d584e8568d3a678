// Two logs of one machine: windows matched by handle, then by program, class and title.
#include "report/analysis/Comparison.h"
#include "report/reading/LogReader.h"
#include "report/analysis/RecordFields.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

namespace reporttest {

TEST(Comparison, FindsWhatAppearedDisappearedAndChanged)
{
    const auto window = [](std::uint32_t hwnd, std::string exe, std::string title, std::string rect = "0,0 - 160,226") {
        Sample s;
        s.hwnd = hwnd, s.exe = std::move(exe), s.title = std::move(title), s.rect = std::move(rect);
        return RecordBytes(s);
    };
    const std::string before = window(1, "a.exe", "Same") + window(2, "a.exe", "Closed") + window(3, "e.exe", "Moved") +
                               window(9, "x.exe", "Reopened") + window(4, "t.exe", "Twin") + window(5, "t.exe", "Twin");
    const std::string after = window(1, "a.exe", "Same") + window(3, "e.exe", "Moved", "5,5 - 165,231") +
                              window(10, "x.exe", "Reopened") + window(2, "n.exe", "Reused handle") +
                              window(6, "t.exe", "Twin") + window(7, "t.exe", "Twin");
    const report::Comparison c = report::Compare(report::ReadLog(before).records, report::ReadLog(after).records);

    EXPECT_EQ(std::vector<std::size_t>{3}, c.appeared);
    EXPECT_EQ(std::vector<std::size_t>{1}, c.disappeared);
    std::string changed;
    for (const report::Change& change : c.changed) {
        changed += std::to_string(change.before) + ">" + std::to_string(change.after) + ":";
        for (std::size_t f : change.fields) changed += std::string(" ") + report::kRecordFields[f].name;
        changed += "\n";
    }
    // Twins are paired in log order.
    EXPECT_EQ("2>1: window rectangle\n3>2: handle\n4>4: handle\n5>5: handle\n", changed);
    EXPECT_EQ(1u, c.unchanged);
}

} // namespace reporttest
