#include "report/Page.h"

#include "report/DesktopMap.h"
#include "report/Numbers.h"
#include "report/PageParts.h"
#include "report/RecordFields.h"
#include "report/WindowTable.h"

namespace report {

namespace {

void WriteSummary(Markup& page, const Report& report)
{
    const Log& log = report.file.log;
    page.Tag("<dl class=\"summary\"><dt>Log</dt><dd>").Utf8Text(report.file.name).Tag("</dd><dt>Size</dt><dd>");
    page.Number(report.file.size).Tag(" bytes, read as ").Text(log.encoding).Tag("</dd><dt>Date</dt><dd>");
    page.Text(UtcTime(report.file.modified));
    page.Tag(" &#8211; the file&#39;s last change (the log holds no time of its own)</dd>");
    if (report.before) {
        page.Tag("<dt>Compared with</dt><dd><a href=\"#comparison\">").Utf8Text(report.before->name);
        page.Tag("</a>, last changed ").Text(UtcTime(report.before->modified)).Tag("</dd>");
    }
    page.Tag("<dt>Taskbar buttons</dt><dd>");
    if (log.records.empty()) {
        page.Tag("none: no window had a taskbar button when the log was written");
    } else {
        page.Tag("<a href=\"#windows\">").Number(log.records.size()).Tag(" windows</a> of ");
        page.Number(report.palette.Programs()).Tag(" programs");
    }
    page.Tag("</dd><dt>Findings</dt><dd><a href=\"#findings\">").Number(report.findings.size()).Tag("</a></dd>");
    if (!log.unreadable.empty()) {
        page.Tag("<dt>Unreadable</dt><dd><a href=\"#unreadable\">").Number(log.unreadable.size());
        page.Tag(" piece(s) of the log</a></dd>");
    }
    page.Tag("<dt>Not in a log</dt><dd>The machine, the Windows version, the monitors, the taskbar&#39;s settings "
             "and every window without a taskbar button: a log records only the windows that had one by the rules. "
             "The taskbar applies them when a window is shown or hidden, so a window whose style changed while it "
             "was visible can disagree with the log until it is hidden and shown again.</dd></dl>");
}

Literal Headline(FindingKind kind)
{
    switch (kind) {
    case FindingKind::ManyButtons: return "One program shows more than one taskbar button:";
    case FindingKind::AppWindowOwned: return "Owned windows with a button only because of WS_EX_APPWINDOW";
    case FindingKind::NoProgram: return "Windows with no program: the process had ended or could not be opened";
    case FindingKind::Minimized: return "Minimized windows, not on screen";
    case FindingKind::ZeroSize: return "Windows of zero size: a button for nothing that can be seen";
    case FindingKind::FarAway: return "Windows far from all others, perhaps on a monitor that is gone";
    case FindingKind::StoreApp: return "Store apps, each hosted by a window of ApplicationFrameHost.exe";
    case FindingKind::LostCharacters: return "Titles with &#39;?&#39;: characters outside ISO 8859-1 may have been lost";
    case FindingKind::CutTitle: return "Titles cut at the most characters a record holds";
    case FindingKind::SameTitle: return "Several windows share one title:";
    }
    return "";
}

Literal Advice(FindingKind kind)
{
    switch (kind) {
    case FindingKind::ManyButtons:
        return "If it should show one button, give its other windows an owner or WS_EX_TOOLWINDOW.";
    case FindingKind::AppWindowOwned: return "Drop WS_EX_APPWINDOW if the window should share its owner&#39;s button.";
    case FindingKind::NoProgram:
        return "Run Vantrel again with the rights of the program (as administrator if it runs elevated).";
    case FindingKind::Minimized: return "Ask the user to restore them before blaming a missing window.";
    case FindingKind::ZeroSize:
        return "Look for a helper window of the program that should be a tool window, owned, or hidden.";
    case FindingKind::FarAway:
        return "If the user cannot see it, move it back: Alt+Space, M, an arrow key, then the mouse.";
    case FindingKind::StoreApp: return "The log names the frame host, not the app: find each app by its title.";
    case FindingKind::LostCharacters:
        return "Compare these titles with what the user sees; a &#39;?&#39; may be a lost letter.";
    case FindingKind::CutTitle: return "The rest of the title is not in the log; match the window by its start.";
    case FindingKind::SameTitle: return "Tell these apart by handle and program, not by title.";
    }
    return "";
}

void WriteFindings(Markup& page, const Report& report)
{
    const std::vector<WindowRecord>& records = report.file.log.records;
    if (report.findings.empty()) page.Tag("<p>Nothing unusual.</p>");
    for (const Finding& finding : report.findings) {
        page.Tag("<div class=\"finding\"><strong>").Tag(Headline(finding.kind)).Tag("</strong> ");
        if (!finding.subject.empty()) page.Tag("&#8220;").Text(finding.subject).Tag("&#8221; ");
        if (finding.kind == FindingKind::CutTitle) page.Tag("(").Number(kTitleLimit).Tag(") ");
        page.Tag("<span class=\"note\">(").Number(finding.windows.size()).Tag(")</span><br>");
        const std::size_t named = std::min(finding.windows.size(), kMostNamedPerFinding);
        for (std::size_t n = 0; n < named; ++n) {
            if (n > 0) page.Tag("; ");
            WriteWindowName(page, records, finding.windows[n]);
        }
        if (named < finding.windows.size()) {
            page.Tag("; <a href=\"#windows\">&#8230; and ").Number(finding.windows.size() - named).Tag(" more</a>");
        }
        page.Tag("<br><span class=\"advice\">").Tag(Advice(finding.kind)).Tag("</span></div>");
    }
}

void WriteWindowList(Markup& page, Literal heading, const std::vector<std::size_t>& windows,
                     const std::vector<WindowRecord>& records, bool link)
{
    if (windows.empty()) return;
    page.Tag("<h3>").Tag(heading).Tag("</h3><ul>");
    for (std::size_t i : windows) {
        page.Tag("<li>");
        WriteWindowName(page, records, i, link);
        page.Tag("</li>");
    }
    page.Tag("</ul>");
}

void WriteComparison(Markup& page, const Report& report)
{
    const LogFile& before = *report.before;
    const Comparison& comparison = *report.comparison;
    const std::vector<WindowRecord>& was = before.log.records;
    const std::vector<WindowRecord>& is = report.file.log.records;
    page.Tag("<p>From ").Utf8Text(before.name).Tag(" to ").Utf8Text(report.file.name).Tag(": ");
    page.Number(comparison.appeared.size()).Tag(" appeared, ").Number(comparison.disappeared.size());
    page.Tag(" disappeared, ").Number(comparison.changed.size()).Tag(" changed, ").Number(comparison.unchanged);
    page.Tag(" unchanged.");
    if (!before.log.unreadable.empty()) {
        page.Tag(" The earlier log also holds ").Number(before.log.unreadable.size());
        page.Tag(" unreadable piece(s), left out here.");
    }
    page.Tag("</p>");
    WriteWindowList(page, "Appeared", comparison.appeared, is, true);
    WriteWindowList(page, "Disappeared", comparison.disappeared, was, false);
    if (comparison.changed.empty()) return;
    page.Tag("<h3>Changed</h3><table><thead><tr><th>Window</th><th>Field</th><th>Before</th><th>After</th></tr>"
             "</thead><tbody>");
    for (const Change& change : comparison.changed) {
        for (std::size_t n = 0; n < change.fields.size(); ++n) {
            const RecordField& field = kRecordFields[change.fields[n]];
            page.Tag("<tr>");
            if (n == 0) {
                page.Tag("<td rowspan=\"").Number(change.fields.size()).Tag("\">");
                WriteWindowName(page, is, change.after);
                page.Tag("</td>");
            }
            page.Tag("<td>").Text(field.name).Tag("</td><td>").Text(field.text(was[change.before]));
            page.Tag("</td><td class=\"changed\">").Text(field.text(is[change.after])).Tag("</td></tr>");
        }
    }
    page.Tag("</tbody></table>");
}

void WriteUnreadable(Markup& page, const Log& log)
{
    for (const Unreadable& piece : log.unreadable) {
        page.Tag("<p>Lines ").Number(piece.firstLine).Tag("&#8211;").Number(piece.lastLine).Tag(": line ");
        page.Number(piece.failedLine).Tag(" does not hold ").Text(piece.expected);
        page.Tag(" where a record has it.</p><pre>");
        // The piece's own line ends break its lines; anything else, a lone CR among it, shows.
        const std::string_view text = piece.text;
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
            const bool cr = end > start && text[end - 1] == '\r';
            page.Text(text.substr(start, end - start - (cr ? 1 : 0))).Tag("\n");
        }
        page.Text(text.substr(start)).Tag("</pre>");
    }
}

} // namespace

void WritePage(const Report& report, ByteSink& out)
{
    const std::vector<WindowRecord>& records = report.file.log.records;
    Markup page(out);
    BeginPage(page, report.file.name, report.palette);
    page.Tag("<h1>Taskbar windows in ").Utf8Text(report.file.name).Tag("</h1>");
    WriteSummary(page, report);
    page.Tag("<h2 id=\"findings\">Findings</h2>");
    WriteFindings(page, report);
    page.Tag("<h2 id=\"map\">Desktop map</h2>");
    WriteDesktopMap(page, records, report.layout, report.palette);
    page.Tag("<h2 id=\"windows\">Windows</h2>");
    WriteWindowTable(page, records, report.palette);
    if (report.comparison) {
        page.Tag("<h2 id=\"comparison\">Comparison</h2>");
        WriteComparison(page, report);
    }
    if (!report.file.log.unreadable.empty()) {
        page.Tag("<h2 id=\"unreadable\">Unreadable</h2>");
        WriteUnreadable(page, report.file.log);
    }
    EndPage(page);
}

} // namespace report
