// The shell's virtual desktop manager as a test describes it, made by a fake CoCreateInstance for
// the platform table: what Wine has not (Windows 10's virtual desktops).
#pragma once

#include "platform/Win32Api.h"

namespace testsupport {

struct FakeDesktops {
    HWND window = nullptr; // the one window the manager knows; a query for any other fails
    bool onCurrent = true; // where that window is
    ULONG references = 0;  // managers handed out and not given back
    int queries = 0;
};
FakeDesktops& Desktops();

// Hands out the fake manager for CLSID_VirtualDesktopManager, and fails for any other class.
HRESULT WINAPI FakeCoCreateInstance(REFCLSID type, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out);

} // namespace testsupport
