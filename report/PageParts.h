// The parts every page of vantrel-report is made of: the head with its style sheet and its
// Content-Security-Policy, the programs' legend, and a window named in a sentence.
#pragma once

#include "report/Markup.h"
#include "report/Palette.h"
#include "report/WindowRecord.h"

#include <string_view>
#include <vector>

namespace report {

// Up to the opening of the body, with one style class per program of `palette` ("c0", "c1", …,
// "cn" for none) that colours a swatch's background and a shape's fill, and the rules of `style`
// that a page of another kind adds. The policy forbids every script and every load from anywhere:
// the page needs nothing but itself, and whatever a hostile log smuggled past the escaping could
// not run or call out.
void BeginPage(Markup& page, std::string_view utf8Name, const Palette& palette, Literal style = "");
// The closing words and tags, and the rest of the bytes to the sink.
void EndPage(Markup& page);

// How a window without a title is named, in text and on the map alike.
constexpr Literal kNoTitle = "(no title)";

// The title in quotes, or kNoTitle.
void WriteTitle(Markup& page, const WindowRecord& record);
// "#3 “Untitled - Notepad” (notepad.exe)": the row number links to the window's row when `link`.
void WriteWindowName(Markup& page, const std::vector<WindowRecord>& records, std::size_t index, bool link = true);
// One swatch and file name per program.
void WriteLegend(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette);
// The same for the programs of `windows` only (indices into the records).
void WriteLegend(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette,
                 const std::vector<std::size_t>& windows);
void WriteSwatch(Markup& page, const Palette& palette, std::size_t record);
// The record's colour class, "c3" or "cn".
void WriteColourClass(Markup& page, const Palette& palette, std::size_t record);

} // namespace report
