// The page a person reads instead of the log: one self-contained HTML file.
#pragma once

#include "report/Markup.h"
#include "report/Report.h"

#include <cstdint>

namespace report {

// The most windows a finding names; the rest it counts and leaves to the table.
constexpr std::size_t kMostNamedPerFinding = 10;

// The page is at most this many bytes per byte of the logs read (the later log and the earlier
// one), plus kPageBytesBase. The worst log is one of the shortest records with every style bit
// set, or of titles and class names made of characters that each become an escape of up to six
// bytes; the fuzzer holds every page it makes to this.
constexpr std::uint64_t kMostPageBytesPerLogByte = 12;
constexpr std::uint64_t kPageBytesBase = 64 * 1024;

// Writes the page to `out` as it is made: UTF-8, styles inline, pictures as inline SVG, no script
// and no external resource.
void WritePage(const Report& report, ByteSink& out);

} // namespace report
