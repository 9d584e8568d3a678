// Where this test program and the system's own files are.
#pragma once

#include <string>

namespace testsupport {

// The full path of this test program.
std::wstring OwnExecutablePath();

// The system folder, without a trailing separator.
std::wstring SystemFolder();

// A file of the system folder by its full path.
std::wstring SystemFile(const wchar_t* name);

} // namespace testsupport
