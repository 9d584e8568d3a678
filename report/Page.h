// The page a person reads instead of the log: one self-contained HTML file.
#pragma once

#include "report/WindowRecord.h"

#include <cstdint>
#include <string>

namespace report {

struct LogFile {
    std::string name;          // UTF-8, as the page shows it
    std::uint64_t size = 0;    // bytes
    std::int64_t modified = 0; // seconds since 1970, UTC
    Log log;
};

// The page for `log`, with a comparison section when `before` is given. UTF-8, styles inline,
// pictures as inline SVG, no script and no external resource. Its size grows linearly with the
// logs'.
std::string WritePage(const LogFile& log, const LogFile* before);

} // namespace report
