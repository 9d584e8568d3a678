// The churn and hostile-input tests trust the log reader to see a broken log; it must see each
// way a log can break.
#include "tests/app/LogRecords.h"

#include <gtest/gtest.h>

namespace apptest {

namespace {

const std::string kRecord = "0x0001002A: exe=C:\\windows\\notepad.exe\r\n"
                            "title=\"a \"quoted\" title\" class=\"Notepad\" atom = 0x0000C0DE\r\n"
                            "Style=0x14cf0000 exStyle=0x100 parent=0x00010008 owner=0x00000000 getparent=0x00000000\r\n"
                            "rcWnd = -8,-8 - 1032,776 rcClient = 0,0 - 1024,748 maximized = 1 minimized = 0\r\n"
                            "\r\n";

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    text.replace(text.find(from), from.size(), to);
    return text;
}

} // namespace

TEST(LogRecords, ReadsWholeRecords)
{
    const auto log = ParseLog(kRecord + Replace(kRecord, "0001002A", "0001002C"));
    EXPECT_TRUE(log.faults.empty()) << log.faults.front();
    ASSERT_EQ(2u, log.records.size());
    EXPECT_EQ("0001002A", log.records[0].handle);
    EXPECT_EQ("C:\\windows\\notepad.exe", log.records[0].exe);
    EXPECT_EQ("a \"quoted\" title", log.records[0].title);
    EXPECT_EQ("Notepad", log.records[0].className);
    EXPECT_TRUE(apptest::RepeatedHandles(log.records).empty());
    EXPECT_TRUE(ParseLog("").faults.empty());
}

TEST(LogRecords, SeesEveryWayALogBreaks)
{
    const struct {
        const char* name;
        std::string log;
    } broken[] = {
        {"cut inside a line", kRecord + kRecord.substr(0, 60)},
        {"cut after a line", kRecord.substr(0, kRecord.find("Style="))},
        {"no empty line", Replace(kRecord, "0\r\n\r\n", "0\r\nx\r\n")},
        {"a lone LF", Replace(kRecord, "exe=C:", "exe=\nC:")},
        {"a lone CR", Replace(kRecord, "title=\"a ", "title=\"a\r")},
        {"LF line ends", Replace(kRecord, "\r\n", "\n")},
        {"a short handle", Replace(kRecord, "0x0001002A", "0x1002A")},
        {"lower-case handle digits", Replace(kRecord, "0x0001002A", "0x0001002a")},
        {"no class", Replace(kRecord, " class=\"Notepad\"", "")},
        {"a style in upper case", Replace(kRecord, "0x14cf0000", "0x14CF0000")},
        {"a lost coordinate", Replace(kRecord, "-8,-8 - ", "-8 - ")},
        {"a flag that is not 0 or 1", Replace(kRecord, "maximized = 1", "maximized = 2")},
    };
    for (const auto& c : broken) EXPECT_FALSE(ParseLog(c.log).faults.empty()) << c.name;
}

TEST(LogRecords, FindsAWindowNamedTwice)
{
    const auto log = ParseLog(kRecord + Replace(kRecord, "Notepad", "Other") + kRecord);
    EXPECT_EQ(std::vector<std::string>{"0001002A"}, apptest::RepeatedHandles(log.records));
}

} // namespace apptest
