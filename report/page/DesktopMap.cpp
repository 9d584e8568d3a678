#include "report/page/DesktopMap.h"

#include "report/text/Numbers.h"
#include "report/page/PageParts.h"
#include "report/text/Paths.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace report {

namespace {

// The map is drawn at half the desktop's size, so two small windows make a small map, and never
// wider or taller than a person reads at once.
constexpr double kMostScale = 0.5, kMostWidth = 1100, kMostHeight = 640;
constexpr std::int64_t kFontPixels = 11;
// A label longer than this would not fit even the widest window at the map's scale; the hover
// text has the whole title.
constexpr std::size_t kMostLabelCharacters = 80;

struct Box {
    std::int64_t x, y, width, height;
};

// One window: its rectangle and its label, clipped to the rectangle by a nested viewport.
void WriteWindow(Markup& page, const std::vector<LoggedWindow>& records, std::size_t i, const Palette& palette,
                 const Box& box, std::int64_t font, bool zero, bool withPlace)
{
    const LoggedWindow& r = records[i];
    page.Tag("<a class=\"win\" href=\"#w").Number(i).Tag("\"><svg x=\"").Number(box.x).Tag("\" y=\"").Number(box.y);
    page.Tag("\" width=\"").Number(box.width).Tag("\" height=\"").Number(box.height).Tag("\"><title>#");
    page.Number(i + 1).Tag(" ").Text(r.title).Tag(" (").Text(FileName(r.exe)).Tag(")</title><rect width=\"100%\" ");
    page.Tag("height=\"100%\" class=\"").Tag(zero ? Literal("zero ") : Literal(""));
    WriteColourClass(page, palette, i);
    page.Tag("\"/><text x=\"").Number(font / 3).Tag("\" y=\"").Number(font * 11 / 10);
    page.Tag("\"><tspan font-weight=\"bold\">").Number(i + 1).Tag("</tspan> ");
    if (r.title.empty()) {
        page.Tag(kNoTitle).Tag(" ").Text(FileName(r.exe));
    } else {
        page.Text(std::string_view(r.title).substr(0, kMostLabelCharacters));
        if (r.title.size() > kMostLabelCharacters) page.Tag("&#8230;");
    }
    if (withPlace) {
        page.Tag("<tspan x=\"").Number(font / 3).Tag("\" dy=\"").Number(font * 13 / 10).Tag("\">at ");
        page.Number(r.window.left).Tag(",").Number(r.window.top).Tag(", ").Number(r.window.Width()).Tag("&#215;");
        page.Number(r.window.Height()).Tag("</tspan>");
    }
    page.Tag("</text></svg></a>");
}

// A step of 1, 2 or 5 times a power of ten, at least `least`.
std::int64_t RoundStep(double least)
{
    std::int64_t step = 1;
    while (true) {
        for (std::int64_t factor : {1, 2, 5}) {
            if (static_cast<double>(step * factor) >= least) return step * factor;
        }
        step *= 10;
    }
}

// A rectangle's place as attributes, whichever way round its corners are.
void WritePlace(Markup& page, const Rect& r)
{
    page.Tag(" x=\"").Number(std::min(r.left, r.right)).Tag("\" y=\"").Number(std::min(r.top, r.bottom));
    page.Tag("\" width=\"").Number(std::llabs(r.Width())).Tag("\" height=\"").Number(std::llabs(r.Height())).Tag("\"");
}

// Each monitor's whole rectangle, with its work area (the rest is the taskbar's and other bars')
// lighter within it.
void WriteMonitors(Markup& page, const std::vector<LiveMonitor>& monitors)
{
    page.Tag("<g class=\"monitor\">");
    for (const LiveMonitor& monitor : monitors) {
        page.Tag("<rect class=\"screen\"");
        WritePlace(page, monitor.bounds);
        page.Tag("/><rect class=\"work\"");
        WritePlace(page, monitor.work);
        page.Tag("/>");
    }
    page.Tag("</g>");
}

// Each monitor's edge and number over the windows, so that a window as large as the desktop does
// not hide them; the number at the bottom left, where the taskbar usually is and few windows are.
void WriteMonitorLabels(Markup& page, const std::vector<LiveMonitor>& monitors, std::int64_t font)
{
    page.Tag("<g class=\"monitor-label\">");
    for (std::size_t n = 0; n < monitors.size(); ++n) {
        const Rect& r = monitors[n].bounds;
        page.Tag("<rect");
        WritePlace(page, r);
        page.Tag("/><text x=\"").Number(std::min(r.left, r.right) + font / 2).Tag("\" y=\"");
        page.Number(std::max(r.top, r.bottom) - font / 2).Tag("\">Monitor ").Number(n + 1);
        page.Tag(monitors[n].primary ? Literal(" (primary)") : Literal("")).Tag("</text>");
    }
    page.Tag("</g>");
}

void WriteScreen(Markup& page, const std::vector<LoggedWindow>& records, const DesktopLayout& layout,
                 const Palette& palette, const std::vector<LiveMonitor>* monitors)
{
    const std::int64_t width = std::max<std::int64_t>(layout.right - layout.left, 100);
    const std::int64_t height = std::max<std::int64_t>(layout.bottom - layout.top, 100);
    const double scale =
        std::min({kMostScale, kMostWidth / static_cast<double>(width), kMostHeight / static_cast<double>(height)});
    const std::int64_t font = std::max<std::int64_t>(std::llround(kFontPixels / scale), 1);
    // Room for the coordinates: along the top, and to the left for up to six digits and a sign.
    const std::int64_t left = layout.left - font * 4, top = layout.top - font * 2;
    const std::int64_t right = layout.left + width + font, bottom = layout.top + height + font;
    page.Tag("<svg class=\"map\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"").Number(left).Tag(" ").Number(top);
    page.Tag(" ").Number(right - left).Tag(" ").Number(bottom - top).Tag("\" width=\"");
    page.Number(std::llround(static_cast<double>(right - left) * scale)).Tag("\" height=\"");
    page.Number(std::llround(static_cast<double>(bottom - top) * scale)).Tag("\" font-size=\"").Number(font);
    page.Tag("\" role=\"img\"><title>Desktop map</title>");

    // Coordinates every hundred screen pixels or so of the map, on round numbers.
    const std::int64_t step = RoundStep(90 / scale);
    for (std::int64_t x = (layout.left / step) * step; x <= layout.left + width; x += step) {
        if (x < layout.left) continue;
        page.Tag("<path class=\"tick\" d=\"M").Number(x).Tag(" ").Number(layout.top - font / 2).Tag("V");
        page.Number(layout.top).Tag("\"/><text class=\"axis\" x=\"").Number(x).Tag("\" y=\"");
        page.Number(layout.top - font * 7 / 10).Tag("\" text-anchor=\"middle\">").Number(x).Tag("</text>");
    }
    for (std::int64_t y = (layout.top / step) * step; y <= layout.top + height; y += step) {
        if (y < layout.top) continue;
        page.Tag("<path class=\"tick\" d=\"M").Number(layout.left - font / 2).Tag(" ").Number(y).Tag("H");
        page.Number(layout.left).Tag("\"/><text class=\"axis\" x=\"").Number(layout.left - font * 7 / 10);
        page.Tag("\" y=\"").Number(y + font * 35 / 100).Tag("\" text-anchor=\"end\">").Number(y).Tag("</text>");
    }
    if (monitors) WriteMonitors(page, *monitors);
    // A window of zero size still needs a mark that can be seen and hovered.
    const std::int64_t least = std::max<std::int64_t>(font / 2, 1);
    std::vector<Box> boxes;
    for (std::size_t i : layout.together) {
        const Rect& w = records[i].window;
        boxes.push_back({std::min(w.left, w.right), std::min(w.top, w.bottom),
                         std::max<std::int64_t>(std::llabs(w.Width()), least),
                         std::max<std::int64_t>(std::llabs(w.Height()), least)});
    }
    // The log lists windows topmost first; drawing them in reverse puts the topmost on top.
    for (std::size_t n = layout.together.size(); n-- > 0;) {
        const Rect& w = records[layout.together[n]].window;
        WriteWindow(page, records, layout.together[n], palette, boxes[n], font, w.Width() <= 0 || w.Height() <= 0,
                    false);
    }
    // Every window's outline and number over all of them, so that a window under others still shows
    // where it is; a window in sight has its number drawn twice in the same place.
    page.Tag("<g class=\"outline\">");
    for (std::size_t n = 0; n < boxes.size(); ++n) {
        const Box& box = boxes[n];
        page.Tag("<rect x=\"").Number(box.x).Tag("\" y=\"").Number(box.y).Tag("\" width=\"").Number(box.width);
        page.Tag("\" height=\"").Number(box.height).Tag("\"/><text x=\"").Number(box.x + font / 3).Tag("\" y=\"");
        page.Number(box.y + font * 11 / 10).Tag("\">").Number(layout.together[n] + 1).Tag("</text>");
    }
    page.Tag("</g>");
    if (monitors) {
        WriteMonitorLabels(page, *monitors, font);
        page.Tag("</svg>");
        return;
    }
    // The primary monitor's top-left corner, where (0,0) is, over the windows so that it shows.
    page.Tag("<path class=\"origin\" d=\"M").Number(layout.left).Tag(" 0H").Number(layout.left + width).Tag("M0 ");
    page.Number(layout.top).Tag("V").Number(layout.top + height).Tag("\"/></svg>");
}

// Windows in a grid of labelled boxes, not to scale.
void WriteStrip(Markup& page, const std::vector<LoggedWindow>& records, const std::vector<std::size_t>& windows,
                const Palette& palette, Literal kind, bool withPlace)
{
    constexpr std::int64_t kWidth = 320, kHeight = 44, kPerRow = 3;
    const std::int64_t rows = (static_cast<std::int64_t>(windows.size()) + kPerRow - 1) / kPerRow;
    page.Tag("<svg class=\"strip ").Tag(kind).Tag("\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 ");
    page.Number(kPerRow * kWidth).Tag(" ").Number(rows * kHeight).Tag("\" width=\"").Number(kPerRow * kWidth);
    page.Tag("\" height=\"").Number(rows * kHeight).Tag("\" font-size=\"").Number(kFontPixels + 2).Tag("\">");
    for (std::size_t n = 0; n < windows.size(); ++n) {
        const std::int64_t x = static_cast<std::int64_t>(n) % kPerRow * kWidth;
        const std::int64_t y = static_cast<std::int64_t>(n) / kPerRow * kHeight;
        WriteWindow(page, records, windows[n], palette, {x + 2, y + 2, kWidth - 4, kHeight - 4}, kFontPixels + 4, false,
                    withPlace);
    }
    page.Tag("</svg>");
}

// The far windows, with their places, and the minimized ones, each in a strip under its heading.
void WriteStrips(Markup& page, const std::vector<LoggedWindow>& records, const DesktopLayout& layout,
                 const Palette& palette, Literal farHeading, Literal parkedHeading)
{
    if (!layout.far.empty()) {
        page.Tag("<h3>").Tag(farHeading).Tag("</h3>");
        WriteStrip(page, records, layout.far, palette, "far", true);
    }
    if (!layout.parked.empty()) {
        page.Tag("<h3>").Tag(parkedHeading).Tag("</h3>");
        WriteStrip(page, records, layout.parked, palette, "parked", false);
    }
}

} // namespace

void WriteDesktopMap(Markup& page, const std::vector<LoggedWindow>& records, const DesktopLayout& layout,
                     const Palette& palette)
{
    if (records.empty()) {
        page.Tag("<p>No window had a taskbar button when the log was written.</p>");
        return;
    }
    WriteLegend(page, records, palette);
    if (layout.together.empty()) {
        page.Tag("<p>No window near the primary monitor or each other.</p>");
    } else {
        page.Tag("<p class=\"note\">To scale, in the log&#39;s screen pixels; each window is numbered with its row "
                 "and drawn over the ones below it, and dotted outlines show the windows beneath. Dashed lines: "
                 "x&#160;=&#160;0 and y&#160;=&#160;0, the top-left corner of the primary monitor. Click a window "
                 "for its row.</p>");
        WriteScreen(page, records, layout, palette, nullptr);
    }
    WriteStrips(page, records, layout, palette, "Far from all the others (perhaps on a monitor that is gone)",
                "Minimized (parked off screen)");
}

void WriteMonitorMap(Markup& page, const std::vector<LoggedWindow>& records, const DesktopLayout& layout,
                     const Palette& palette, const std::vector<LiveMonitor>& monitors)
{
    std::vector<std::size_t> drawn = layout.together;
    drawn.insert(drawn.end(), layout.far.begin(), layout.far.end());
    drawn.insert(drawn.end(), layout.parked.begin(), layout.parked.end());
    std::sort(drawn.begin(), drawn.end());
    WriteLegend(page, records, palette, drawn);
    if (monitors.empty() && layout.together.empty()) {
        page.Tag("<p>Neither a monitor nor a window on one is known.</p>");
    } else {
        page.Tag("<p class=\"note\">To scale, in screen pixels: each monitor in grey with its work area in white "
                 "(the rest is the taskbar&#39;s), and every window that is shown, numbered with its row and drawn "
                 "over the ones below it; dotted outlines show the windows beneath. Hidden and cloaked windows, and "
                 "the shell&#39;s desktop behind them all, are not drawn. Click a window for its row.</p>");
        WriteScreen(page, records, layout, palette, &monitors);
    }
    WriteStrips(page, records, layout, palette, "Off every monitor", "Minimized");
}

} // namespace report
