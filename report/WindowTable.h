// The page's table: one row per window, in the log's order (z-order, topmost first), each field
// as a person reads it with the raw value beside the decoded one.
#pragma once

#include "report/Markup.h"
#include "report/Palette.h"
#include "report/WindowRecord.h"

#include <vector>

namespace report {

void WriteWindowTable(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette);

} // namespace report
