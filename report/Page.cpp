#include "report/Page.h"

#include "report/Comparison.h"
#include "report/DesktopMap.h"
#include "report/Findings.h"
#include "report/Markup.h"
#include "report/Numbers.h"
#include "report/Palette.h"
#include "report/RecordFields.h"
#include "report/StyleNames.h"

#include <map>

namespace report {

namespace {

const char kStyle[] =
    "body{font:14px/1.4 'Segoe UI',Tahoma,Arial,sans-serif;margin:1.5em;color:#1b1b1b}"
    "h1{font-size:1.5em;margin:0 0 .3em}h2{font-size:1.2em;border-bottom:2px solid #ccc;margin-top:1.6em}"
    "h3{font-size:1em}dl.summary{display:grid;grid-template-columns:max-content auto;gap:.1em 1em}"
    "dl.summary dt{font-weight:600}dl.summary dd{margin:0}"
    "svg.map{width:100%;max-height:75vh;border:1px solid #999;background:#f6f6f6}"
    "svg.strip{width:100%;max-width:960px}"
    ".win rect{stroke:#333;stroke-width:1px;vector-effect:non-scaling-stroke;fill-opacity:.55}"
    ".win rect.zero{stroke:#c00;stroke-width:3px}.win:hover rect{stroke:#06c;stroke-width:3px}"
    ".win text{fill:#111}.origin{stroke:#888;stroke-dasharray:6 4;vector-effect:non-scaling-stroke;fill:none}"
    "table{border-collapse:collapse;font-size:12px;width:100%}"
    "th,td{border:1px solid #ccc;padding:2px 5px;vertical-align:top;text-align:left}"
    // Long names may wrap anywhere so that the table fits; handles and states never do.
    "td{overflow-wrap:anywhere}td:nth-child(2),td:nth-child(11){white-space:nowrap}"
    "th{background:#eee}tr:target{background:#ffe9a8}td.styles{font-size:11px}"
    ".sw{display:inline-block;width:.9em;height:.9em;border:1px solid #555;margin-right:.3em;vertical-align:-.1em}"
    ".finding{margin:.5em 0}.advice{color:#245;font-style:italic}em.none{color:#777}"
    "pre{background:#f3f3f3;border:1px solid #ccc;padding:.4em;white-space:pre-wrap;word-break:break-all}"
    ".changed{background:#fff3c4}"
    "@media print{body{margin:0;font-size:10px}svg.map{max-height:none;page-break-inside:avoid}"
    "tr,.finding,pre{page-break-inside:avoid}a{color:inherit;text-decoration:none}}";

std::string N(std::size_t value) { return Decimal(static_cast<std::int64_t>(value)); }

// A window as findings and the comparison name it: a link to its row, its handle and title.
void WindowLink(Markup& page, const std::vector<WindowRecord>& records, std::size_t i, bool link = true)
{
    const WindowRecord& r = records[i];
    if (link) page.Tag("<a href=\"#w" + N(i) + "\">");
    page.Tag(HandleText(r.hwnd)).Tag(" ");
    if (r.title.empty()) {
        page.Tag("<em class=\"none\">(no title)</em>");
    } else {
        page.Tag("&#8220;").Text(r.title).Tag("&#8221;");
    }
    page.Tag(link ? "</a>" : "").Tag(" (").Text(r.exe.empty() ? std::string("no program") : FileName(r.exe)).Tag(")");
}

void WriteSummary(Markup& page, const LogFile& file, const LogFile* before, std::size_t programs, std::size_t findings)
{
    const Log& log = file.log;
    page.Tag("<dl class=\"summary\"><dt>Log</dt><dd>")
        .Utf8Text(file.name)
        .Tag("</dd><dt>Size</dt><dd>")
        .Tag(Decimal(static_cast<std::int64_t>(file.size)))
        .Tag(" bytes, read as ")
        .Tag(log.encoding)
        .Tag("</dd><dt>Date</dt><dd>")
        .Tag(UtcTime(file.modified))
        .Tag(" (the file&#39;s last change)</dd>");
    if (before) {
        page.Tag("<dt>Compared with</dt><dd><a href=\"#comparison\">")
            .Utf8Text(before->name)
            .Tag("</a>, ")
            .Tag(UtcTime(before->modified))
            .Tag("</dd>");
    }
    page.Tag("<dt>Windows</dt><dd><a href=\"#windows\">" + N(log.records.size()) + "</a></dd>")
        .Tag("<dt>Programs</dt><dd>" + N(programs) + "</dd>")
        .Tag("<dt>Findings</dt><dd><a href=\"#findings\">" + N(findings) + "</a></dd>");
    if (!log.unreadable.empty()) {
        page.Tag("<dt>Unreadable</dt><dd><a href=\"#unreadable\">" + N(log.unreadable.size()) +
                 " piece(s) of the log</a></dd>");
    }
    page.Tag("</dl>");
}

void WriteLegend(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette)
{
    page.Tag("<p>");
    for (std::size_t first : palette.FirstRecords()) {
        page.Tag("<span title=\"")
            .Text(records[first].exe)
            .Tag("\"><span class=\"sw\" style=\"background:")
            .Tag(palette.Fill(first))
            .Tag("\"></span>")
            .Text(FileName(records[first].exe))
            .Tag("</span> &#160; ");
    }
    page.Tag("</p>");
}

void WriteTable(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette)
{
    std::map<std::uint32_t, std::size_t> byHandle;
    for (std::size_t i = records.size(); i-- > 0;) byHandle[records[i].hwnd] = i;
    page.Tag(
        "<table><thead><tr><th>#, lines</th><th>handle</th><th>program</th><th>title</th><th>class</th>"
        "<th>style</th><th>extended style</th><th>owner</th><th>window, size</th><th>client</th>"
        "<th>state</th><th title=\"WS_EX_APPWINDOW, or unowned and neither WS_EX_TOOLWINDOW nor WS_EX_NOACTIVATE\">"
        "button because</th></tr></thead><tbody>");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const WindowRecord& r = records[i];
        page.Tag("<tr id=\"w" + N(i) + "\"><td>" + N(i + 1) + "<br><small>" + N(static_cast<std::size_t>(r.firstLine)) +
                 "&#8211;" + N(static_cast<std::size_t>(r.lastLine)) + "</small></td><td>" + HandleText(r.hwnd) +
                 "</td><td title=\"")
            .Text(r.exe)
            .Tag("\"><span class=\"sw\" style=\"background:" + palette.Fill(i) + "\"></span>");
        if (r.exe.empty()) {
            page.Tag("<em class=\"none\">none</em>");
        } else {
            page.Text(FileName(r.exe));
        }
        page.Tag("</td><td>")
            .Text(r.title)
            .Tag("</td><td>")
            .Text(r.className)
            .Tag("</td><td class=\"styles\">")
            .Tag(StyleNames(r.style))
            .Tag("</td><td class=\"styles\">")
            .Tag(ExtendedStyleNames(r.exStyle))
            .Tag("</td><td>");
        const auto owner = byHandle.find(r.owner);
        if (r.owner == 0) {
            page.Tag("<em class=\"none\">none</em>");
        } else if (owner != byHandle.end()) {
            WindowLink(page, records, owner->second);
        } else {
            page.Tag(HandleText(r.owner) + " (not in the log)");
        }
        page.Tag("</td><td>")
            .Tag(RectText(r.window))
            .Tag("<br>")
            .Tag(Decimal(r.window.Width()) + "&#215;" + Decimal(r.window.Height()))
            .Tag("</td><td>")
            .Tag(RectText(r.client))
            .Tag("</td><td>")
            .Tag(StateText(r))
            .Tag("</td><td>")
            .Tag(ButtonRule(r))
            .Tag("</td></tr>");
    }
    page.Tag("</tbody></table>");
}

void WriteFindings(Markup& page, const std::vector<WindowRecord>& records, const std::vector<Finding>& findings)
{
    if (findings.empty()) page.Tag("<p>Nothing unusual.</p>");
    for (const Finding& finding : findings) {
        page.Tag("<div class=\"finding\"><strong>").Tag(Headline(finding.kind)).Tag("</strong> ");
        if (!finding.subject.empty()) page.Tag("&#8220;").Text(finding.subject).Tag("&#8221;");
        page.Tag("<br>");
        for (std::size_t n = 0; n < finding.windows.size(); ++n) {
            page.Tag(n == 0 ? "" : "; ");
            WindowLink(page, records, finding.windows[n]);
        }
        page.Tag("<br><span class=\"advice\">").Tag(Advice(finding.kind)).Tag("</span></div>");
    }
}

void WriteComparison(Markup& page, const LogFile& after, const LogFile& before)
{
    const std::vector<WindowRecord>& was = before.log.records;
    const std::vector<WindowRecord>& is = after.log.records;
    const Comparison comparison = Compare(was, is);
    page.Tag("<p>From ")
        .Utf8Text(before.name)
        .Tag(" to ")
        .Utf8Text(after.name)
        .Tag(": ")
        .Tag(N(comparison.appeared.size()) + " appeared, " + N(comparison.disappeared.size()) + " disappeared, " +
             N(comparison.changed.size()) + " changed, " + N(comparison.unchanged) + " unchanged.");
    if (!before.log.unreadable.empty()) {
        page.Tag(" The earlier log also holds " + N(before.log.unreadable.size()) +
                 " unreadable piece(s), left out here.");
    }
    page.Tag("</p>");
    const auto list = [&](const char* heading, const std::vector<std::size_t>& windows,
                          const std::vector<WindowRecord>& records, bool link) {
        if (windows.empty()) return;
        page.Tag("<h3>").Tag(heading).Tag("</h3><ul>");
        for (std::size_t i : windows) {
            page.Tag("<li>");
            WindowLink(page, records, i, link);
            page.Tag("</li>");
        }
        page.Tag("</ul>");
    };
    list("Appeared", comparison.appeared, is, true);
    list("Disappeared", comparison.disappeared, was, false);
    if (comparison.changed.empty()) return;
    page.Tag("<h3>Changed</h3><table><thead><tr><th>window</th><th>field</th><th>before</th><th>after</th></tr>"
             "</thead><tbody>");
    for (const Change& change : comparison.changed) {
        for (std::size_t n = 0; n < change.fields.size(); ++n) {
            const RecordField& field = kRecordFields[change.fields[n]];
            page.Tag("<tr>");
            if (n == 0) {
                page.Tag("<td rowspan=\"" + N(change.fields.size()) + "\">");
                WindowLink(page, is, change.after);
                page.Tag("</td>");
            }
            page.Tag("<td>")
                .Tag(field.name)
                .Tag("</td><td>")
                .Text(field.text(was[change.before]))
                .Tag("</td><td class=\"changed\">")
                .Text(field.text(is[change.after]))
                .Tag("</td></tr>");
        }
    }
    page.Tag("</tbody></table>");
}

void WriteUnreadable(Markup& page, const Log& log)
{
    for (const Unreadable& piece : log.unreadable) {
        page.Tag("<p>Lines " + N(static_cast<std::size_t>(piece.firstLine)) + "&#8211;" +
                 N(static_cast<std::size_t>(piece.lastLine)) + ": line " +
                 N(static_cast<std::size_t>(piece.failedLine)) + " does not hold ")
            .Text(piece.expected)
            .Tag(" where a record has it.</p><pre>");
        // The piece's own line ends break its lines; anything else, a lone CR among it, shows.
        std::size_t start = 0;
        for (std::size_t end; (end = piece.text.find('\n', start)) != std::string::npos; start = end + 1) {
            page.Text(std::string_view(piece.text)
                          .substr(start, end - start - (end > start && piece.text[end - 1] == '\r')))
                .Tag("\n");
        }
        page.Text(std::string_view(piece.text).substr(start)).Tag("</pre>");
    }
}

} // namespace

std::string WritePage(const LogFile& file, const LogFile* before)
{
    const std::vector<WindowRecord>& records = file.log.records;
    const std::vector<Finding> findings = FindIssues(records);
    const Palette palette(records);
    Markup page;
    page.Tag("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
             "<meta name=\"viewport\" content=\"width=device-width\"><title>Taskbar windows: ")
        .Utf8Text(file.name)
        .Tag("</title><style>")
        .Tag(kStyle)
        .Tag("</style></head><body><h1>Taskbar windows in ")
        .Utf8Text(file.name)
        .Tag("</h1>");
    WriteSummary(page, file, before, palette.Programs(), findings.size());
    page.Tag("<h2 id=\"map\">Desktop map</h2><p>Every window&#39;s rectangle to scale, topmost drawn last and "
             "see-through, so that covered windows show; "
             "one colour per program. Hover a window for its record; click it for its row.</p>");
    WriteLegend(page, records, palette);
    WriteDesktopMap(page, records, palette);
    // Findings before the table: they are short, and what a reader came for.
    page.Tag("<h2 id=\"findings\">Findings</h2>");
    WriteFindings(page, records, findings);
    page.Tag("<h2 id=\"windows\">Windows</h2>");
    WriteTable(page, records, palette);
    if (before) {
        page.Tag("<h2 id=\"comparison\">Comparison</h2>");
        WriteComparison(page, file, *before);
    }
    if (!file.log.unreadable.empty()) {
        page.Tag("<h2 id=\"unreadable\">Unreadable</h2>");
        WriteUnreadable(page, file.log);
    }
    page.Tag("<p><small>Made by vantrel-report. This page holds no script and loads nothing.</small></p>"
             "</body></html>\n");
    return std::move(page.Result());
}

} // namespace report
