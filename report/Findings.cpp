#include "report/Findings.h"

#include "report/Paths.h"
#include "report/StyleNames.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

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

bool IsStoreAppFrame(const WindowRecord& r) { return EqualsIgnoringCase(FileName(r.exe), "ApplicationFrameHost.exe"); }

bool HasArea(const WindowRecord& r) { return r.window.Width() > 0 && r.window.Height() > 0; }

// Windows grouped by a text, in order of each group's first window.
template <class Key>
void AddGroups(std::vector<Finding>& findings, FindingKind kind, const std::vector<WindowRecord>& records, Key key)
{
    std::unordered_map<std::string_view, std::size_t> groupOf;
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

ButtonRule ButtonRuleOf(const WindowRecord& r)
{
    if (r.exStyle & k_WS_EX_APPWINDOW) return ButtonRule::AppWindow;
    if (r.owner == 0 && !(r.exStyle & (k_WS_EX_TOOLWINDOW | k_WS_EX_NOACTIVATE))) return ButtonRule::Unowned;
    return ButtonRule::None;
}

std::vector<Finding> FindIssues(const std::vector<WindowRecord>& records, const DesktopLayout& layout)
{
    std::vector<Finding> findings;
    // Every Store app has a frame host window of its own: many of them are many apps, not one.
    AddGroups(findings, FindingKind::ManyButtons, records,
              [](const WindowRecord& r) { return r.exe.empty() || IsStoreAppFrame(r) ? nullptr : &r.exe; });

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

    if (!layout.far.empty()) findings.push_back({FindingKind::FarAway, {}, layout.far});

    addAll(FindingKind::StoreApp, IsStoreAppFrame);
    addAll(FindingKind::LostCharacters, [](const WindowRecord& r) { return r.title.find('?') != std::string::npos; });
    addAll(FindingKind::CutTitle, [](const WindowRecord& r) { return r.title.size() >= kTitleLimit; });
    AddGroups(findings, FindingKind::SameTitle, records,
              [](const WindowRecord& r) { return r.title.empty() ? nullptr : &r.title; });
    return findings;
}

} // namespace report
