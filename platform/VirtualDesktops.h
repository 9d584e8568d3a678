// The shell's virtual desktop manager (Windows 10 and later), through the COM of the calling
// thread, which must have joined an apartment (see ComApartment.h) for as long as this object
// lives.
#pragma once

#include "UniqueResource.h"

#include <optional>

struct IVirtualDesktopManager;

namespace vantrel::platform {

class VirtualDesktops {
public:
    // Made with CoCreateInstance, found at run time in ole32; without ole32, COM on this thread or
    // the manager, it answers nothing.
    VirtualDesktops();
    ~VirtualDesktops();
    VirtualDesktops(const VirtualDesktops&) = delete;
    VirtualDesktops& operator=(const VirtualDesktops&) = delete;

    // Whether hwnd is on the desktop the user sees (IsWindowOnCurrentVirtualDesktop); none without
    // the manager or where the query fails.
    std::optional<bool> IsOnCurrent(HWND hwnd) const;

private:
    UniqueComReference<IVirtualDesktopManager> manager_;
};

} // namespace vantrel::platform
