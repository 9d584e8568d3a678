#include "report/page/LivePage.h"

#include "report/page/DesktopMap.h"
#include "report/page/FindingList.h"
#include "report/page/LiveTexts.h"
#include "report/page/PageOutline.h"
#include "report/page/PageParts.h"
#include "report/page/WindowTable.h"
#include "report/text/Numbers.h"

#include <algorithm>

namespace report {

namespace {

const char kLiveStyle[] =
    ".monitor rect{stroke:#555;vector-effect:non-scaling-stroke}.monitor rect.screen{fill:#cfcfcf}"
    ".monitor rect.work{fill:#fff;stroke:#999;stroke-dasharray:4 3}"
    ".monitor-label{pointer-events:none;font-weight:bold}.monitor-label text{fill:#333}"
    ".monitor-label rect{fill:none;stroke:#333;stroke-width:2px;vector-effect:non-scaling-stroke}"
    "ol.monitors{margin:0;padding-left:1.3em}.group{margin:.6em 0 1.2em}"
    "details.group>summary{cursor:pointer}details.group>summary h3{display:inline}"
    ".count{color:#555;font-weight:normal}tr.undrawn>td{background:#f7f7f7}.wide>table{width:100%}"
    "@media print{details.group>summary .note{display:none}}";

const char kShownNote[] =
    "<p class=\"note\">One row per window, in z-order: the topmost first. A window has a taskbar button when it is "
    "shown, top-level and not cloaked (or cloaked on another desktop, with every desktop&#39;s windows shown), and "
    "has WS_EX_APPWINDOW, or is unowned and neither a tool window (WS_EX_TOOLWINDOW) nor no-activate "
    "(WS_EX_NOACTIVATE), and its program did not remove the button. The taskbar decides when a window is shown or "
    "hidden: a style changed while the window is visible counts only once it is hidden and shown again, so until "
    "then a row here can disagree with the taskbar.</p>";

const char kWithoutNote[] =
    "<p class=\"note\">Grouped by the rule that left them out, in the order the taskbar asks; each group says what "
    "its rule means and what would give a window a button. The hidden windows come last, closed: a printed page "
    "shows them only if they were opened first.</p>";

// "\\.\DISPLAY1, primary: 0,0 - 1920,1080 (1920×1080), work area 0,0 - 1920,1040, 144 dpi (150%)"
void WriteMonitor(Markup& page, const LiveMonitor& m)
{
    if (m.device.empty()) {
        page.Tag("<em class=\"none\">no device name</em>");
    } else {
        page.Utf8Text(m.device);
    }
    page.Tag(m.primary ? Literal(", primary: ") : Literal(": ")).Rectangle(m.bounds).Tag(" (");
    page.Number(m.bounds.Width()).Tag("&#215;").Number(m.bounds.Height()).Tag("), work area ").Rectangle(m.work);
    if (m.dpi) {
        page.Tag(", ").Number(*m.dpi).Tag(" dpi (").Number(std::uint64_t{*m.dpi} * 100 / 96).Tag("%)");
    } else {
        page.Tag(", DPI unknown");
    }
}

// What this system could not tell of any window or monitor: it reads as unknown wherever it is shown.
void WriteUnknowns(Markup& page, const LiveSnapshot& snapshot)
{
    const std::vector<LiveWindow>& windows = snapshot.windows;
    const auto none = [&](auto known) {
        return !windows.empty() && std::none_of(windows.begin(), windows.end(), known);
    };
    const struct {
        bool unknown;
        Literal what;
    } kUnknowns[] = {
        {none([](const LiveWindow& w) { return w.cloak.has_value(); }), "cloaking (Windows 8 and later)"},
        {none([](const LiveWindow& w) { return w.onCurrentDesktop != Known::Unknown; }),
         "virtual desktops (Windows 10 and later)"},
        {none([](const LiveWindow& w) { return w.frame.has_value(); }),
         "the frames the window manager draws (Windows Vista and later)"},
        {!snapshot.monitors.empty() && std::none_of(snapshot.monitors.begin(), snapshot.monitors.end(),
                                                    [](const LiveMonitor& m) { return m.dpi.has_value(); }),
         "the monitors&#39; DPI (Windows 8.1 and later)"},
        {snapshot.monitors.empty(), "the monitors"},
    };
    bool first = true;
    for (const auto& unknown : kUnknowns) {
        if (!unknown.unknown) continue;
        page.Tag(first ? Literal("<dt>Unknown here</dt><dd>") : Literal("; ")).Tag(unknown.what);
        first = false;
    }
    if (!first) page.Tag(". This system does not tell them: each reads as unknown below.</dd>");
}

// "MMTaskbarMode = 2", or "MMTaskbarMode not set".
void WriteSetting(Markup& page, Literal name, const std::optional<std::uint32_t>& value)
{
    page.Tag(name);
    if (value) {
        page.Tag(" = ").Number(*value);
    } else {
        page.Tag(" not set");
    }
}

void WriteDesktopFilter(Markup& page, const TaskbarSettings& settings)
{
    const std::optional<std::uint32_t>& filter = settings.virtualDesktopFilter;
    page.Tag(filter == 0u ? Literal("the taskbar shows the windows of every virtual desktop (")
                          : Literal("the taskbar shows the windows of the virtual desktop in use only ("));
    WriteSetting(page, "VirtualDesktopTaskbarFilter", filter);
    if (!filter) page.Tag(": Windows&#39; default");
    if (filter && *filter > 1) page.Tag(", a value not known here");
    page.Tag(")");
}

void WriteTaskbars(Markup& page, const LiveReport& report)
{
    switch (report.taskbars) {
    case Taskbars::One: page.Tag("one, on the one monitor"); break;
    case Taskbars::MainOnly: page.Tag("on the main monitor only, with every window&#39;s button"); break;
    case Taskbars::Every: page.Tag("on every monitor, each with every window&#39;s button"); break;
    case Taskbars::MainAndOwn:
        page.Tag("on every monitor: a window&#39;s button is on the main taskbar and on that of the monitor the "
                 "window is on");
        break;
    case Taskbars::Own:
        page.Tag("on every monitor: a window&#39;s button is only on that of the monitor it is on");
        break;
    case Taskbars::Unknown: page.Tag("on every monitor; which shows a window&#39;s button is not known here"); break;
    }
    const TaskbarSettings& settings = report.snapshot.taskbar;
    page.Tag(" (");
    WriteSetting(page, "MMTaskbarEnabled", settings.multiMonitorEnabled);
    page.Tag(", ");
    WriteSetting(page, "MMTaskbarMode", settings.multiMonitorMode);
    if (!settings.multiMonitorEnabled || !settings.multiMonitorMode) page.Tag(": Windows&#39; default");
    page.Tag(")");
}

void WriteSummary(Markup& page, const LiveReport& report)
{
    const LiveSnapshot& snapshot = report.snapshot;
    page.Tag("<dt>System</dt><dd>");
    if (snapshot.windowsVersion.empty()) {
        page.Tag("Windows version unknown");
    } else {
        page.Utf8Text(snapshot.windowsVersion);
    }
    page.Tag("</dd><dt>Taken</dt><dd>");
    if (snapshot.taken > 0) {
        page.Text(UtcTime(snapshot.taken));
    } else {
        page.Tag("unknown");
    }
    page.Tag("</dd><dt>Monitors</dt><dd>");
    if (snapshot.monitors.empty()) {
        page.Tag("unknown");
    } else {
        page.Tag("<ol class=\"monitors\">");
        for (const LiveMonitor& monitor : snapshot.monitors) {
            page.Tag("<li>");
            WriteMonitor(page, monitor);
            page.Tag("</li>");
        }
        page.Tag("</ol>");
    }
    page.Tag("</dd><dt>Virtual screen</dt><dd>");
    const Rect& screen = snapshot.virtualScreen;
    if (screen.Width() == 0 || screen.Height() == 0) {
        page.Tag("unknown");
    } else {
        page.Rectangle(screen).Tag(" (").Number(screen.Width()).Tag("&#215;").Number(screen.Height()).Tag(")");
    }
    page.Tag("</dd><dt>Virtual desktops</dt><dd>");
    WriteDesktopFilter(page, snapshot.taskbar);
    page.Tag("</dd><dt>Taskbars</dt><dd>");
    WriteTaskbars(page, report);
    std::size_t hidden = 0;
    for (const RuleGroup& group : report.groups) hidden += group.rule == TaskbarRule::Hidden ? group.windows.size() : 0;
    page.Tag("</dd><dt>Windows</dt><dd>").Number(report.records.size()).Tag(" top-level: <a href=\"#windows\">");
    page.Number(report.shown.size()).Tag(" with a taskbar button</a>, <a href=\"#without\">");
    page.Number(report.records.size() - report.shown.size()).Tag(" without</a> (").Number(hidden);
    page.Tag(" of them hidden)</dd><dt>Findings</dt><dd><a href=\"#findings\">").Number(report.findings.size());
    page.Tag("</a></dd>");
    WriteUnknowns(page, snapshot);
}

void WriteOwner(Markup& page, const LiveReport& report, std::size_t i)
{
    const LiveWindow& w = report.snapshot.windows[i];
    page.Tag("owned by ");
    if (w.owner && *w.owner < report.records.size()) {
        WriteWindowName(page, report.records, *w.owner);
        page.Tag(w.ownerShown ? Literal(", whose button stands for it") : Literal(", which has no button either"));
    } else {
        page.Handle(report.records[i].owner).Tag(", not among the windows");
    }
}

// On which taskbar the button is, where there are several: by the monitor the window is on, and
// for a window off every monitor the one nearest to it, as the taskbar takes it.
void WriteButtonTaskbar(Markup& page, const LiveReport& report, const LiveWindow& w)
{
    const LiveMonitor* monitor = MonitorOf(report.snapshot, w);
    const auto own = [&] {
        if (monitor) {
            page.Tag("monitor ").Number(*w.monitor + 1).Tag("&#39;s taskbar");
        } else {
            page.Tag("the taskbar of the monitor nearest to it");
        }
    };
    switch (report.taskbars) {
    case Taskbars::One: return;
    case Taskbars::MainOnly: page.Tag("; button on the main taskbar"); return;
    case Taskbars::Every: page.Tag("; button on every taskbar"); return;
    case Taskbars::MainAndOwn:
        page.Tag("; button on the main taskbar");
        if (monitor && monitor->primary) return;
        page.Tag(" and on ");
        own();
        return;
    case Taskbars::Own:
        page.Tag("; button on ");
        own();
        return;
    case Taskbars::Unknown: page.Tag("; on which taskbar its button is, unknown"); return;
    }
}

// The rule that decided, then where the window is and what else the system told of it.
void WriteReason(Markup& page, const LiveReport& report, std::size_t i)
{
    const LiveSnapshot& snapshot = report.snapshot;
    const LiveWindow& w = snapshot.windows[i];
    const bool cloaked = w.cloak && *w.cloak != 0;
    if (w.rule == TaskbarRule::Owned) {
        WriteOwner(page, report, i);
    } else {
        page.Tag(WordsOf(w.rule, CloakReasonOf(w.cloak.value_or(0))).reason);
    }
    if (w.rule == TaskbarRule::Cloaked && w.cloak) page.Tag(" (").Number(*w.cloak).Tag(")");
    page.Tag("<small>");
    if (snapshot.monitors.empty()) {
        page.Tag("monitor unknown");
    } else if (MonitorOf(snapshot, w)) {
        page.Tag("monitor ").Number(*w.monitor + 1);
    } else {
        page.Tag("off every monitor");
    }
    if (w.frame) {
        page.Tag("; frame ").Rectangle(*w.frame);
    } else {
        page.Tag("; frame unknown");
    }
    if (IsParkedUnminimized(report.records[i])) page.Tag("; parked where minimized windows go, yet not minimized");
    if (report.records[i].minimized || report.records[i].maximized) page.Tag("; comes back to ").Rectangle(w.normal);
    if (w.shown) WriteButtonTaskbar(page, report, w);
    // Only the windows that show were asked about: a hidden one shows on no desktop.
    if (IsVisible(w)) {
        switch (w.onCurrentDesktop) {
        case Known::Yes: page.Tag("; this virtual desktop"); break;
        case Known::No: page.Tag("; another virtual desktop"); break;
        case Known::Unknown: page.Tag("; virtual desktop unknown"); break;
        }
    }
    if (cloaked && w.rule != TaskbarRule::Cloaked) page.Tag("; cloaked (").Number(*w.cloak).Tag(")");
    if (w.hung) page.Tag("; hung");
    page.Tag("</small>");
}

TableRows RowsOf(const LiveReport& report, std::vector<std::size_t> windows, Literal heading)
{
    return {std::move(windows), heading, [&report](Markup& cell, std::size_t i) { WriteReason(cell, report, i); },
            [&report](std::size_t i) { return static_cast<bool>(report.undrawn[i]); },
            [&report](std::size_t i) { return report.snapshot.windows[i].owner; }};
}

void WriteGroup(Markup& page, const LiveReport& report, const Palette& palette, const RuleGroup& group)
{
    const RuleWords& words = WordsOf(group.rule, group.cloak);
    // A desktop of today has hundreds of hidden windows: they are there to be looked up, not read.
    const bool closed = group.rule == TaskbarRule::Hidden;
    page.Tag(closed ? Literal("<details class=\"group\" id=\"") : Literal("<section class=\"group\" id=\""));
    page.Tag(words.id).Tag(closed ? Literal("\"><summary><h3>") : Literal("\"><h3>")).Tag(words.heading);
    page.Tag(" <span class=\"count\">(").Number(group.windows.size()).Tag(")</span></h3>");
    if (closed) page.Tag(" <span class=\"note\">&#8211; click to open</span></summary>");
    page.Tag("<p>").Tag(words.meaning).Tag(" <span class=\"advice\">").Tag(words.change).Tag("</span></p>");
    WriteWindowRows(page, report.records, palette, RowsOf(report, group.windows, "Why no button"));
    page.Tag(closed ? Literal("</details>") : Literal("</section>"));
}

// The windows with a button, in one table.
void WriteShown(Markup& page, const LiveReport& report, const Palette& palette)
{
    if (report.shown.empty()) {
        page.Tag("<p>None: no window had a taskbar button when the snapshot was taken.</p>");
        return;
    }
    page.Tag(kShownNote);
    WriteWindowRows(page, report.records, palette, RowsOf(report, report.shown, "Why a button"));
}

// The windows without one, in a group for each rule, after a line that links to each group.
void WriteWithout(Markup& page, const LiveReport& report, const Palette& palette)
{
    if (report.groups.empty()) {
        page.Tag("<p>None.</p>");
    } else {
        page.Tag(kWithoutNote).Tag("<p>");
        for (const RuleGroup& group : report.groups) {
            const RuleWords& words = WordsOf(group.rule, group.cloak);
            page.Tag(&group == &report.groups.front() ? Literal("") : Literal(" &#183; "));
            page.Tag("<a href=\"#").Tag(words.id).Tag("\">").Tag(words.heading).Tag("</a> (");
            page.Number(group.windows.size()).Tag(")");
        }
        page.Tag("</p>");
    }
    for (const RuleGroup& group : report.groups) WriteGroup(page, report, palette, group);
}

} // namespace

void WriteLiveReport(const LiveReport& report, ByteSink& out)
{
    const LiveSnapshot& snapshot = report.snapshot;
    const Palette palette(report.records);
    std::string name = "this desktop";
    if (snapshot.taken > 0) name += ", " + UtcTime(snapshot.taken);
    const PageOutline outline{
        name,
        kLiveStyle,
        [](Markup& page) { page.Tag("Taskbar buttons on this desktop, and why"); },
        [&](Markup& page) { WriteSummary(page, report); },
        {{"findings", "Findings",
          [&](Markup& page) { WriteFindings(page, report.findings, report.records, MoreLink::NextRow); }},
         {"map", "Desktop map",
          [&](Markup& page) { WriteMonitorMap(page, report.records, report.layout, palette, snapshot.monitors); }},
         {"windows", "Windows with a taskbar button", [&](Markup& page) { WriteShown(page, report, palette); }},
         {"without", "Windows without a button", [&](Markup& page) { WriteWithout(page, report, palette); }}}};
    WritePageOf(outline, palette, out);
}

void WriteLivePage(const LiveSnapshot& snapshot, ByteSink& out) { WriteLiveReport(MakeLiveReport(snapshot), out); }

} // namespace report
