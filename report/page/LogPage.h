// The page a person reads instead of the log: one self-contained HTML file.
#pragma once

#include "report/analysis/LogReport.h"
#include "report/page/Markup.h"

namespace report {

// Writes the page to `out` as it is made (see WritePageOf), at most MostLogPageBytes.
void WriteLogPage(const LogReport& report, ByteSink& out);

} // namespace report
