#include "report/WindowTable.h"

#include "report/Findings.h"
#include "report/PageParts.h"
#include "report/Paths.h"
#include "report/RecordFields.h"
#include "report/StyleNames.h"

#include <unordered_map>

namespace report {

namespace {

// The raw value, then its names; a line breaks only after a " | ", never inside a name.
void WriteStyle(Markup& page, std::uint32_t value, const std::string& names)
{
    page.Tag("<code>").Text(HandleText(value)).Tag("</code><small>");
    std::size_t at = 0;
    for (std::size_t bar; (bar = names.find(" | ", at)) != std::string::npos; at = bar + 3) {
        page.Text(std::string_view(names).substr(at, bar - at)).Tag("&#160;| ");
    }
    page.Text(std::string_view(names).substr(at)).Tag("</small>");
}

Literal ButtonReason(const WindowRecord& r)
{
    switch (ButtonRuleOf(r)) {
    case ButtonRule::AppWindow: return "WS_EX_APPWINDOW";
    case ButtonRule::Unowned: return "unowned";
    case ButtonRule::None: break;
    }
    return "<em class=\"none\">none of these rules</em>";
}

} // namespace

void WriteWindowTable(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette)
{
    if (records.empty()) return;
    std::unordered_map<std::uint32_t, std::size_t> byHandle;
    for (std::size_t i = records.size(); i-- > 0;) byHandle[records[i].hwnd] = i;
    page.Tag("<p class=\"note\">One row per window, in z-order as the log lists them: the topmost first.</p>"
             "<div class=\"wide\"><table><thead><tr><th>Row<small>handle; lines in the log</small></th>"
             "<th>Program<small>full path</small></th><th>Title</th><th>Class<small>atom</small></th>"
             "<th>Style<small>extended style</small></th><th>Owner<small>parent, GetParent</small></th>"
             "<th>Window<small>left,top - right,bottom; size; client area; state</small></th>"
             "<th title=\"WS_EX_APPWINDOW, or unowned and neither WS_EX_TOOLWINDOW nor WS_EX_NOACTIVATE\">"
             "Why a button</th></tr></thead><tbody>");
    for (std::size_t i = 0; i < records.size(); ++i) {
        const WindowRecord& r = records[i];
        page.Tag("<tr id=\"w").Number(i).Tag("\"><td class=\"nowrap\"><strong>").Number(i + 1).Tag("</strong> ");
        page.Text(HandleText(r.hwnd)).Tag("<small>lines ").Number(r.firstLine).Tag("&#8211;").Number(r.lastLine);
        page.Tag("</small></td><td>");
        WriteSwatch(page, palette, i);
        if (r.exe.empty()) {
            page.Tag("<em class=\"none\">none</em></td>");
        } else {
            page.Tag("<span class=\"name\">").Text(FileName(r.exe)).Tag("</span><small>").PathText(r.exe);
            page.Tag("</small></td>");
        }
        page.Tag("<td class=\"title\">").Text(r.title).Tag("</td><td><span class=\"name\">").Text(r.className);
        page.Tag("</span><small>").Text(HandleText(r.atom)).Tag("</small></td>");
        page.Tag("<td class=\"styles\">");
        WriteStyle(page, r.style, StyleNames(r.style));
        WriteStyle(page, r.exStyle, ExtendedStyleNames(r.exStyle));
        page.Tag("</td><td>");
        const auto owner = byHandle.find(r.owner);
        if (r.owner == 0) {
            page.Tag("<em class=\"none\">none</em>");
        } else if (owner != byHandle.end()) {
            WriteWindowName(page, records, owner->second);
        } else {
            page.Text(HandleText(r.owner)).Tag(" (not in the log)");
        }
        page.Tag("<small>parent=").Text(HandleText(r.parent)).Tag(" getparent=").Text(HandleText(r.getParent));
        page.Tag("</small></td><td class=\"nowrap\">").Text(RectText(r.window)).Tag("<small>");
        page.Number(r.window.Width()).Tag("&#215;").Number(r.window.Height()).Tag("; client ").Text(RectText(r.client));
        page.Tag("</small>").Text(StateText(r)).Tag("</td><td>").Tag(ButtonReason(r));
        page.Tag("</td></tr>");
    }
    page.Tag("</tbody></table></div>");
}

} // namespace report
