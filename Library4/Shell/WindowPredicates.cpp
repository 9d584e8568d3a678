#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/WindowEnumeration.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

using vantrel::platform::Api;

namespace {

bool IsVisible(HWND hwnd) { return Api().IsWindowVisible(hwnd) != FALSE; }

} // namespace

bool HasClientArea(HWND hwnd)
{
    // Preset, so that a failed query counts as an empty client area.
    RECT client{};
    Api().GetClientRect(hwnd, &client);
    return client.right >= 1 && client.bottom >= 1;
}

bool IsVisibleTaskWindow(HWND hwnd) { return detail::IsTopLevel(hwnd) && IsVisible(hwnd) && HasClientArea(hwnd); }

bool IsUnownedTaskWindow(HWND hwnd)
{
    return detail::IsTopLevel(hwnd) && IsVisible(hwnd) && !HasClientArea(hwnd) && detail::OwnerOf(hwnd) == nullptr;
}

} // namespace Library4::Shell
