// The page of a live snapshot: why each window on this desktop has a taskbar button or none, rule
// by rule, drawn on the monitors it was taken on. Made from a model first, like a log's page, and
// through the same page parts and the same safety rules.
#pragma once

#include "report/LiveReport.h"
#include "report/LiveSnapshot.h"
#include "report/Markup.h"
#include "report/Page.h"

#include <cstdint>

namespace report {

// Writes the page of `snapshot` to `out` as it is made: UTF-8, no script, nothing external.
void WriteLivePage(const LiveSnapshot& snapshot, ByteSink& out);
// The same from the model made of it.
void WriteLiveReport(const LiveReport& report, ByteSink& out);

// The page is at most MostLivePageBytes(snapshot) bytes: kLivePageBytesBase, a share per monitor and
// per window, and at most kLivePageBytesPerTextByte for each byte of text each time it is shown. A
// window's own texts (title, program, class) are shown at most kTimesShown times (its row, the map's
// hover text and label); each window names at most one other, its owner, twice (the owner column
// and the reason), whose texts are at most the longest of any window's; the findings name at most
// kMostNamedPerFinding windows each. The system's version and each monitor's device are shown once.
// The fuzzer holds every page it makes to this.
constexpr std::uint64_t kLivePageBytesBase = 64 * 1024;
constexpr std::uint64_t kLivePageBytesPerWindow = 3 * 1024;
constexpr std::uint64_t kLivePageBytesPerMonitor = 1024;
constexpr std::uint64_t kLivePageBytesPerTextByte = 6; // "&quot;", or ";<wbr>" in a name
constexpr std::uint64_t kTimesShown = 4;
std::uint64_t MostLivePageBytes(const LiveSnapshot& snapshot);

} // namespace report
