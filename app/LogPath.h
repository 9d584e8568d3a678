#pragma once

#include "platform/WindowsHeaders.h"

#include <cstddef>

namespace app {

constexpr std::size_t kLogPathChars = MAX_PATH;

// Turns the program's own path, in place, into its log's path: "txt" in place of the extension
// of the file name (prog.v2.exe -> prog.v2.txt), or ".txt" appended when the file name has no
// extension. A dot in a folder name never counts. Returns false when the result did not fit;
// path then holds as much of it as is known, terminated.
bool MakeLogPath(wchar_t (&path)[kLogPathChars]);

} // namespace app
