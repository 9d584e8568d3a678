// The page from a log of hostile text: every character that could end an element, an attribute
// or a comment comes out escaped, control characters visibly, and each record still has its row
// and its place on the map; and what a reader sees first, or is told, in logs of each kind.
#include "report/reading/LogReader.h"
#include "report/page/LogPage.h"
#include "report/page/PageBounds.h"
#include "tests/report/SampleLog.h"

#include "tests/report/PageChecks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <type_traits>

namespace reporttest {

// Markup is made from literals only: text from a log cannot be passed as markup.
static_assert(!std::is_constructible_v<report::Literal, std::string>);
static_assert(!std::is_constructible_v<report::Literal, const char*>);
static_assert(!std::is_constructible_v<report::Literal, std::string_view>);

namespace {

std::string PageOf(const std::string& bytes, bool compared = false)
{
    report::LogFile log{"v.txt", bytes.size(), 0, report::ReadLog(bytes)};
    std::optional<report::LogFile> before;
    if (compared) before = log;
    report::StringSink sink;
    report::WriteLogPage(report::MakeLogReport(log, before), sink);
    // However hostile the log, the page keeps to its stated bound.
    const std::uint64_t read = bytes.size() * (compared ? 2 : 1);
    EXPECT_LE(sink.text.size(), report::MostLogPageBytes(read));
    return sink.text;
}

} // namespace

TEST(Markup, WritesEachNumberWholeInItsOwnType)
{
    report::StringSink sink;
    {
        report::Markup page(sink);
        page.Number(UINT64_MAX).Tag(" ").Number(INT64_MIN).Tag(" ").Number(std::uint32_t{0xFFFFFFFF}).Tag(" ");
        page.Number(std::int8_t{-128}).Tag(" ").Number(0);
        page.Finish();
    }
    EXPECT_EQ("18446744073709551615 -9223372036854775808 4294967295 -128 0", sink.text);
}

TEST(Page, EscapesHostileTextAndShowsEveryRecord)
{
    const struct {
        std::string title;
        std::string shown;
    } kTitles[] = {
        {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
        {"]]><svg onload=alert(1)>", "]]&gt;&lt;svg onload=alert(1)&gt;"},
        {"a\"b'c&d", "a&quot;b&#39;c&amp;d"},
        {"<!-- x -->", "&lt;!-- x --&gt;"},
        {std::string("\x00\x01\t\x7F\x85\xA0\xE9", 7),
         "\xE2\x90\x80\xE2\x90\x81\xE2\x90\x89\xE2\x90\xA1\\x85\xC2\xA0\xC3\xA9"},
        {"two\r\nlines", "two\xE2\x90\x8D\xE2\x90\x8Alines"},
    };
    std::string bytes;
    for (const auto& t : kTitles) {
        Sample s;
        s.title = t.title;
        s.className = t.title;
        s.exe = "C:\\" + t.title.substr(0, t.title.find('\n')); // a path never holds a line end
        bytes += RecordBytes(s);
    }
    report::LogFile log{"<b>\xFF\xC3\xA9.txt", bytes.size(), 0, report::ReadLog(bytes)};
    ASSERT_EQ(std::size(kTitles), log.log.records.size());
    report::StringSink sink;
    report::WriteLogPage(report::MakeLogReport(log, log), sink);
    const std::string& page = sink.text;

    for (const auto& t : kTitles) {
        EXPECT_NE(std::string::npos, page.find(">" + t.shown + "<")) << t.shown;
        // In the table, in the map's hover text and in its label.
        EXPECT_LE(3u, Count(page, t.shown)) << t.shown;
    }
    EXPECT_NE(std::string::npos, page.find("&lt;b&gt;\\xFF\xC3\xA9.txt"));
    for (const char* never : {"<script", "<svg onload", "<!-- x", "<b>"})
        EXPECT_EQ(std::string::npos, page.find(never)) << never;
    for (char c : page) EXPECT_FALSE(c >= 0 && c < 0x20 && c != '\n') << static_cast<int>(c);
    EXPECT_EQ(std::size(kTitles), Count(page, "<tr id=\"w"));
    EXPECT_EQ(std::size(kTitles), Count(page, "<a class=\"win\""));
}

struct PageCase {
    const char* name;
    std::string log;
    std::vector<std::string> shown; // in this order
    std::vector<std::string> absent;
    std::int64_t mapEndsBefore = 0; // where the map's frame must end on the right, if set
};

void PrintTo(const PageCase& c, std::ostream* out) { *out << c.name; }

std::string Repeated(const Sample& s, int times)
{
    std::string bytes;
    for (int i = 0; i < times; ++i) bytes += RecordBytes(s);
    return bytes;
}

Sample Minimized()
{
    Sample s;
    s.minimized = 1;
    s.rect = "-32000,-32000 - -31840,-31972";
    return s;
}

Sample At(std::string rect)
{
    Sample s;
    s.rect = std::move(rect);
    return s;
}

const PageCase kPageCases[] = {
    {"FindingsFirstThenMapThenTable",
     RecordBytes({}),
     {"http-equiv=\"Content-Security-Policy\" content=\"default-src 'none';", "id=\"findings\"", "id=\"map\"",
      "<svg class=\"map\"", "id=\"windows\""},
     {}},
    {"EmptyLogIsALog", "", {"none: no window had a taskbar button when the log was written"}, {"<table", "<svg"}},
    // 25 minimized windows of one program: two findings, each naming ten and counting the rest.
    {"LongFindingsAreCapped",
     Repeated(Minimized(), 25),
     {"<a href=\"#w9\">#10</a>", "<a href=\"#windows\">&#8230; and 15 more</a>", "<a href=\"#w9\">#10</a>",
      "<a href=\"#windows\">&#8230; and 15 more</a>", "<svg class=\"strip parked\""},
     {"<a href=\"#w10\">#11</a>", "<svg class=\"map\""}},
    {"FarWindowGetsAStripWithItsPlace",
     RecordBytes(At("0,0 - 800,600")) + RecordBytes(At("5000,5000 - 5600,5400")),
     {"<svg class=\"map\"", "<svg class=\"strip far\"", "at 5000,5000, 600&#215;400"},
     {},
     1000},
};

class PageShows : public ::testing::TestWithParam<PageCase> {};

TEST_P(PageShows, WhatTheReaderNeedsInOrder)
{
    const PageCase& c = GetParam();
    const std::string page = PageOf(c.log);
    ExpectShown(page, c.shown, c.absent);
    if (c.mapEndsBefore != 0) {
        long long left = 0, top = 0, width = 0;
        const std::size_t box = page.find("viewBox=\"", page.find("<svg class=\"map\""));
        ASSERT_EQ(3, std::sscanf(page.c_str() + box, "viewBox=\"%lld %lld %lld", &left, &top, &width));
        EXPECT_LT(left + width, c.mapEndsBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(, PageShows, ::testing::ValuesIn(kPageCases),
                         [](const ::testing::TestParamInfo<PageCase>& info) { return info.param.name; });

TEST(Page, StaysWithinItsBoundOnTheWorstLogs)
{
    Sample quotes;
    quotes.title = std::string(report::kTitleLimit, '"');
    quotes.className = std::string(report::kTitleLimit, '<');
    Sample styles;
    styles.exe = styles.title = styles.className = "";
    styles.style = styles.exStyle = 0xFFFFFFFF;
    // Each one compared with itself, so that both logs count.
    for (const Sample& s : {quotes, styles}) PageOf(Repeated(s, 40), true);
}

} // namespace reporttest
