// What a live snapshot's page says, before any of it is markup: the windows with a button, the
// ones without grouped by the rule that left them out, the findings, and where the map draws each
// window. Built once, then rendered; tested and fuzzed as a value.
#pragma once

#include "report/DesktopLayout.h"
#include "report/LiveSnapshot.h"
#include "report/Palette.h"
#include "report/WindowRecord.h"

#include <cstdint>
#include <vector>

namespace report {

// How a cloak value reads: one reason, or several or one this program does not know.
enum class CloakReason { App, Shell, Inherited, Other };
CloakReason CloakReasonOf(std::uint32_t cloak);

enum class LiveFindingKind {
    OffEveryMonitor, // seen, with a button, but on no monitor (a minimized one comes back to none)
    OwnerHidden,     // seen and owned, without a button, its owner hidden: nothing reaches it
    LooksLikeApp,    // a seen tool window with a caption and a minimize box, and no button
    Hung,            // visible, and not answering (IsHungAppWindow)
    OtherDesktop,    // visible, on another virtual desktop
};
constexpr std::size_t kLiveFindingKinds = static_cast<std::size_t>(LiveFindingKind::OtherDesktop) + 1;

struct LiveFinding {
    LiveFindingKind kind;
    std::vector<std::size_t> windows; // in z-order
};

// Windows without a button that one rule left out; cloaked ones also share a cloak reason.
struct RuleGroup {
    TaskbarRule rule;
    CloakReason cloak;                // CloakReason::Other unless the rule is Cloaked
    std::vector<std::size_t> windows; // in z-order
};

// Which taskbars show a window's button, by the settings for several monitors (MMTaskbarEnabled,
// MMTaskbarMode). Where they are missing, Windows' own default stands: a taskbar on every monitor,
// each with every button.
enum class Taskbars {
    One,        // one monitor, or none known: its one taskbar
    MainOnly,   // several monitors, and a taskbar on the main (primary) one only
    Every,      // a taskbar on every monitor, each with every button
    MainAndOwn, // the main taskbar, and the taskbar of the monitor the window is on
    Own,        // only the taskbar of the monitor the window is on
    Unknown,    // a taskbar on every monitor; an MMTaskbarMode not known here says which
};

struct LiveReport {
    // As taken, except that each window's record has moved to `records`: the page parts read a
    // vector of records, and a window's text is in one place only.
    LiveSnapshot snapshot;
    std::vector<WindowRecord> records;
    // Per window: unseen, or the shell's desktop that the monitors stand for; the map leaves it out.
    std::vector<bool> undrawn;
    // together: on the monitors (or every seen window when the monitors are unknown); far: off
    // every monitor; parked: minimized. The frame is about the monitors and the windows together.
    DesktopLayout layout;
    std::vector<std::size_t> shown;    // the windows with a button, in z-order
    std::vector<RuleGroup> groups;     // in the rules' order, the Hidden group last
    std::vector<LiveFinding> findings; // in the kinds' order
    Palette palette;
    Taskbars taskbars = Taskbars::One;
};

LiveReport MakeLiveReport(LiveSnapshot snapshot);

// Not visible, or cloaked: nothing of it is on screen.
bool IsUnseen(const LiveWindow& window);
// Where Windows parks a minimized window (-32000,-32000), but not minimized: its program put it
// there, and no monitor shows it.
bool IsParkedUnminimized(const WindowRecord& record);
// The window's monitor, when it names one of the snapshot's.
const LiveMonitor* MonitorOf(const LiveSnapshot& snapshot, const LiveWindow& window);

} // namespace report
