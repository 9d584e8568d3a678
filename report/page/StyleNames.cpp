#include "report/page/StyleNames.h"

#include "report/text/Numbers.h"

namespace report {

namespace {

struct StyleName {
    const char* name;
    std::uint32_t value;
};

#define REPORT_STYLE_ROW(name, value) {#name, value},
const StyleName kStyles[] = {REPORT_WINDOW_STYLES(REPORT_STYLE_ROW)};
const StyleName kExtendedStyles[] = {REPORT_EXTENDED_STYLES(REPORT_STYLE_ROW)};
#undef REPORT_STYLE_ROW

template <std::size_t N>
std::string Names(std::uint32_t value, const StyleName (&table)[N])
{
    if (value == 0) return "0";
    std::string names;
    for (const StyleName& entry : table) {
        if ((value & entry.value) != entry.value) continue;
        names += names.empty() ? "" : " | ";
        names += entry.name;
        value &= ~entry.value;
    }
    if (value != 0) names += (names.empty() ? "0x" : " | 0x") + Hex8(value);
    return names;
}

} // namespace

std::string StyleNames(std::uint32_t style) { return Names(style, kStyles); }
std::string ExtendedStyleNames(std::uint32_t exStyle) { return Names(exStyle, kExtendedStyles); }

} // namespace report
