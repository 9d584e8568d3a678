#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

namespace {

// Whether `window` is one of the first `count` windows of the owner chain that starts at `first`.
// The chain is read again rather than remembered, so the walk allocates nothing; `count` bounds it
// even if ownership changes meanwhile.
bool IsAmongFirstOfChain(HWND first, std::size_t count, HWND window)
{
    HWND link = first;
    for (std::size_t i = 0; i < count && link != nullptr; ++i, link = detail::OwnerOf(link)) {
        if (link == window) return true;
    }
    return false;
}

} // namespace

HWND GetForegroundRootOwner()
{
    const HWND foreground = vantrel::platform::Api().GetForegroundWindow();
    if (foreground == nullptr) return nullptr;

    HWND window = foreground;
    for (std::size_t passed = 1;; ++passed) {
        const HWND owner = detail::OwnerOf(window);
        if (owner == nullptr) return window;
        // Owners that come back round would keep the walk going for ever: stop before the repeat.
        if (IsAmongFirstOfChain(foreground, passed, owner)) return window;
        window = owner;
    }
}

} // namespace Library4::Shell
