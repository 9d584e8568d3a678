// The page from a log of hostile text: every character that could end an element, an attribute
// or a comment comes out escaped, control characters visibly, and each record still has its row
// and its rectangle.
#include "report/LogReader.h"
#include "report/Page.h"
#include "tests/report/SampleLog.h"

#include <gtest/gtest.h>

namespace reporttest {

namespace {

std::size_t Count(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

} // namespace

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
        s.title = t.title, s.className = t.title,
        s.exe = "C:\\" + t.title.substr(0, t.title.find('\n')); // a path never holds a line end
        bytes += RecordBytes(s);
    }
    report::LogFile log{"<b>\xFF\xC3\xA9.txt", bytes.size(), 0, report::ReadLog(bytes)};
    ASSERT_EQ(std::size(kTitles), log.log.records.size());
    const std::string page = report::WritePage(log, &log);

    for (const auto& t : kTitles) {
        EXPECT_NE(std::string::npos, page.find(">" + t.shown + "<")) << t.shown;
        // In text, in the program's title attribute and in the map's hover text.
        EXPECT_LE(3u, Count(page, t.shown)) << t.shown;
    }
    EXPECT_NE(std::string::npos, page.find("&lt;b&gt;\\xFF\xC3\xA9.txt"));
    for (const char* never : {"<script", "<svg onload", "<!-- x", "<b>"})
        EXPECT_EQ(std::string::npos, page.find(never)) << never;
    for (char c : page) EXPECT_FALSE(c >= 0 && c < 0x20 && c != '\n') << static_cast<int>(c);
    EXPECT_EQ(std::size(kTitles), Count(page, "<tr id=\"w"));
    EXPECT_EQ(std::size(kTitles), Count(page, "<g class=\"win\">"));
}

} // namespace reporttest
