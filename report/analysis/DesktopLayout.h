// Where the windows of a log are, as the map shows them: the windows that belong together, the
// ones far from all others, and the minimized ones.
#pragma once

#include "report/model/LoggedWindow.h"

#include <cstdint>
#include <vector>

namespace report {

struct DesktopLayout {
    // Indices into the records, in their order (z-order, topmost first). What puts a window in
    // each is the input's: a log's layout (LayOut) and a snapshot's (LiveReport) say.
    std::vector<std::size_t> together; // what the map frames
    std::vector<std::size_t> far;      // away from them, drawn in a strip
    std::vector<std::size_t> parked;   // minimized, drawn in a strip
    // The box the map frames: around `together`, and around the primary monitor's least size at
    // (0,0) when they are about it. Empty (all zero) when nothing is together.
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
};

// The log has no monitor list. Every set-up has a primary monitor at (0,0) of at least 640 by
// 480, and the windows on screen mark out where the others are. Windows belong together when,
// along each axis, a chain of windows less than kNearPixels apart joins them; the group about the
// primary monitor is the one framed, or the largest when no window is about it. A window left
// alone is what a window on an unplugged monitor looks like.
constexpr std::int64_t kNearPixels = 1000;
// `together`: on screen, near each other; `far`: on screen, far from all the others; `parked`:
// minimized, or parked at -32000.
DesktopLayout LayOut(const std::vector<LoggedWindow>& records);

bool IsParked(const LoggedWindow& record);

// The map's frame as it is widened: about every rectangle taken, whichever way round its corners
// are; empty (all zero) about none.
class FrameAbout {
public:
    void Take(const Rect& r);
    void SetOn(DesktopLayout& layout) const;

private:
    std::int64_t left_ = INT64_MAX, top_ = INT64_MAX, right_ = INT64_MIN, bottom_ = INT64_MIN;
};

} // namespace report
