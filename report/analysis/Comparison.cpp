#include "report/analysis/Comparison.h"

#include "report/analysis/RecordFields.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <tuple>

namespace report {

namespace {

constexpr std::size_t kUnmatched = SIZE_MAX;

// Pairs each unmatched later window with the first unmatched earlier one of the same key.
template <class Key>
void Match(const std::vector<LoggedWindow>& before, const std::vector<LoggedWindow>& after,
           std::vector<std::size_t>& partnerOf, std::vector<bool>& taken, Key key)
{
    std::multimap<decltype(key(before[0])), std::size_t> waiting;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!taken[i]) waiting.emplace(key(before[i]), i);
    }
    for (std::size_t j = 0; j < after.size(); ++j) {
        if (partnerOf[j] != kUnmatched) continue;
        // Equal keys keep their order of insertion: the first is the earliest in the log.
        const auto wanted = key(after[j]);
        const auto found = waiting.lower_bound(wanted);
        if (found == waiting.end() || found->first != wanted) continue;
        partnerOf[j] = found->second;
        taken[found->second] = true;
        waiting.erase(found);
    }
}

} // namespace

Comparison Compare(const std::vector<LoggedWindow>& before, const std::vector<LoggedWindow>& after)
{
    Comparison result;
    std::vector<std::size_t> partnerOf(after.size(), kUnmatched);
    std::vector<bool> taken(before.size(), false);
    if (!before.empty()) {
        Match(before, after, partnerOf, taken, [](const LoggedWindow& r) { return std::tie(r.hwnd, r.exe); });
        Match(before, after, partnerOf, taken,
              [](const LoggedWindow& r) { return std::tie(r.exe, r.className, r.title); });
    }
    for (std::size_t j = 0; j < after.size(); ++j) {
        if (partnerOf[j] == kUnmatched) {
            result.appeared.push_back(j);
            continue;
        }
        Change change{partnerOf[j], j, {}};
        for (std::size_t f = 0; f < std::size(kRecordFields); ++f) {
            if (!kRecordFields[f].same(before[change.before], after[j])) {
                change.fields.push_back(f);
            }
        }
        if (change.fields.empty()) {
            ++result.unchanged;
        } else {
            result.changed.push_back(std::move(change));
        }
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!taken[i]) result.disappeared.push_back(i);
    }
    return result;
}

} // namespace report
