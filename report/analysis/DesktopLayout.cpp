#include "report/analysis/DesktopLayout.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>

namespace report {

namespace {

constexpr std::size_t kAnchor = SIZE_MAX;

struct Span {
    std::int64_t low, high;
    std::size_t window; // kAnchor for the primary monitor
};

struct AxisGroups {
    std::vector<std::size_t> groupOf; // per window, by its position in the spans given
    std::size_t primary = 0;          // the primary monitor's group
};

// Groups the spans of one axis: sorted by start, a span more than kNearPixels past the end of all
// before it starts a new group.
AxisGroups Groups(std::vector<Span> spans, std::size_t windows)
{
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.low < b.low; });
    AxisGroups result;
    result.groupOf.assign(windows, 0);
    std::size_t group = 0;
    std::int64_t end = INT64_MIN;
    for (std::size_t n = 0; n < spans.size(); ++n) {
        if (n > 0 && spans[n].low > end + kNearPixels) ++group;
        end = std::max(end, spans[n].high);
        if (spans[n].window == kAnchor) {
            result.primary = group;
        } else {
            result.groupOf[spans[n].window] = group;
        }
    }
    return result;
}

} // namespace

void FrameAbout::Take(const Rect& r)
{
    left_ = std::min({left_, std::int64_t{r.left}, std::int64_t{r.right}});
    right_ = std::max({right_, std::int64_t{r.left}, std::int64_t{r.right}});
    top_ = std::min({top_, std::int64_t{r.top}, std::int64_t{r.bottom}});
    bottom_ = std::max({bottom_, std::int64_t{r.top}, std::int64_t{r.bottom}});
}

void FrameAbout::SetOn(DesktopLayout& layout) const
{
    if (left_ > right_) {
        layout.left = layout.top = layout.right = layout.bottom = 0;
    } else {
        layout.left = left_, layout.top = top_, layout.right = right_, layout.bottom = bottom_;
    }
}

bool IsParked(const LoggedWindow& r) { return r.minimized || (r.window.left == -32000 && r.window.top == -32000); }

DesktopLayout LayOut(const std::vector<LoggedWindow>& records)
{
    DesktopLayout layout;
    std::vector<std::size_t> onScreen;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (IsParked(records[i])) {
            layout.parked.push_back(i);
        } else {
            onScreen.push_back(i);
        }
    }
    std::vector<Span> xs{{0, 640, kAnchor}}, ys{{0, 480, kAnchor}};
    for (std::size_t n = 0; n < onScreen.size(); ++n) {
        const Rect& w = records[onScreen[n]].window;
        xs.push_back({std::min(w.left, w.right), std::max(w.left, w.right), n});
        ys.push_back({std::min(w.top, w.bottom), std::max(w.top, w.bottom), n});
    }
    const AxisGroups x = Groups(xs, onScreen.size());
    const AxisGroups y = Groups(ys, onScreen.size());
    // A window's place is its group along both axes. The primary monitor's place is framed when a
    // window is there; otherwise the place with the most windows, the first of them in z-order.
    std::map<std::pair<std::size_t, std::size_t>, std::size_t> windowsAt;
    for (std::size_t n = 0; n < onScreen.size(); ++n) ++windowsAt[{x.groupOf[n], y.groupOf[n]}];
    std::pair<std::size_t, std::size_t> framed{x.primary, y.primary};
    if (windowsAt.count(framed) == 0) {
        std::size_t most = 0;
        for (std::size_t n = 0; n < onScreen.size(); ++n) {
            const std::pair<std::size_t, std::size_t> place{x.groupOf[n], y.groupOf[n]};
            if (windowsAt[place] > most) {
                most = windowsAt[place];
                framed = place;
            }
        }
    }
    const bool aboutPrimary = framed == std::make_pair(x.primary, y.primary);
    for (std::size_t n = 0; n < onScreen.size(); ++n) {
        const bool together = std::make_pair(x.groupOf[n], y.groupOf[n]) == framed;
        (together ? layout.together : layout.far).push_back(onScreen[n]);
    }
    if (layout.together.empty()) return layout;

    FrameAbout frame;
    for (std::size_t i : layout.together) frame.Take(records[i].window);
    // The primary monitor's corner is where the map's origin lines cross: framed whenever its
    // group is.
    if (aboutPrimary) frame.Take({0, 0, 640, 480});
    frame.SetOn(layout);
    return layout;
}

} // namespace report
