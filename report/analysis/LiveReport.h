// What a live snapshot's page says, before any of it is markup: the windows with a button, the
// ones without grouped by the rule that left them out, the findings, and where the map draws each
// window. Built once, then rendered; tested and fuzzed as a value.
#pragma once

#include "report/analysis/DesktopLayout.h"
#include "report/analysis/LiveFindings.h"
#include "report/model/LiveSnapshot.h"
#include "report/model/LoggedWindow.h"

#include <cstdint>
#include <vector>

namespace report {

// How a cloak value reads: one reason, or several or one this program does not know.
enum class CloakReason { App, Shell, Inherited, Other };
CloakReason CloakReasonOf(std::uint32_t cloak);

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
    std::vector<LoggedWindow> records;
    // Per window: unseen, or the shell's desktop that the monitors stand for; the map leaves it out.
    std::vector<bool> undrawn;
    // together: on the monitors (or every seen window when the monitors are unknown); far: off
    // every monitor; parked: minimized. The frame is about the monitors (the virtual screen when
    // they are unknown) and the windows together.
    DesktopLayout layout;
    std::vector<std::size_t> shown;    // the windows with a button, in z-order
    std::vector<RuleGroup> groups;     // in the rules' order, the Hidden group last
    std::vector<LiveFinding> findings; // in the kinds' order
    Taskbars taskbars = Taskbars::One;
};

LiveReport MakeLiveReport(LiveSnapshot snapshot);

// Where Windows parks a minimized window (-32000,-32000), but not minimized: its program put it
// there, and no monitor shows it.
bool IsParkedUnminimized(const LoggedWindow& record);

} // namespace report
