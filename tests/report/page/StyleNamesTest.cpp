// The decoded names of styles a taskbar window has, and of bits no name covers.
#include "report/page/StyleNames.h"

#include <gtest/gtest.h>

namespace reporttest {

TEST(StyleNames, NamesEachBitOnceAndShowsTheRestInHexadecimal)
{
    const struct {
        std::uint32_t value;
        const char* style;
        const char* extended;
    } kCases[] = {
        {0, "0", "0"},
        {0x14ca0000, "WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX",
         "WS_EX_STATICEDGE | WS_EX_LAYERED | WS_EX_LAYOUTRTL | 0x14800000"},
        {0x00800000, "WS_BORDER", "0x00800000"},
        {0x9000C001, "WS_POPUP | WS_VISIBLE | 0x0000C001", "WS_EX_DLGMODALFRAME | WS_EX_LEFTSCROLLBAR | 0x90008000"},
        {0x00040100, "WS_THICKFRAME | 0x00000100", "WS_EX_WINDOWEDGE | WS_EX_APPWINDOW"},
        {0x08000880, "WS_DISABLED | 0x00000880", "WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | 0x00000800"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(c.style, report::StyleNames(c.value)) << std::hex << c.value;
        EXPECT_EQ(c.extended, report::ExtendedStyleNames(c.value)) << std::hex << c.value;
    }
}

} // namespace reporttest
