#include "Library4/Shell/ShellRegistry.h"

#include "Library4/Shell/detail/RegistryText.h"
#include "platform/FileExtension.h"
#include "platform/SafeString.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

#include <cwchar>

namespace Library4::Shell {

using vantrel::platform::Api;
using namespace detail;

namespace {

constexpr DWORD kIconLocationChars = 270;

// Reads the icon location of the extension's class from one root's class registrations. The class
// is looked up only below the root that named it.
bool ReadIconLocation(HKEY root, const wchar_t* extension, wchar_t (&location)[kIconLocationChars])
{
    vantrel::platform::UniqueRegistryKey classes;
    if (!OpenRegistryKey(root, L"Software\\Classes", KEY_QUERY_VALUE, &classes)) return false;

    vantrel::platform::UniqueRegistryKey iconKey;
    if (!OpenFileTypeKey(classes.Get(), extension, L"DefaultIcon", KEY_QUERY_VALUE, &iconKey)) return false;

    return ReadRegistryText(iconKey.Get(), nullptr, location, kIconLocationChars).succeeded;
}

// The caller's room, as the header promises it: the larger of the icon location's room and the
// path with its terminator.
std::size_t IconFileRoom(const wchar_t* path)
{
    const std::size_t pathChars = std::wcslen(path) + 1;
    return pathChars > kIconLocationChars ? pathChars : kIconLocationChars;
}

} // namespace

bool GetFileTypeIcon(const wchar_t* path, wchar_t* iconFile, int* iconIndex)
{
    const std::size_t room = IconFileRoom(path);
    if (Api().SHGetFileInfoW(path, 0, nullptr, 0, SHGFI_EXETYPE) != 0) {
        // A copy that cannot fit fails rather than writing past the caller's room.
        if (FAILED(vantrel::platform::SafeStringCchCopy(iconFile, room, path))) return false;
        *iconIndex = 0;
        return true;
    }

    const wchar_t* extension = vantrel::platform::ExtensionOf(path);
    if (extension == nullptr) return false;

    wchar_t location[kIconLocationChars] = {};
    if (!ReadIconLocation(HKEY_CURRENT_USER, extension, location) &&
        !ReadIconLocation(HKEY_LOCAL_MACHINE, extension, location)) {
        return false;
    }

    // The index follows the last comma: the icon file itself may hold commas.
    int index = 0;
    if (wchar_t* comma = std::wcsrchr(location, L','); comma != nullptr) {
        *comma = L'\0';
        // long is 32 bits on Windows, so wcstol already clamps to the index's range.
        index = static_cast<int>(std::wcstol(comma + 1, nullptr, 10));
    }
    if (FAILED(vantrel::platform::SafeStringCchCopy(iconFile, room, location))) return false;
    *iconIndex = index;
    return true;
}

} // namespace Library4::Shell
