#include "report/DesktopMap.h"

#include "report/Findings.h"
#include "report/Numbers.h"
#include "report/RecordFields.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

namespace report {

namespace {

std::string N(std::int64_t value) { return Decimal(value); }

void Label(Markup& page, const WindowRecord& r)
{
    if (r.title.empty()) {
        page.Tag("(no title) ").Text(FileName(r.exe));
    } else {
        page.Text(r.title);
    }
}

// Rectangles in the log's own pixels: the view box does the scaling, so every window keeps its
// true size and place however far apart they are.
void WriteScreen(Markup& page, const std::vector<WindowRecord>& records, const std::vector<std::size_t>& shown,
                 const Palette& palette)
{
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (std::size_t i : shown) {
        const Rect& w = records[i].window;
        left = std::min<std::int64_t>({left, w.left, w.right}),
        right = std::max<std::int64_t>({right, w.left, w.right});
        top = std::min<std::int64_t>({top, w.top, w.bottom}),
        bottom = std::max<std::int64_t>({bottom, w.top, w.bottom});
    }
    const std::int64_t extent = std::max<std::int64_t>({right - left, bottom - top, 100});
    const std::int64_t margin = extent / 50, font = std::max<std::int64_t>(extent / 90, 1);
    // A window of zero size still needs a mark that can be seen and hovered.
    const std::int64_t least = std::max<std::int64_t>(extent / 150, 1);
    page.Tag("<svg class=\"map\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"")
        .Tag(N(left - margin) + " " + N(top - margin) + " " + N(right - left + 2 * margin) + " " +
             N(bottom - top + 2 * margin))
        .Tag("\" font-size=\"" + N(font) + "\" role=\"img\"><title>Desktop map</title>");
    // The primary monitor's corner, where (0,0) is.
    page.Tag("<path class=\"origin\" d=\"M" + N(left - margin) + " 0H" + N(right + margin) + "M0 " + N(top - margin) +
             "V" + N(bottom + margin) + "\"/>");
    // Windows often share a corner (a dialog over its owner, two maximized windows): each label
    // at a corner already labelled goes a line lower.
    std::map<std::pair<std::int64_t, std::int64_t>, std::int64_t> labelsAt;
    // The log lists windows topmost first; drawing them in reverse puts the topmost on top.
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        const WindowRecord& r = records[*it];
        const std::int64_t x = std::min(r.window.left, r.window.right), y = std::min(r.window.top, r.window.bottom);
        const std::int64_t w =
            std::max<std::int64_t>(r.window.Width() < 0 ? -r.window.Width() : r.window.Width(), least);
        const std::int64_t h =
            std::max<std::int64_t>(r.window.Height() < 0 ? -r.window.Height() : r.window.Height(), least);
        const std::int64_t line = labelsAt[{x, y}]++;
        const std::string id = "c" + N(static_cast<std::int64_t>(*it));
        const std::string box = "x=\"" + N(x) + "\" y=\"" + N(y) + "\" width=\"" + N(w) + "\" height=\"" + N(h) + "\"";
        page.Tag("<a href=\"#w" + N(static_cast<std::int64_t>(*it)) + "\"><g class=\"win\"><title>")
            .Text(RecordText(r))
            .Tag("</title><clipPath id=\"" + id + "\"><rect " + box + "/></clipPath><rect " + box)
            .Tag(r.window.Width() > 0 && r.window.Height() > 0 ? "" : " class=\"zero\"")
            .Tag(" fill=\"" + palette.Fill(*it) + "\"/><text x=\"" + N(x + font / 2) + "\" y=\"" +
                 N(y + font * 3 / 2 + line * font * 5 / 4) + "\" clip-path=\"url(#" + id + ")\">");
        Label(page, r);
        page.Tag("</text></g></a>");
    }
    page.Tag("</svg>");
}

void WriteParked(Markup& page, const std::vector<WindowRecord>& records, const std::vector<std::size_t>& parked,
                 const Palette& palette)
{
    constexpr std::int64_t kWidth = 240, kHeight = 36, kPerRow = 4;
    const std::int64_t rows = (static_cast<std::int64_t>(parked.size()) + kPerRow - 1) / kPerRow;
    page.Tag(
        "<h3>Minimized (parked at -32000, off screen)</h3><svg class=\"strip\" xmlns=\"http://www.w3.org/2000/svg\" "
        "viewBox=\"0 0 " +
        N(kPerRow * kWidth) + " " + N(rows * kHeight) + "\" font-size=\"13\">");
    for (std::size_t n = 0; n < parked.size(); ++n) {
        const std::size_t i = parked[n];
        const std::int64_t x = static_cast<std::int64_t>(n) % kPerRow * kWidth,
                           y = static_cast<std::int64_t>(n) / kPerRow * kHeight;
        const std::string id = "p" + N(static_cast<std::int64_t>(i));
        const std::string box = "x=\"" + N(x + 2) + "\" y=\"" + N(y + 2) + "\" width=\"" + N(kWidth - 4) +
                                "\" height=\"" + N(kHeight - 4) + "\"";
        page.Tag("<a href=\"#w" + N(static_cast<std::int64_t>(i)) + "\"><g class=\"win\"><title>")
            .Text(RecordText(records[i]))
            .Tag("</title><clipPath id=\"" + id + "\"><rect " + box + "/></clipPath><rect " + box + " fill=\"" +
                 palette.Fill(i) + "\"/><text x=\"" + N(x + 8) + "\" y=\"" + N(y + 23) + "\" clip-path=\"url(#" + id +
                 ")\">");
        Label(page, records[i]);
        page.Tag("</text></g></a>");
    }
    page.Tag("</svg>");
}

} // namespace

void WriteDesktopMap(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette)
{
    std::vector<std::size_t> shown, parked;
    for (std::size_t i = 0; i < records.size(); ++i) (IsParked(records[i]) ? parked : shown).push_back(i);
    if (shown.empty()) {
        page.Tag("<p>No window on screen.</p>");
    } else {
        WriteScreen(page, records, shown, palette);
    }
    if (!parked.empty()) WriteParked(page, records, parked, palette);
}

} // namespace report
