// vantrel-report's console on Windows: what it prints, whether anyone can read it there, and the
// last word when memory runs out.
#pragma once

#include "platform/WindowsHeaders.h"

#include <string>

namespace report {

// UTF-8 text to the standard handle `which` (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE): to a console as
// wide text, since it would read bytes in its own code page; to a file or a pipe, where
// WriteConsoleW fails, as the bytes themselves.
void Print(DWORD which, const std::string& utf8);

// Dropped on in Explorer, the program has a console of its own that closes as it ends: nothing
// printed there could be read. Such a console is new, its cursor still at the top left.
bool HasConsoleOfItsOwn();

// Memory ran out before a log could be named, or after: said without asking for any more, on
// standard error and, for a console of its own, in a message box.
void PrintOutOfMemory(bool ownConsole);

} // namespace report
