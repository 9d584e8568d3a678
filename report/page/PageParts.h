// The parts pages are made of: the programs' legend and swatches, and a window named in a sentence.
#pragma once

#include "report/page/Markup.h"
#include "report/page/Palette.h"
#include "report/model/LoggedWindow.h"

#include <string_view>
#include <vector>

namespace report {

// How a window without a title is named, in text and on the map alike.
constexpr Literal kNoTitle = "(no title)";

// The title in quotes, or kNoTitle.
void WriteTitle(Markup& page, const LoggedWindow& record);
// "#3 “Untitled - Notepad” (notepad.exe)": the row number links to the window's row when `link`.
void WriteWindowName(Markup& page, const std::vector<LoggedWindow>& records, std::size_t index, bool link = true);
// One swatch and file name per program.
void WriteLegend(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette);
// The same for the programs of `windows` only (indices into the records).
void WriteLegend(Markup& page, const std::vector<LoggedWindow>& records, const Palette& palette,
                 const std::vector<std::size_t>& windows);
void WriteSwatch(Markup& page, const Palette& palette, std::size_t record);
// The record's colour class, "c3" or "cn".
void WriteColourClass(Markup& page, const Palette& palette, std::size_t record);

} // namespace report
