#pragma once

#include "platform/WindowsHeaders.h"

namespace app {

// What wWinMain does: restricts the library search before anything can load a library, then runs
// the log tool. Returns the process's exit code.
int RunEntry(HINSTANCE instance);

} // namespace app
