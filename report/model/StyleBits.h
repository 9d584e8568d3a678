// The window styles and extended styles that the portable code reads, by name.
#pragma once

#include <cstdint>

namespace report {

// Every name with its value from the Windows headers, written out here because the portable code
// cannot include them; the Windows build checks each against the headers when it compiles. A
// name of two bits comes before the bits' own names, so that it is the one used. The low 16
// bits of a style belong to the window's class and have no names here.
// clang-format off
#define REPORT_WINDOW_STYLES(X)                                                                   \
    X(WS_POPUP, 0x80000000) X(WS_CHILD, 0x40000000) X(WS_MINIMIZE, 0x20000000)                    \
    X(WS_VISIBLE, 0x10000000) X(WS_DISABLED, 0x08000000) X(WS_CLIPSIBLINGS, 0x04000000)           \
    X(WS_CLIPCHILDREN, 0x02000000) X(WS_MAXIMIZE, 0x01000000) X(WS_CAPTION, 0x00C00000)           \
    X(WS_BORDER, 0x00800000) X(WS_DLGFRAME, 0x00400000) X(WS_VSCROLL, 0x00200000)                 \
    X(WS_HSCROLL, 0x00100000) X(WS_SYSMENU, 0x00080000) X(WS_THICKFRAME, 0x00040000)              \
    X(WS_MINIMIZEBOX, 0x00020000) X(WS_MAXIMIZEBOX, 0x00010000)

#define REPORT_EXTENDED_STYLES(X)                                                                 \
    X(WS_EX_DLGMODALFRAME, 0x00000001) X(WS_EX_NOPARENTNOTIFY, 0x00000004)                        \
    X(WS_EX_TOPMOST, 0x00000008) X(WS_EX_ACCEPTFILES, 0x00000010) X(WS_EX_TRANSPARENT, 0x00000020) \
    X(WS_EX_MDICHILD, 0x00000040) X(WS_EX_TOOLWINDOW, 0x00000080) X(WS_EX_WINDOWEDGE, 0x00000100) \
    X(WS_EX_CLIENTEDGE, 0x00000200) X(WS_EX_CONTEXTHELP, 0x00000400) X(WS_EX_RIGHT, 0x00001000)    \
    X(WS_EX_RTLREADING, 0x00002000) X(WS_EX_LEFTSCROLLBAR, 0x00004000)                            \
    X(WS_EX_CONTROLPARENT, 0x00010000) X(WS_EX_STATICEDGE, 0x00020000)                            \
    X(WS_EX_APPWINDOW, 0x00040000) X(WS_EX_LAYERED, 0x00080000) X(WS_EX_NOINHERITLAYOUT, 0x00100000) \
    X(WS_EX_NOREDIRECTIONBITMAP, 0x00200000) X(WS_EX_LAYOUTRTL, 0x00400000)                       \
    X(WS_EX_COMPOSITED, 0x02000000) X(WS_EX_NOACTIVATE, 0x08000000)
// clang-format on

#define REPORT_DECLARE_STYLE(name, value) constexpr std::uint32_t k_##name = value;
REPORT_WINDOW_STYLES(REPORT_DECLARE_STYLE)
REPORT_EXTENDED_STYLES(REPORT_DECLARE_STYLE)
#undef REPORT_DECLARE_STYLE

} // namespace report
