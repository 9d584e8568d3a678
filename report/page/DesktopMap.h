// The page's desktop map: the windows that belong together to scale, with coordinates along the
// edges; the windows far from them, and the minimized ones, in strips of their own.
#pragma once

#include "report/analysis/DesktopLayout.h"
#include "report/model/LiveSnapshot.h"
#include "report/page/Markup.h"
#include "report/page/Palette.h"

#include <vector>

namespace report {

// Each window is drawn once, opaque, in z-order (the topmost on top), numbered with its row
// number and linked to its row.
void WriteDesktopMap(Markup& page, const std::vector<LoggedWindow>& records, const DesktopLayout& layout,
                     const Palette& palette);

// The map of a live desktop: the monitors, each with its work area and its number (as the
// page's summary lists them), under the windows of `layout.together`; the windows off every
// monitor (`layout.far`) and the minimized ones (`layout.parked`) in strips. The legend names the
// programs of the windows drawn only.
void WriteMonitorMap(Markup& page, const std::vector<LoggedWindow>& records, const DesktopLayout& layout,
                     const Palette& palette, const std::vector<LiveMonitor>& monitors);

} // namespace report
