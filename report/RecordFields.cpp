#include "report/RecordFields.h"

#include "report/Numbers.h"

#include <algorithm>

namespace report {

std::string HandleText(std::uint32_t handle) { return "0x" + Hex8(handle); }

std::string StyleText(std::uint32_t style)
{
    std::string digits = Hex8(style);
    digits.erase(0, std::min(digits.find_first_not_of('0'), std::size_t{7}));
    for (char& c : digits) c = c >= 'A' ? static_cast<char>(c - 'A' + 'a') : c;
    return "0x" + digits;
}

std::string RectText(const Rect& r)
{
    return Decimal(r.left) + "," + Decimal(r.top) + " - " + Decimal(r.right) + "," + Decimal(r.bottom);
}

std::string StateText(const WindowRecord& r)
{
    if (r.maximized && r.minimized) return "maximized, minimized";
    return r.maximized ? "maximized" : r.minimized ? "minimized" : "normal";
}

} // namespace report
