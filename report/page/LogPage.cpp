#include "report/page/LogPage.h"

#include "report/analysis/RecordFields.h"
#include "report/page/DesktopMap.h"
#include "report/page/FindingList.h"
#include "report/page/LogTexts.h"
#include "report/page/PageOutline.h"
#include "report/page/PageParts.h"
#include "report/page/WindowTable.h"
#include "report/text/Numbers.h"

namespace report {

namespace {

void WriteSummary(Markup& page, const LogReport& report, const Palette& palette)
{
    const Log& log = report.file.log;
    page.Tag("<dt>Log</dt><dd>").Utf8Text(report.file.name).Tag("</dd><dt>Size</dt><dd>");
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
        page.Number(palette.Programs()).Tag(" programs");
    }
    page.Tag("</dd><dt>Findings</dt><dd><a href=\"#findings\">").Number(report.findings.size()).Tag("</a></dd>");
    if (!log.unreadable.empty()) {
        page.Tag("<dt>Unreadable</dt><dd><a href=\"#unreadable\">").Number(log.unreadable.size());
        page.Tag(" piece(s) of the log</a></dd>");
    }
    page.Tag("<dt>Not in a log</dt><dd>The machine, the Windows version, the monitors, the taskbar&#39;s settings "
             "and every window without a taskbar button: a log records only the windows that had one by the rules. "
             "The taskbar applies them when a window is shown or hidden, so a window whose style changed while it "
             "was visible can disagree with the log until it is hidden and shown again.</dd>");
}

void WriteWindowList(Markup& page, Literal heading, const std::vector<std::size_t>& windows,
                     const std::vector<LoggedWindow>& records, bool link)
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

void WriteComparison(Markup& page, const LogReport& report)
{
    const LogFile& before = *report.before;
    const Comparison& comparison = *report.comparison;
    const std::vector<LoggedWindow>& was = before.log.records;
    const std::vector<LoggedWindow>& is = report.file.log.records;
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

void WriteLogPage(const LogReport& report, ByteSink& out)
{
    const std::vector<LoggedWindow>& records = report.file.log.records;
    const Palette palette(records);
    PageOutline outline{
        report.file.name,
        "",
        [&](Markup& page) { page.Tag("Taskbar windows in ").Utf8Text(report.file.name); },
        [&](Markup& page) { WriteSummary(page, report, palette); },
        {{"findings", "Findings",
          [&](Markup& page) { WriteFindings(page, report.findings, records, MoreLink::Table); }},
         {"map", "Desktop map", [&](Markup& page) { WriteDesktopMap(page, records, report.layout, palette); }},
         {"windows", "Windows", [&](Markup& page) { WriteWindowTable(page, records, palette, report.owners); }}}};
    if (report.comparison) {
        outline.sections.push_back({"comparison", "Comparison", [&](Markup& page) { WriteComparison(page, report); }});
    }
    if (!report.file.log.unreadable.empty()) {
        outline.sections.push_back(
            {"unreadable", "Unreadable", [&](Markup& page) { WriteUnreadable(page, report.file.log); }});
    }
    WritePageOf(outline, palette, out);
}

} // namespace report
