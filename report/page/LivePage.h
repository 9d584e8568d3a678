// The page of a live snapshot: why each window on this desktop has a taskbar button or none, rule
// by rule, drawn on the monitors it was taken on. Made from a model first, like a log's page, and
// in the same shape, from the same parts and under the same safety rules.
#pragma once

#include "report/analysis/LiveReport.h"
#include "report/model/LiveSnapshot.h"
#include "report/page/Markup.h"

namespace report {

// Writes the page of `snapshot` to `out` as it is made (see WritePageOf), at most MostLivePageBytes.
void WriteLivePage(const LiveSnapshot& snapshot, ByteSink& out);
// The same from the model made of it.
void WriteLiveReport(const LiveReport& report, ByteSink& out);

} // namespace report
