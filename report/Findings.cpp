#include "report/Findings.h"

#include "report/StyleNames.h"

#include <cstdint>
#include <map>

namespace report {

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return i == a.size() && b[i] == '\0';
}

bool HasArea(const WindowRecord& r) { return r.window.Width() > 0 && r.window.Height() > 0; }

bool Overlaps(const Rect& a, std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom)
{
    return a.left < right && left < a.right && a.top < bottom && top < a.bottom;
}

// The two most extreme values of one edge, so that the box around all windows but one costs O(1).
class Extreme {
public:
    explicit Extreme(bool wantsLeast) : least_(wantsLeast) {}
    void Add(std::int64_t value, std::size_t index)
    {
        if (Beats(value, best_)) {
            second_ = best_, best_ = value, bestIndex_ = index;
        } else if (Beats(value, second_)) {
            second_ = value;
        }
    }
    // `floor` is the primary monitor's edge, always in the box.
    std::int64_t Without(std::size_t index, std::int64_t floor) const
    {
        const std::int64_t value = index == bestIndex_ ? second_ : best_;
        return Beats(value, floor) ? value : floor;
    }

private:
    bool Beats(std::int64_t a, std::int64_t b) const { return least_ ? a < b : a > b; }
    bool least_;
    std::int64_t best_ = least_ ? INT64_MAX : INT64_MIN, second_ = best_;
    std::size_t bestIndex_ = SIZE_MAX;
};

// The log has no monitor list. Every monitor set-up has a primary monitor at (0,0) of at least
// 640 by 480, and the windows on screen mark out where the others are: a window that touches
// neither that corner nor the box around all the other windows is alone where no window of the
// user is. It is also what a window left on an unplugged monitor looks like.
std::vector<std::size_t> FarAway(const std::vector<WindowRecord>& records, const std::vector<std::size_t>& onScreen)
{
    Extreme left(true), top(true), right(false), bottom(false);
    for (std::size_t i : onScreen) {
        left.Add(records[i].window.left, i), top.Add(records[i].window.top, i);
        right.Add(records[i].window.right, i), bottom.Add(records[i].window.bottom, i);
    }
    std::vector<std::size_t> far;
    for (std::size_t i : onScreen) {
        if (!Overlaps(records[i].window, left.Without(i, 0), top.Without(i, 0), right.Without(i, 640),
                      bottom.Without(i, 480))) {
            far.push_back(i);
        }
    }
    return far;
}

// Windows grouped by a text, in order of each group's first window.
template <class Key>
void AddGroups(std::vector<Finding>& findings, FindingKind kind, const std::vector<WindowRecord>& records, Key key)
{
    std::map<std::string, std::size_t> groupOf;
    std::vector<Finding> groups;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string* text = key(records[i]);
        if (!text) continue;
        const auto [it, added] = groupOf.emplace(*text, groups.size());
        if (added) groups.push_back({kind, *text, {}});
        groups[it->second].windows.push_back(i);
    }
    for (Finding& group : groups) {
        if (group.windows.size() > 1) findings.push_back(std::move(group));
    }
}

} // namespace

bool IsParked(const WindowRecord& r) { return r.minimized || (r.window.left == -32000 && r.window.top == -32000); }

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* ButtonRule(const WindowRecord& r)
{
    if (r.exStyle & k_WS_EX_APPWINDOW) return "WS_EX_APPWINDOW";
    if (r.owner == 0 && !(r.exStyle & (k_WS_EX_TOOLWINDOW | k_WS_EX_NOACTIVATE))) {
        return "unowned";
    }
    return "none";
}

std::vector<Finding> FindIssues(const std::vector<WindowRecord>& records)
{
    std::vector<Finding> findings;
    AddGroups(findings, FindingKind::ManyButtons, records,
              [](const WindowRecord& r) { return r.exe.empty() ? nullptr : &r.exe; });

    const auto addAll = [&](FindingKind kind, auto holds) {
        Finding finding{kind, {}, {}};
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (holds(records[i])) finding.windows.push_back(i);
        }
        if (!finding.windows.empty()) findings.push_back(std::move(finding));
    };
    addAll(FindingKind::AppWindowOwned,
           [](const WindowRecord& r) { return r.owner != 0 && (r.exStyle & k_WS_EX_APPWINDOW); });
    addAll(FindingKind::NoProgram, [](const WindowRecord& r) { return r.exe.empty(); });
    addAll(FindingKind::Minimized, IsParked);
    addAll(FindingKind::ZeroSize, [](const WindowRecord& r) { return !IsParked(r) && !HasArea(r); });

    std::vector<std::size_t> onScreen;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!IsParked(records[i]) && HasArea(records[i])) onScreen.push_back(i);
    }
    std::vector<std::size_t> far = FarAway(records, onScreen);
    if (!far.empty()) findings.push_back({FindingKind::FarAway, {}, std::move(far)});

    for (std::size_t i = 0; i < records.size(); ++i) {
        if (EqualsIgnoringCase(FileName(records[i].exe), "ApplicationFrameHost.exe")) {
            findings.push_back({FindingKind::StoreApp, records[i].title, {i}});
        }
    }
    addAll(FindingKind::LostCharacters, [](const WindowRecord& r) { return r.title.find('?') != std::string::npos; });
    addAll(FindingKind::CutTitle, [](const WindowRecord& r) { return r.title.size() >= kTitleLimit; });
    AddGroups(findings, FindingKind::SameTitle, records,
              [](const WindowRecord& r) { return r.title.empty() ? nullptr : &r.title; });
    return findings;
}

const char* Headline(FindingKind kind)
{
    switch (kind) {
    case FindingKind::ManyButtons: return "One program shows more than one taskbar button:";
    case FindingKind::AppWindowOwned: return "Owned windows with a button only because of WS_EX_APPWINDOW";
    case FindingKind::NoProgram: return "Windows with no program: the process had ended or could not be opened";
    case FindingKind::Minimized: return "Minimized windows, not on screen";
    case FindingKind::ZeroSize: return "Windows of zero size: a button for nothing that can be seen";
    case FindingKind::FarAway: return "Windows far from all others, perhaps on a monitor that is gone";
    case FindingKind::StoreApp: return "A Store app, hosted by ApplicationFrameHost.exe:";
    case FindingKind::LostCharacters: return "Titles with '?': characters outside ISO 8859-1 may have been lost";
    case FindingKind::CutTitle: return "Titles cut at the 299 characters a record holds";
    case FindingKind::SameTitle: return "Several windows share one title:";
    }
    return "";
}

const char* Advice(FindingKind kind)
{
    switch (kind) {
    case FindingKind::ManyButtons:
        return "If it should show one button, give its other windows an owner or WS_EX_TOOLWINDOW.";
    case FindingKind::AppWindowOwned: return "Drop WS_EX_APPWINDOW if the window should share its owner's button.";
    case FindingKind::NoProgram:
        return "Run Vantrel again with the rights of the program (as administrator if it runs elevated).";
    case FindingKind::Minimized: return "Ask the user to restore them before blaming a missing window.";
    case FindingKind::ZeroSize:
        return "Look for a helper window of the program that should be a tool window, owned, or hidden.";
    case FindingKind::FarAway:
        return "If the user cannot see it, move it back: Alt+Space, M, an arrow key, then the mouse.";
    case FindingKind::StoreApp: return "The log names the frame host, not the app: find the app by this title.";
    case FindingKind::LostCharacters:
        return "Compare these titles with what the user sees; a '?' may be a lost letter.";
    case FindingKind::CutTitle: return "The rest of the title is not in the log; match the window by its start.";
    case FindingKind::SameTitle: return "Tell these apart by handle and program, not by title.";
    }
    return "";
}

} // namespace report
