#include "report/analysis/LiveReport.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace report {

namespace {

// Values of DWMWA_CLOAKED.
constexpr std::uint32_t kCloakedApp = 1, kCloakedShell = 2, kCloakedInherited = 4;

// The frame takes in every monitor (or the virtual screen when no monitor is known) and the
// windows on them, a maximized window's edges past its monitor's included.
DesktopLayout LayOutLive(const LiveSnapshot& snapshot, const std::vector<bool>& undrawn)
{
    DesktopLayout layout;
    FrameAbout frame;
    for (const LiveMonitor& monitor : snapshot.monitors) frame.Take(monitor.bounds);
    const Rect& screen = snapshot.virtualScreen;
    if (snapshot.monitors.empty() && screen.Width() != 0 && screen.Height() != 0) frame.Take(screen);
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
            frame.Take(w.record.window);
        }
    }
    frame.SetOn(layout);
    return layout;
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
        return std::make_tuple(g.rule == TaskbarRule::Hidden, g.rule, g.cloak);
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

bool IsParkedUnminimized(const LoggedWindow& r) { return IsParked(r) && !r.minimized; }

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
    std::vector<LoggedWindow> records;
    records.reserve(snapshot.windows.size());
    for (LiveWindow& w : snapshot.windows) records.push_back(std::move(w.record));
    const Taskbars taskbars = TaskbarsOf(snapshot);
    return {std::move(snapshot), std::move(records), std::move(undrawn),  std::move(layout),
            std::move(shown),    std::move(groups),  std::move(findings), taskbars};
}

} // namespace report
