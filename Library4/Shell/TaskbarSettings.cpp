#include "Library4/Shell/ShellWindows.h"

#include "Library4/Shell/detail/RegistryText.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

namespace {

std::optional<DWORD> ReadNumber(HKEY key, const wchar_t* name)
{
    DWORD type = REG_NONE, value = 0, size = sizeof(value);
    const LONG status =
        vantrel::platform::Api().RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value)) return std::nullopt;
    return value;
}

} // namespace

TaskbarSettings ReadTaskbarSettings()
{
    TaskbarSettings settings;
    vantrel::platform::UniqueRegistryKey advanced;
    if (!detail::OpenRegistryKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced",
                                 KEY_QUERY_VALUE, &advanced)) {
        return settings;
    }
    settings.VirtualDesktopTaskbarFilter = ReadNumber(advanced.Get(), L"VirtualDesktopTaskbarFilter");
    settings.MMTaskbarEnabled = ReadNumber(advanced.Get(), L"MMTaskbarEnabled");
    settings.MMTaskbarMode = ReadNumber(advanced.Get(), L"MMTaskbarMode");
    return settings;
}

} // namespace Library4::Shell
