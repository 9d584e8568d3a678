// The manager's interface is declared to builds for Windows 10 only; nothing of it is imported,
// and ole32 is found at run time.
#undef WINVER
#undef _WIN32_WINNT
#define WINVER 0x0A00
#define _WIN32_WINNT 0x0A00

#include "Library4/Shell/detail/VirtualDesktop.h"

#include "platform/ComApartment.h"
#include "platform/RuntimeFunction.h"
#include "platform/UniqueResource.h"

#include <shobjidl.h>

namespace Library4::Shell::detail {

bool IsOnAnotherVirtualDesktop(HWND hwnd)
{
    const vantrel::platform::ComApartment apartment;
    const auto create = vantrel::platform::Find<&vantrel::platform::Win32Api::CoCreateInstance>();
    if (!apartment.Usable() || !create) return false;
    // The manager goes before the apartment does, by the order of the locals.
    vantrel::platform::UniqueComReference<IVirtualDesktopManager> manager;
    if (FAILED(create(__uuidof(VirtualDesktopManager), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IVirtualDesktopManager),
                      reinterpret_cast<void**>(manager.Put()))) ||
        !manager.IsValid()) {
        return false;
    }
    BOOL onCurrent = TRUE;
    return SUCCEEDED(manager.Get()->IsWindowOnCurrentVirtualDesktop(hwnd, &onCurrent)) && !onCurrent;
}

} // namespace Library4::Shell::detail
