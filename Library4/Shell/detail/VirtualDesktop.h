// Which virtual desktop a window is on, as the shell's virtual desktop manager (Windows 10 and
// later) tells. Internal to the module.
#pragma once

#include "platform/WindowsHeaders.h"

namespace Library4::Shell::detail {

// True only when the manager answers that hwnd is on a desktop other than the one the user sees.
// COM is joined on this thread for the call (see platform/ComApartment.h); without ole32, COM or
// the manager, or where the query fails, false. Throws nothing.
bool IsOnAnotherVirtualDesktop(HWND hwnd);

} // namespace Library4::Shell::detail
