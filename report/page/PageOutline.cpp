#include "report/page/PageOutline.h"

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

// Up to the opening of the body, with one style class per program of `palette` ("c0", "c1", …,
// "cn" for none) that colours a swatch's background and a shape's fill. The policy forbids every
// script and every load from anywhere: the page needs nothing but itself, and whatever a hostile
// input smuggled past the escaping could not run or call out.
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

} // namespace

void WritePageOf(const PageOutline& outline, const Palette& palette, ByteSink& out)
{
    Markup page(out);
    BeginPage(page, outline.name, palette, outline.style);
    page.Tag("<h1>");
    outline.headline(page);
    page.Tag("</h1><dl class=\"summary\">");
    outline.summary(page);
    page.Tag("</dl>");
    for (const PageSection& section : outline.sections) {
        page.Tag("<h2 id=\"").Tag(section.id).Tag("\">").Tag(section.heading).Tag("</h2>");
        section.write(page);
    }
    EndPage(page);
}

} // namespace report
