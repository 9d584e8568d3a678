// The live page's words for each rule and each finding: what it means, and what to change.
#pragma once

#include "report/analysis/LiveReport.h"
#include "report/page/FindingList.h"
#include "report/page/Markup.h"

namespace report {

struct RuleWords {
    Literal id;      // the group's anchor, "g-tool"
    Literal heading; // "Tool windows"
    Literal meaning; // what the rule says about the windows it left out
    Literal change;  // what gives one of them a button
    Literal reason;  // the rule in a table cell: "WS_EX_TOOLWINDOW"
};

// Rules that give a button have words too: a snapshot may still say such a window has none.
const RuleWords& WordsOf(TaskbarRule rule, CloakReason cloak);

const FindingWords& WordsOf(LiveFindingKind kind);

} // namespace report
