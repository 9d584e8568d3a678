#include "report/page/FindingList.h"

#include "report/page/PageParts.h"

#include <algorithm>

namespace report {

void WriteFinding(Markup& page, const FindingWords& words, std::string_view subject,
                  const std::vector<std::size_t>& windows, const std::vector<LoggedWindow>& records, MoreLink more)
{
    page.Tag("<div class=\"finding\"><strong>").Tag(words.headline).Tag("</strong> ");
    if (!subject.empty()) page.Tag("&#8220;").Text(subject).Tag("&#8221; ");
    if (words.namesTitleLimit) page.Tag("(").Number(kTitleLimit).Tag(") ");
    page.Tag("<span class=\"note\">(").Number(windows.size()).Tag(")</span><br>");
    const std::size_t named = std::min(windows.size(), kMostNamedPerFinding);
    for (std::size_t n = 0; n < named; ++n) {
        if (n > 0) page.Tag("; ");
        WriteWindowName(page, records, windows[n]);
    }
    if (named < windows.size()) {
        if (more == MoreLink::Table) {
            page.Tag("; <a href=\"#windows\">&#8230; and ");
        } else {
            page.Tag("; <a href=\"#w").Number(windows[named]).Tag("\">&#8230; and ");
        }
        page.Number(windows.size() - named).Tag(" more</a>");
    }
    page.Tag("<br><span class=\"advice\">").Tag(words.advice).Tag("</span></div>");
}

} // namespace report
