#include "report/analysis/LogReport.h"

#include "report/analysis/Owners.h"

namespace report {

LogReport MakeLogReport(LogFile file, std::optional<LogFile> before)
{
    const std::vector<LoggedWindow>& records = file.log.records;
    DesktopLayout layout = LayOut(records);
    std::vector<std::optional<std::size_t>> owners = OwnersAmong(records);
    std::vector<LogFinding> findings = FindLogIssues(records, layout);
    std::optional<Comparison> comparison;
    if (before) comparison = Compare(before->log.records, records);
    return {std::move(file),   std::move(before),   std::move(layout),
            std::move(owners), std::move(findings), std::move(comparison)};
}

} // namespace report
