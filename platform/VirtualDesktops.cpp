// The manager's interface is declared to builds for Windows 10 only; nothing of it is imported.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00

#include "VirtualDesktops.h"

#include "RuntimeFunction.h"

#include <shobjidl.h>

namespace vantrel::platform {

VirtualDesktops::VirtualDesktops()
{
    const auto create = Find<&Win32Api::CoCreateInstance>();
    // A failed creation leaves the pointer null, and with it every answer none.
    if (create) {
        create(__uuidof(VirtualDesktopManager), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IVirtualDesktopManager),
               reinterpret_cast<void**>(manager_.Put()));
    }
}

VirtualDesktops::~VirtualDesktops() = default;

std::optional<bool> VirtualDesktops::IsOnCurrent(HWND hwnd) const
{
    BOOL on = FALSE;
    if (!manager_.IsValid() || FAILED(manager_.Get()->IsWindowOnCurrentVirtualDesktop(hwnd, &on))) return std::nullopt;
    return on != FALSE;
}

} // namespace vantrel::platform
