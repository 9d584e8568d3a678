// What a support engineer should look at first on a live desktop, each with the windows it is about.
#pragma once

#include "report/analysis/Finding.h"
#include "report/model/LiveSnapshot.h"

#include <vector>

namespace report {

enum class LiveFindingKind {
    OffEveryMonitor, // seen, with a button, but on no monitor (a minimized one comes back to none)
    OwnerHidden,     // seen and owned, without a button, its owner unseen (hidden or cloaked)
    LooksLikeApp,    // a seen tool window with a caption and a minimize box, and no button
    Hung,            // visible, and not answering (IsHungAppWindow)
    OtherDesktop,    // visible, on another virtual desktop
};
constexpr std::size_t kLiveFindingKinds = static_cast<std::size_t>(LiveFindingKind::OtherDesktop) + 1;

using LiveFinding = Finding<LiveFindingKind>;

// In the order of the kinds above; each with its windows in z-order.
std::vector<LiveFinding> FindLiveIssues(const LiveSnapshot& snapshot);

} // namespace report
