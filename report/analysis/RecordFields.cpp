#include "report/analysis/RecordFields.h"

#include "report/text/Numbers.h"

namespace report {

std::string HandleText(std::uint32_t handle) { return "0x" + Hex8(handle); }

std::string StyleText(std::uint32_t style) { return "0x" + HexDigits(style); }

std::string RectText(const Rect& r)
{
    return Decimal(r.left) + "," + Decimal(r.top) + " - " + Decimal(r.right) + "," + Decimal(r.bottom);
}

std::string StateText(const LoggedWindow& r)
{
    if (r.maximized && r.minimized) return "maximized, minimized";
    return r.maximized ? "maximized" : r.minimized ? "minimized" : "normal";
}

} // namespace report
