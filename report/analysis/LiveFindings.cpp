#include "report/analysis/LiveFindings.h"

#include "report/model/StyleBits.h"

namespace report {

std::vector<LiveFinding> FindLiveIssues(const LiveSnapshot& snapshot)
{
    const std::vector<LiveWindow>& windows = snapshot.windows;
    const auto ownerHidden = [&](const LiveWindow& w) {
        return w.owner && *w.owner < windows.size() && IsUnseen(windows[*w.owner]);
    };
    const auto looksLikeApp = [](const LiveWindow& w) {
        return (w.record.exStyle & k_WS_EX_TOOLWINDOW) && (w.record.style & k_WS_CAPTION) == k_WS_CAPTION &&
               (w.record.style & k_WS_MINIMIZEBOX);
    };
    // Without monitors, no window can be said to be off them.
    const bool monitorsKnown = !snapshot.monitors.empty();
    std::vector<LiveFinding> findings;
    const auto add = [&](LiveFindingKind kind, auto holds) {
        AddFinding(findings, kind, windows, [&](const LiveWindow& w) { return holds(w, !IsUnseen(w)); });
    };
    // A window without a button cannot be brought back from the taskbar: being off every monitor
    // is what a helper window is for.
    add(LiveFindingKind::OffEveryMonitor,
        [&](const LiveWindow& w, bool seen) { return seen && w.shown && monitorsKnown && !MonitorOf(snapshot, w); });
    add(LiveFindingKind::OwnerHidden,
        [&](const LiveWindow& w, bool seen) { return seen && !w.shown && ownerHidden(w); });
    add(LiveFindingKind::LooksLikeApp,
        [&](const LiveWindow& w, bool seen) { return seen && !w.shown && looksLikeApp(w); });
    add(LiveFindingKind::Hung, [](const LiveWindow& w, bool) { return IsVisible(w) && w.hung; });
    add(LiveFindingKind::OtherDesktop,
        [](const LiveWindow& w, bool) { return IsVisible(w) && w.onCurrentDesktop == Known::No; });
    return findings;
}

} // namespace report
