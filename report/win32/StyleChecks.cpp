// The portable code writes the window styles out by value (report/model/StyleBits.h); here each
// meets the header it comes from, when vantrel-report compiles.
//
// Declarations up to Windows 8 are visible in this file only, so that every style name below can
// be checked against the header; nothing newer is imported, only looked up at run time (the
// import-table test holds that line).
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0602
#define _WIN32_WINNT 0x0602

#include "report/model/StyleBits.h"

#include <windows.h>

#define REPORT_CHECK_STYLE(name, value) static_assert(static_cast<std::uint32_t>(name) == (value), #name);
REPORT_WINDOW_STYLES(REPORT_CHECK_STYLE)
REPORT_EXTENDED_STYLES(REPORT_CHECK_STYLE)
#undef REPORT_CHECK_STYLE
