// What a log's page says, before any of it is markup: the log, the findings, the layout of the
// map, the programs' colours and the comparison with an earlier log. Built once, then rendered;
// tested and fuzzed as a value.
#pragma once

#include "report/Comparison.h"
#include "report/DesktopLayout.h"
#include "report/Findings.h"
#include "report/Palette.h"
#include "report/WindowRecord.h"

#include <cstdint>
#include <optional>
#include <string>

namespace report {

struct LogFile {
    std::string name;          // UTF-8, as the page shows it
    std::uint64_t size = 0;    // bytes
    std::int64_t modified = 0; // seconds since 1970, UTC: the file's last change
    Log log;
};

struct Report {
    LogFile file;
    std::optional<LogFile> before;
    DesktopLayout layout;
    std::vector<Finding> findings;
    Palette palette;
    std::optional<Comparison> comparison; // when there is a `before`
};

Report MakeReport(LogFile file, std::optional<LogFile> before);

} // namespace report
