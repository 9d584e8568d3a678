#include "report/LiveReport.h"

#include "report/StyleNames.h"

#include <algorithm>
#include <cstdint>

namespace report {

namespace {

// Values of DWMWA_CLOAKED.
constexpr std::uint32_t kCloakedApp = 1, kCloakedShell = 2, kCloakedInherited = 4;

bool IsCloaked(const LiveWindow& w) { return w.cloak && *w.cloak != 0; }

// Widens the map's frame to take in `r`, whichever way round its corners are.
void Include(DesktopLayout& layout, const Rect& r)
{
    layout.left = std::min({layout.left, std::int64_t{r.left}, std::int64_t{r.right}});
    layout.right = std::max({layout.right, std::int64_t{r.left}, std::int64_t{r.right}});
    layout.top = std::min({layout.top, std::int64_t{r.top}, std::int64_t{r.bottom}});
    layout.bottom = std::max({layout.bottom, std::int64_t{r.top}, std::int64_t{r.bottom}});
}

// The frame takes in every monitor (or the virtual screen when no monitor is known) and the
// windows on them, a maximized window's edges past its monitor's included.
DesktopLayout LayOutLive(const LiveSnapshot& snapshot, const std::vector<bool>& undrawn)
{
    DesktopLayout layout;
    layout.left = layout.top = INT64_MAX;
    layout.right = layout.bottom = INT64_MIN;
    for (const LiveMonitor& monitor : snapshot.monitors) Include(layout, monitor.bounds);
    const Rect& screen = snapshot.virtualScreen;
    if (snapshot.monitors.empty() && screen.Width() != 0 && screen.Height() != 0) Include(layout, screen);
    const bool monitorsKnown = !snapshot.monitors.empty();
    for (std::size_t i = 0; i < snapshot.windows.size(); ++i) {
        const LiveWindow& w = snapshot.windows[i];
        if (undrawn[i]) continue;
        if (w.record.minimized) {
            layout.parked.push_back(i);
        } else if (monitorsKnown && !MonitorOf(snapshot, w)) {
            layout.far.push_back(i);
        } else {
            layout.together.push_back(i);
            Include(layout, w.record.window);
        }
    }
    // Nothing to frame: empty, as the log's layout has it.
    if (layout.left > layout.right) layout.left = layout.top = layout.right = layout.bottom = 0;
    return layout;
}

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
        LiveFinding finding{kind, {}};
        for (std::size_t i = 0; i < windows.size(); ++i) {
            if (holds(windows[i], !IsUnseen(windows[i]))) finding.windows.push_back(i);
        }
        if (!finding.windows.empty()) findings.push_back(std::move(finding));
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

std::vector<RuleGroup> GroupByRule(const std::vector<LiveWindow>& windows)
{
    std::vector<RuleGroup> groups;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const LiveWindow& w = windows[i];
        if (w.shown) continue;
        const CloakReason cloak =
            w.rule == TaskbarRule::Cloaked ? CloakReasonOf(w.cloak.value_or(0)) : CloakReason::Other;
        const auto group = std::find_if(groups.begin(), groups.end(),
                                        [&](const RuleGroup& g) { return g.rule == w.rule && g.cloak == cloak; });
        if (group == groups.end()) {
            groups.push_back({w.rule, cloak, {i}});
        } else {
            group->windows.push_back(i);
        }
    }
    // Hundreds of windows are hidden on a desktop of today: they come after the few a person asks about.
    const auto rank = [](const RuleGroup& g) {
        return std::make_pair(g.rule == TaskbarRule::Hidden,
                              std::make_pair(static_cast<int>(g.rule), static_cast<int>(g.cloak)));
    };
    std::stable_sort(groups.begin(), groups.end(),
                     [&](const RuleGroup& a, const RuleGroup& b) { return rank(a) < rank(b); });
    return groups;
}

Taskbars TaskbarsOf(const LiveSnapshot& snapshot)
{
    const TaskbarSettings& settings = snapshot.taskbar;
    if (snapshot.monitors.size() < 2) return Taskbars::One;
    if (settings.multiMonitorEnabled == 0u) return Taskbars::MainOnly;
    switch (settings.multiMonitorMode.value_or(0)) {
    case 0: return Taskbars::Every;
    case 1: return Taskbars::MainAndOwn;
    case 2: return Taskbars::Own;
    default: return Taskbars::Unknown;
    }
}

} // namespace

CloakReason CloakReasonOf(std::uint32_t cloak)
{
    switch (cloak) {
    case kCloakedApp: return CloakReason::App;
    case kCloakedShell: return CloakReason::Shell;
    case kCloakedInherited: return CloakReason::Inherited;
    default: return CloakReason::Other;
    }
}

bool IsVisible(const LiveWindow& w)
{
    return w.rule != TaskbarRule::Hidden && w.rule != TaskbarRule::Gone && (w.record.style & k_WS_VISIBLE);
}

bool IsUnseen(const LiveWindow& w) { return !IsVisible(w) || IsCloaked(w); }

bool IsParkedUnminimized(const WindowRecord& r) { return IsParked(r) && !r.minimized; }

const LiveMonitor* MonitorOf(const LiveSnapshot& snapshot, const LiveWindow& w)
{
    return w.monitor && *w.monitor < snapshot.monitors.size() ? &snapshot.monitors[*w.monitor] : nullptr;
}

LiveReport MakeLiveReport(LiveSnapshot snapshot)
{
    std::vector<bool> undrawn;
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < snapshot.windows.size(); ++i) {
        const LiveWindow& w = snapshot.windows[i];
        undrawn.push_back(IsUnseen(w) || w.rule == TaskbarRule::ShellDesktop);
        if (w.shown) shown.push_back(i);
    }
    DesktopLayout layout = LayOutLive(snapshot, undrawn);
    std::vector<RuleGroup> groups = GroupByRule(snapshot.windows);
    std::vector<LiveFinding> findings = FindLiveIssues(snapshot);
    std::vector<WindowRecord> records;
    records.reserve(snapshot.windows.size());
    for (LiveWindow& w : snapshot.windows) records.push_back(std::move(w.record));
    Palette palette(records);
    const Taskbars taskbars = TaskbarsOf(snapshot);
    return {std::move(snapshot), std::move(records),  std::move(undrawn), std::move(layout), std::move(shown),
            std::move(groups),   std::move(findings), std::move(palette), taskbars};
}

} // namespace report
