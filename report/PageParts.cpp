#include "report/PageParts.h"

#include "report/Paths.h"
#include "report/RecordFields.h"

namespace report {

namespace {

const char kStyle[] =
    "body{font:14px/1.4 'Segoe UI',Tahoma,Arial,sans-serif;margin:1em;color:#1b1b1b}"
    "h1{font-size:1.5em;margin:0 0 .3em}h2{font-size:1.2em;border-bottom:2px solid #ccc;margin-top:1.4em}"
    "h3{font-size:1em;margin:1em 0 .3em}dl.summary{display:grid;grid-template-columns:max-content auto;gap:.1em 1em}"
    "dl.summary dt{font-weight:600}dl.summary dd{margin:0}.note{color:#555}"
    "svg.map,svg.strip{display:block;max-width:100%;height:auto;border:1px solid #999;background:#f6f6f6}"
    ".win rect{stroke:#333;stroke-width:1px;vector-effect:non-scaling-stroke}"
    ".win rect.zero{stroke:#c00;stroke-width:3px}a.win:hover rect{stroke:#06c;stroke-width:3px}"
    ".win text{fill:#111}.origin{stroke:#555;stroke-dasharray:6 4;vector-effect:non-scaling-stroke;fill:none}"
    ".tick{stroke:#888;vector-effect:non-scaling-stroke}.axis{fill:#555}"
    ".outline{pointer-events:none}.outline rect{fill:none;stroke:#333;stroke-dasharray:2 "
    "3;vector-effect:non-scaling-stroke}"
    ".outline text{font-weight:bold}"
    ".wide{overflow-x:auto}table{border-collapse:collapse;font-size:12px}"
    "th,td{border:1px solid #ccc;padding:2px 5px;vertical-align:top;text-align:left}"
    // Names and paths never break inside a word (a path breaks after its backslashes); a title,
    // anyone's text, may break anywhere rather than widen the table or the page, wherever it is.
    "td{overflow-wrap:break-word}.title{overflow-wrap:anywhere}td.title{min-width:12em}.name{overflow-wrap:normal}"
    ".nowrap{white-space:nowrap}"
    "td.styles{min-width:13em}th{background:#eee}tr:target{background:#ffe9a8}small{display:block;color:#555}code{font-"
    "size:11px}"
    ".sw{display:inline-block;width:.9em;height:.9em;border:1px solid #555;margin-right:.3em;vertical-align:-.1em}"
    ".finding{margin:.5em 0}.advice{color:#245;font-style:italic}em.none{color:#777}"
    "pre{background:#f3f3f3;border:1px solid #ccc;padding:.4em;white-space:pre-wrap;word-break:break-all}"
    ".changed{background:#fff3c4}"
    "@media print{body{margin:0;font-size:10px}.wide{overflow:visible}svg{page-break-inside:avoid}"
    "tr,.finding,pre{page-break-inside:avoid}a{color:inherit;text-decoration:none}}";

} // namespace

void BeginPage(Markup& page, std::string_view utf8Name, const Palette& palette, Literal style)
{
    page.Tag("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
             "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'; "
             "img-src data:; base-uri 'none'; form-action 'none'\">"
             "<meta name=\"viewport\" content=\"width=device-width\"><title>Taskbar windows: ")
        .Utf8Text(utf8Name)
        .Tag("</title><style>")
        .Tag(kStyle)
        .Tag(style);
    for (std::size_t program = 0; program < palette.Programs(); ++program) {
        const std::string colour = Palette::Colour(program);
        page.Tag(".c").Number(program).Tag("{fill:").Text(colour).Tag(";background:").Text(colour).Tag("}");
    }
    const std::string none = Palette::Colour(Palette::kNone);
    page.Tag(".cn{fill:").Text(none).Tag(";background:").Text(none).Tag("}</style></head><body>");
}

void EndPage(Markup& page)
{
    page.Tag("<p class=\"note\"><small>Made by vantrel-report. This page holds no script and loads nothing.</small></p>"
             "</body></html>\n");
    page.Finish();
}

void WriteTitle(Markup& page, const WindowRecord& r)
{
    if (r.title.empty()) {
        page.Tag("<em class=\"none\">").Tag(kNoTitle).Tag("</em>");
    } else {
        page.Tag("&#8220;").Text(r.title).Tag("&#8221;");
    }
}

void WriteWindowName(Markup& page, const std::vector<WindowRecord>& records, std::size_t i, bool link)
{
    const WindowRecord& r = records[i];
    if (link) {
        page.Tag("<a href=\"#w").Number(i).Tag("\">#").Number(i + 1).Tag("</a> ");
    } else {
        page.Handle(r.hwnd).Tag(" ");
    }
    page.Tag("<span class=\"title\">");
    WriteTitle(page, r);
    page.Tag("</span> (");
    if (r.exe.empty()) {
        page.Tag("no program");
    } else {
        page.Text(FileName(r.exe));
    }
    page.Tag(")");
}

void WriteColourClass(Markup& page, const Palette& palette, std::size_t record)
{
    const std::size_t program = palette.ProgramOf(record);
    if (program == Palette::kNone) {
        page.Tag("cn");
    } else {
        page.Tag("c").Number(program);
    }
}

void WriteSwatch(Markup& page, const Palette& palette, std::size_t record)
{
    page.Tag("<span class=\"sw ");
    WriteColourClass(page, palette, record);
    page.Tag("\"></span>");
}

namespace {

// One swatch and file name for each program that is `present`, then "no program" when `none`.
void WriteLegendOf(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette,
                   const std::vector<bool>& present, bool none)
{
    page.Tag("<p>");
    for (std::size_t program = 0; program < palette.Programs(); ++program) {
        if (!present[program]) continue;
        const std::size_t first = palette.FirstRecords()[program];
        page.Tag("<span class=\"nowrap\">");
        WriteSwatch(page, palette, first);
        page.Text(FileName(records[first].exe)).Tag("</span> &#160; ");
    }
    if (none) {
        page.Tag("<span class=\"nowrap\">");
        WriteSwatch(page, palette, palette.FirstWithoutProgram());
        page.Tag("no program</span>");
    }
    page.Tag("</p>");
}

} // namespace

void WriteLegend(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette)
{
    WriteLegendOf(page, records, palette, std::vector<bool>(palette.Programs(), true),
                  palette.FirstWithoutProgram() != Palette::kNone);
}

void WriteLegend(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette,
                 const std::vector<std::size_t>& windows)
{
    std::vector<bool> present(palette.Programs(), false);
    bool none = false;
    for (std::size_t i : windows) {
        const std::size_t program = palette.ProgramOf(i);
        if (program == Palette::kNone) {
            none = true;
        } else {
            present[program] = true;
        }
    }
    WriteLegendOf(page, records, palette, present, none);
}

} // namespace report
