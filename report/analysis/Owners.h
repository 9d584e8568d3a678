// Which window owns which, among the windows of one log or one snapshot.
#pragma once

#include "report/model/LoggedWindow.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace report {

// Each window's owner among `windows` by its record's owner handle: the first (topmost) window of
// that handle where two share one; none for an unowned window and for an owner not among them.
// `record` gives a window's LoggedWindow.
template <class Window, class RecordOf>
std::vector<std::optional<std::size_t>> OwnersAmong(const std::vector<Window>& windows, RecordOf record)
{
    std::unordered_map<std::uint32_t, std::size_t> byHandle;
    for (std::size_t i = 0; i < windows.size(); ++i) byHandle.emplace(record(windows[i]).hwnd, i);
    std::vector<std::optional<std::size_t>> owners(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const std::uint32_t owner = record(windows[i]).owner;
        if (owner == 0) continue;
        const auto found = byHandle.find(owner);
        if (found != byHandle.end()) owners[i] = found->second;
    }
    return owners;
}

inline std::vector<std::optional<std::size_t>> OwnersAmong(const std::vector<LoggedWindow>& records)
{
    return OwnersAmong(records, [](const LoggedWindow& r) -> const LoggedWindow& { return r; });
}

} // namespace report
