#include "report/analysis/LogFindings.h"

#include "report/model/StyleBits.h"
#include "report/text/Paths.h"

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

bool IsStoreAppFrame(const LoggedWindow& r) { return EqualsIgnoringCase(FileName(r.exe), "ApplicationFrameHost.exe"); }

bool HasArea(const LoggedWindow& r) { return r.window.Width() > 0 && r.window.Height() > 0; }

// Windows grouped by a text, in order of each group's first window.
template <class Key>
void AddGroups(std::vector<LogFinding>& findings, LogFindingKind kind, const std::vector<LoggedWindow>& records,
               Key key)
{
    std::unordered_map<std::string_view, std::size_t> groupOf;
    std::vector<LogFinding> groups;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string* text = key(records[i]);
        if (!text) continue;
        const auto [it, added] = groupOf.emplace(*text, groups.size());
        if (added) groups.push_back({kind, *text, {}});
        groups[it->second].windows.push_back(i);
    }
    for (LogFinding& group : groups) {
        if (group.windows.size() > 1) findings.push_back(std::move(group));
    }
}

} // namespace

std::vector<LogFinding> FindLogIssues(const std::vector<LoggedWindow>& records, const DesktopLayout& layout)
{
    std::vector<LogFinding> findings;
    // Every Store app has a frame host window of its own: many of them are many apps, not one.
    AddGroups(findings, LogFindingKind::ManyButtons, records,
              [](const LoggedWindow& r) { return r.exe.empty() || IsStoreAppFrame(r) ? nullptr : &r.exe; });

    AddFinding(findings, LogFindingKind::AppWindowOwned, records,
               [](const LoggedWindow& r) { return r.owner != 0 && (r.exStyle & k_WS_EX_APPWINDOW); });
    AddFinding(findings, LogFindingKind::NoProgram, records, [](const LoggedWindow& r) { return r.exe.empty(); });
    AddFinding(findings, LogFindingKind::Minimized, records, IsParked);
    AddFinding(findings, LogFindingKind::ZeroSize, records,
               [](const LoggedWindow& r) { return !IsParked(r) && !HasArea(r); });

    if (!layout.far.empty()) findings.push_back({LogFindingKind::FarAway, {}, layout.far});

    AddFinding(findings, LogFindingKind::StoreApp, records, IsStoreAppFrame);
    AddFinding(findings, LogFindingKind::LostCharacters, records,
               [](const LoggedWindow& r) { return r.title.find('?') != std::string::npos; });
    AddFinding(findings, LogFindingKind::CutTitle, records,
               [](const LoggedWindow& r) { return r.title.size() >= kTitleLimit; });
    AddGroups(findings, LogFindingKind::SameTitle, records,
              [](const LoggedWindow& r) { return r.title.empty() ? nullptr : &r.title; });
    return findings;
}

} // namespace report
