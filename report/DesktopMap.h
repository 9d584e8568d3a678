// The page's desktop map.
#pragma once

#include "report/Markup.h"
#include "report/Palette.h"

#include <vector>

namespace report {

// Rectangles to scale, back to front, and the minimized windows in a strip of their own.
void WriteDesktopMap(Markup& page, const std::vector<WindowRecord>& records, const Palette& palette);

} // namespace report
