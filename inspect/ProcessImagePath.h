// The executable behind a window or process, by the best means the running system offers.
// Each look-up empties out on entry and returns true when out holds a path; out is always
// terminated within capacity characters, and a longer path arrives cut to capacity - 1.
#pragma once

#include "platform/WindowsHeaders.h"

namespace inspect {

bool GetWindowProcessImagePath(HWND hwnd, wchar_t* out, int capacity);

// For a 16-bit task in the NT virtual DOS machine, the task's own file rather than the machine's.
bool GetProcessImagePath(DWORD processId, DWORD threadId, wchar_t* out, int capacity);

// The tool-help strategy alone, for systems that have neither newer query.
bool GetProcessImagePathFromSnapshot(DWORD processId, wchar_t* out, int capacity);

} // namespace inspect
