// The shell utility module's window services: the taskbar test and the heuristics that choose a
// representative window of a process.
#pragma once

#include "platform/WindowsHeaders.h"

namespace Library4::Shell {

// Atom of the system's "Ghost" class (the stand-in for a hung application's window): 0 until the
// first taskbar test, then the atom, or 0xFFFF when the class is not registered. Computed once.
extern WORD GhostClassAtom;

// True for a top-level window that the taskbar shows as a button.
bool IsTaskbarWindow(HWND hwnd);

} // namespace Library4::Shell
