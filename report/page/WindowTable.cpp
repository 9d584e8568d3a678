#include "report/page/WindowTable.h"

#include "report/page/LogTexts.h"
#include "report/page/PageParts.h"
#include "report/text/Paths.h"
#include "report/analysis/RecordFields.h"
#include "report/page/StyleNames.h"

#include <unordered_map>

namespace report {

namespace {

// The raw value, then its names; a line breaks only after a " | ", never inside a name.
void WriteStyle(Markup& page, std::uint32_t value, const std::string& names)
{
    page.Tag("<code>").Handle(value).Tag("</code><small>");
    std::size_t at = 0;
    for (std::size_t bar; (bar = names.find(" | ", at)) != std::string::npos; at = bar + 3) {
        page.Text(std::string_view(names).substr(at, bar - at)).Tag("\xC2\xA0| ");
    }
    page.Text(std::string_view(names).substr(at)).Tag("</small>");
}

// Names of a value, made once for all the windows that share it.
class StyleNameCache {
public:
    explicit StyleNameCache(std::string (*names)(std::uint32_t)) : names_(names) {}
    const std::string& operator()(std::uint32_t value)
    {
        auto found = cache_.find(value);
        if (found == cache_.end()) found = cache_.emplace(value, names_(value)).first;
        return found->second;
    }

private:
    std::string (*names_)(std::uint32_t);
    std::unordered_map<std::uint32_t, std::string> cache_;
};

// The table's head and rows; `lines` for rows of a log, which name its lines.
void WriteRows(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette, const TableRows& table,
               bool lines)
{
    StyleNameCache styleNames(StyleNames), extendedNames(ExtendedStyleNames);
    page.Tag("<div class=\"wide\"><table><thead><tr><th>Row<small>handle");
    page.Tag(lines ? Literal("; lines in the log") : Literal("")).Tag("</small></th>");
    page.Tag("<th>Program<small>full path</small></th><th>Title</th><th>Class<small>atom</small></th>"
             "<th>Style<small>extended style</small></th><th>Owner<small>parent, GetParent</small></th>"
             "<th>Window<small>left,top - right,bottom; size; client area; state</small></th><th>");
    page.Tag(table.reasonHeading).Tag("</th></tr></thead><tbody>");
    for (std::size_t i : table.rows) {
        const LoggedWindow& r = records[i];
        page.Tag("<tr id=\"w").Number(i);
        page.Tag(table.undrawn && table.undrawn(i) ? Literal("\" class=\"undrawn") : Literal(""));
        page.Tag("\"><td class=\"nowrap\">");
        WriteSwatch(page, palette, i);
        page.Tag("<strong>").Number(i + 1).Tag("</strong> ").Handle(r.hwnd);
        if (lines) page.Tag("<small>lines ").Number(r.firstLine).Tag("&#8211;").Number(r.lastLine).Tag("</small>");
        page.Tag("</td><td>");
        if (r.exe.empty()) {
            page.Tag("<em class=\"none\">none</em></td>");
        } else {
            page.Tag("<span class=\"name\">").NameText(FileName(r.exe)).Tag("</span><small>").PathText(r.exe);
            page.Tag("</small></td>");
        }
        page.Tag("<td class=\"title\">").Text(r.title).Tag("</td><td><span class=\"name\">").NameText(r.className);
        page.Tag("</span><small>").Handle(r.atom).Tag("</small></td>");
        page.Tag("<td class=\"styles\">");
        WriteStyle(page, r.style, styleNames(r.style));
        WriteStyle(page, r.exStyle, extendedNames(r.exStyle));
        page.Tag("</td><td>");
        const std::optional<std::size_t> owner = r.owner == 0 ? std::nullopt : table.owner(i);
        if (r.owner == 0) {
            page.Tag("<em class=\"none\">none</em>");
        } else if (owner && *owner < records.size()) {
            WriteWindowName(page, records, *owner);
        } else {
            page.Handle(r.owner).Tag(lines ? Literal(" (not in the log)") : Literal(" (not among the windows)"));
        }
        page.Tag("<small>parent=").Handle(r.parent).Tag(" getparent=").Handle(r.getParent);
        page.Tag("</small></td><td>").Rectangle(r.window).Tag("<small>");
        page.Number(r.window.Width()).Tag("&#215;").Number(r.window.Height()).Tag("; client ").Rectangle(r.client);
        page.Tag("</small>").Text(StateText(r)).Tag("</td><td>");
        table.reason(page, i);
        page.Tag("</td></tr>");
    }
    page.Tag("</tbody></table></div>");
}

} // namespace

void WriteWindowTable(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
                      const std::vector<std::optional<std::size_t>>& owners)
{
    if (records.empty()) return;
    page.Tag("<p class=\"note\">One row per window, in z-order as the log lists them: the topmost first. A window "
             "has a taskbar button when it has WS_EX_APPWINDOW, or when it is unowned and neither a tool window "
             "(WS_EX_TOOLWINDOW) nor no-activate (WS_EX_NOACTIVATE).</p>");
    TableRows table{{},
                    "Why a button",
                    [&](Markup& cell, std::size_t i) { cell.Tag(ButtonReason(ButtonRuleOf(records[i]))); },
                    {},
                    [&](std::size_t i) { return owners[i]; }};
    for (std::size_t i = 0; i < records.size(); ++i) table.rows.push_back(i);
    WriteRows(page, records, palette, table, true);
}

void WriteWindowRows(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
                     const TableRows& table)
{
    WriteRows(page, records, palette, table, false);
}

} // namespace report
