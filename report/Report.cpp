#include "report/Report.h"

namespace report {

Report MakeReport(LogFile file, std::optional<LogFile> before)
{
    const std::vector<WindowRecord>& records = file.log.records;
    DesktopLayout layout = LayOut(records);
    std::vector<Finding> findings = FindIssues(records, layout);
    Palette palette(records);
    std::optional<Comparison> comparison;
    if (before) comparison = Compare(before->log.records, records);
    return {std::move(file), std::move(before), std::move(layout), std::move(findings), std::move(palette),
            std::move(comparison)};
}

} // namespace report
