// What a log's page says, before any of it is markup: the log, the findings, the layout of the
// map and the comparison with an earlier log. Built once, then rendered;
// tested and fuzzed as a value.
#pragma once

#include "report/analysis/Comparison.h"
#include "report/analysis/DesktopLayout.h"
#include "report/analysis/LogFindings.h"
#include "report/model/Log.h"

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

struct LogReport {
    LogFile file;
    std::optional<LogFile> before;
    DesktopLayout layout;
    std::vector<std::optional<std::size_t>> owners; // each record's owner among them
    std::vector<LogFinding> findings;
    std::optional<Comparison> comparison; // when there is a `before`
};

LogReport MakeLogReport(LogFile file, std::optional<LogFile> before);

} // namespace report
