#include "report/page/Palette.h"

#include "report/text/Numbers.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

namespace report {

Palette::Palette(const std::vector<LoggedWindow>& records) : programOf_(records.size(), kNone)
{
    std::unordered_map<std::string_view, std::size_t> indexOf;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].exe.empty()) {
            if (withoutProgram_ == kNone) withoutProgram_ = i;
            continue;
        }
        const auto [it, added] = indexOf.emplace(records[i].exe, programs_.size());
        if (added) programs_.push_back(i);
        programOf_[i] = it->second;
    }
}

std::string Palette::Colour(std::size_t program)
{
    if (program == kNone) return "#d0d0d0";
    // The golden angle keeps neighbouring programs' hues far apart however many there are.
    return "hsl(" + Decimal(static_cast<std::int64_t>(program * 137 % 360)) + ",70%,80%)";
}

} // namespace report
