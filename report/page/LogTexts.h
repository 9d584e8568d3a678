// A log's page's words for each finding, and for the rule that gave a logged window its button.
#pragma once

#include "report/analysis/LogFindings.h"
#include "report/model/TaskbarRule.h"
#include "report/page/FindingList.h"
#include "report/page/Markup.h"

#include <optional>

namespace report {

const FindingWords& WordsOf(LogFindingKind kind);

// The table's cell: "WS_EX_APPWINDOW", "unowned", or that none of these rules accounts for it.
Literal ButtonReason(std::optional<TaskbarRule> rule);

} // namespace report
