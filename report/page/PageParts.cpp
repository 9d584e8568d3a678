#include "report/page/PageParts.h"

#include "report/text/Paths.h"

namespace report {

void WriteTitle(Markup& page, const LoggedWindow& r)
{
    if (r.title.empty()) {
        page.Tag("<em class=\"none\">").Tag(kNoTitle).Tag("</em>");
    } else {
        page.Tag("&#8220;").Text(r.title).Tag("&#8221;");
    }
}

void WriteWindowName(Markup& page, const std::vector<LoggedWindow>& records, std::size_t i, bool link)
{
    const LoggedWindow& r = records[i];
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
void WriteLegendOf(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
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

void WriteLegend(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette)
{
    WriteLegendOf(page, records, palette, std::vector<bool>(palette.Programs(), true),
                  palette.FirstWithoutProgram() != Palette::kNone);
}

void WriteLegend(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
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
