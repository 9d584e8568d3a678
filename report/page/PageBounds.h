// How large a page can grow, by what it is made from: the fuzzers hold every page they make to it,
// and a test holds the worst log's page to it.
#pragma once

#include "report/model/LiveSnapshot.h"

#include <cstdint>

namespace report {

// A log's page is at most kMostPageBytesPerLogByte bytes per byte of the logs read (the later log
// and the earlier one), plus kPageBytesBase. The worst log is one of the shortest records with every
// style bit set, or of titles and class names made of characters that each become an escape of up
// to six bytes.
constexpr std::uint64_t kMostPageBytesPerLogByte = 12;
constexpr std::uint64_t kPageBytesBase = 64 * 1024;
constexpr std::uint64_t MostLogPageBytes(std::uint64_t logBytes)
{
    return logBytes * kMostPageBytesPerLogByte + kPageBytesBase;
}

// A live page is at most MostLivePageBytes(snapshot) bytes: kLivePageBytesBase, a share per monitor
// and per window, and at most kLivePageBytesPerTextByte for each byte of text each time it is
// shown. A window's own texts (title, program, class) are shown at most kTimesShown times (its row,
// the map's hover text and label); each window names at most one other, its owner, twice (the owner
// column and the reason), whose texts are at most the longest of any window's; the findings name at
// most kMostNamedPerFinding windows each. The system's version and each monitor's device are shown
// once.
constexpr std::uint64_t kLivePageBytesBase = 64 * 1024;
constexpr std::uint64_t kLivePageBytesPerWindow = 3 * 1024;
constexpr std::uint64_t kLivePageBytesPerMonitor = 1024;
constexpr std::uint64_t kLivePageBytesPerTextByte = 6; // "&quot;", or ";<wbr>" in a name
constexpr std::uint64_t kTimesShown = 4;
std::uint64_t MostLivePageBytes(const LiveSnapshot& snapshot);

} // namespace report
