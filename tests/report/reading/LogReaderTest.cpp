// Real and damaged logs through the reader. Natively, each sample is also left in the fuzzer's seed folder.
#include "report/reading/LogReader.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace reporttest {

namespace {

using report::Log;

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string Utf16(const std::string& latin1)
{
    std::string bytes;
    for (char c : latin1) bytes += std::string{c, '\0'};
    return bytes;
}

Sample Titled(std::string title)
{
    Sample s;
    s.title = std::move(title);
    return s;
}

const std::string kOne = RecordBytes({});
const std::string kTwo = RecordBytes(Titled("Second"));
// A title that holds the whole rest of a record, up to where the class name would start.
const std::string kTailInTitle = "a\" atom = 0x0000C038\nStyle=0x0 exStyle=0x0 parent=0x00000000 owner=0x00000000 "
                                 "getparent=0x00000000\nrcWnd = 0,0 - 0,0 rcClient = 0,0 - 0,0 maximized = 0 "
                                 "minimized = 0\n";

struct ReaderCase {
    const char* name;
    std::string bytes;
    std::string titles; // each record's title, then '|'
    std::string pieces; // each unreadable piece as first-last@failed, then ' '
    bool notALog = false;
};

void PrintTo(const ReaderCase& c, std::ostream* out) { *out << c.name; }

const ReaderCase kCases[] = {
    {"Empty", "", "", ""},
    {"OneRecord", kOne, "WineMine|", ""},
    {"TwoRecords", kOne + kTwo, "WineMine|Second|", ""},
    {"LfOnly", Replace(kOne + kTwo, "\r\n", "\n"), "WineMine|Second|", ""},
    {"NoLastEmptyLine", kOne + kTwo.substr(0, kTwo.size() - 2), "WineMine|Second|", ""},
    {"NoLastLineEnd", kOne.substr(0, kOne.size() - 4), "WineMine|", ""},
    {"Utf8WithMark", "\xEF\xBB\xBF" + RecordBytes(Titled("Caf\xC3\xA9")), "Caf\xE9|", ""},
    {"Utf8WithoutMark", RecordBytes(Titled("Caf\xC3\xA9 \xE2\x82\xAC")), "Caf\xE9 ?|", ""},
    {"Latin1NotUtf8", RecordBytes(Titled("Caf\xE9")), "Caf\xE9|", ""},
    {"Utf16WithMark", "\xFF\xFE" + Utf16(RecordBytes(Titled("Caf\xE9"))), "Caf\xE9|", ""},
    {"CrLfInTitle", RecordBytes(Titled("two\nlines\r\nend")), "two\nlines\r\nend|", ""},
    {"FieldTextInTitle", RecordBytes(Titled("a\" class=\"b\" atom = 0x0000C038\nStyle=0x1")) + kTwo,
     "a\" class=\"b\" atom = 0x0000C038\nStyle=0x1|Second|", ""},
    {"RecordTailInTitle", RecordBytes(Titled(kTailInTitle)) + kTwo, kTailInTitle + "|Second|", ""},
    {"CutInsideThirdLine", kOne.substr(0, kOne.find(" exStyle")) + "\r\n\r\n" + kTwo, "Second|", "1-3@3 "},
    {"CutAtEnd", kOne + kTwo.substr(0, 70), "WineMine|", "6-7@7 "},
    {"UnknownLineBetween", kOne + "hello\r\n" + kTwo, "WineMine|Second|", "6-6@6 "},
    {"ShortHandle", Replace(kOne, "0x0001004C", "0x1004C") + kTwo, "Second|", "1-4@1 "},
    {"CoordinateOutOfRange", Replace(kOne, "160,226", "9999999999,226") + kTwo, "Second|", "1-4@4 "},
    {"NotALog", "[Desktop Entry]\r\nName=x\r\n", "", "1-2@1 ", true},
    {"NotALogAfterBlankLines", "\r\n\r\nplain text", "", "3-3@3 ", true},
};

class ReadLog : public ::testing::TestWithParam<ReaderCase> {};

} // namespace

TEST_P(ReadLog, FindsEachRecordAndEachUnreadablePiece)
{
    const ReaderCase& c = GetParam();
#ifdef VANTREL_FUZZ_SEEDS
    std::filesystem::create_directories(VANTREL_FUZZ_SEEDS);
    std::ofstream(std::string(VANTREL_FUZZ_SEEDS "/") + c.name, std::ios::binary) << c.bytes;
#endif

    const Log log = report::ReadLog(c.bytes);
    std::string titles, pieces;
    for (const auto& r : log.records) titles += r.title + "|";
    for (const auto& p : log.unreadable) {
        pieces +=
            std::to_string(p.firstLine) + "-" + std::to_string(p.lastLine) + "@" + std::to_string(p.failedLine) + " ";
    }
    EXPECT_EQ(c.titles, titles);
    EXPECT_EQ(c.pieces, pieces);
    EXPECT_EQ(c.notALog, log.notALog);
}

INSTANTIATE_TEST_SUITE_P(, ReadLog, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReaderCase>& info) { return info.param.name; });

TEST(ReadRecord, TakesEveryFieldAndLine)
{
    Sample s;
    s.hwnd = 0xFFFFFFFF, s.style = 0x94cf0000, s.exStyle = 0, s.owner = 0x00020002;
    s.rect = "-32000,-2147483648 - 2147483647,0", s.minimized = 1;
    const Log log = report::ReadLog("\r\n" + RecordBytes(s));
    ASSERT_EQ(1u, log.records.size());
    const report::LoggedWindow& r = log.records[0];
    EXPECT_EQ(std::make_tuple(0xFFFFFFFFu, 0xC038u, 0x94cf0000u, 0u, 0x00010020u, 0x00020002u, 0u),
              std::make_tuple(r.hwnd, r.atom, r.style, r.exStyle, r.parent, r.owner, r.getParent));
    EXPECT_EQ(
        std::make_tuple(-32000, INT32_MIN, INT32_MAX, 0, 154, 182),
        std::make_tuple(r.window.left, r.window.top, r.window.right, r.window.bottom, r.client.right, r.client.bottom));
    EXPECT_EQ(std::make_tuple(s.exe, s.className, false, true, 2, 5),
              std::make_tuple(r.exe, r.className, r.maximized, r.minimized, r.firstLine, r.lastLine));
}

} // namespace reporttest
