// Desktops as a snapshot would hold them, for the tests of the live model and its page: the same
// snapshots feed both, and the pages written from them are what the browser's check lays out.
#pragma once

#include "report/model/LiveSnapshot.h"

#include <cstdint>
#include <string>
#include <vector>

namespace reporttest {

constexpr std::uint32_t kShown = report::k_WS_VISIBLE | report::k_WS_CAPTION | report::k_WS_SYSMENU;

// The handle each test gives the window at this place in z-order.
std::uint32_t HandleOf(std::size_t window);

// A shown window of app.exe on the first monitor, everything about it known.
report::LiveWindow Window(std::string title, report::TaskbarRule rule, report::Rect rect = {100, 100, 700, 500},
                          std::string exe = "C:\\Apps\\app.exe");

report::LiveWindow Owned(std::string title, report::TaskbarRule rule, std::size_t owner, bool ownerShown,
                         report::Rect rect = {300, 200, 760, 560});

report::LiveWindow Cloaked(std::string title, std::uint32_t cloak);

// A 96 dpi primary monitor and a 144 dpi one right of it, whose device name is hostile markup.
report::LiveSnapshot TwoMonitors(std::vector<report::LiveWindow> windows);

// One window for each rule, and one for each finding.
report::LiveSnapshot EveryRule();

// What a system before Windows 8 tells: no cloaking, frames, virtual desktops or DPI.
report::LiveSnapshot Unknowns(bool monitors);

// Twelve shown windows, every one of them hung.
report::LiveSnapshot ManyHung();

} // namespace reporttest
