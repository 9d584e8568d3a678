// Files of the system folder, named by their full path: never found through a search that a file
// planted beside the program or in the current folder could win.
#pragma once

#include "WindowsHeaders.h"

namespace vantrel::platform {

// Writes "<system folder>\fileName" into path. False, with path emptied, when it does not fit.
bool SystemFilePath(const wchar_t* fileName, wchar_t (&path)[MAX_PATH]);

} // namespace vantrel::platform
