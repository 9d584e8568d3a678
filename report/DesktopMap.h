// The page's desktop map: the windows that belong together to scale, with coordinates along the
// edges; the windows far from them, and the minimized ones, in strips of their own.
#pragma once

#include "report/DesktopLayout.h"
#include "report/Markup.h"
#include "report/Palette.h"

#include <vector>

namespace report {

// Each window is drawn once, opaque, in z-order (the topmost on top), numbered with its row
// number and linked to its row.
void WriteDesktopMap(Markup& page, const std::vector<WindowRecord>& records, const DesktopLayout& layout,
                     const Palette& palette);

} // namespace report
