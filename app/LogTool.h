#pragma once

#include "platform/WindowsHeaders.h"

namespace app {

// The whole run: writes the log of taskbar windows beside the program, closes it, tells the user
// in a message box, and returns the exit code (0 written, 1 not).
int RunLogTool(HINSTANCE instance);

} // namespace app
