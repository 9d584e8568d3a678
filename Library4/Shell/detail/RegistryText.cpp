#include "Library4/Shell/detail/RegistryText.h"

#include "platform/SafeString.h"
#include "platform/Win32Api.h"

#include <limits>

namespace Library4::Shell::detail {

using vantrel::platform::Api;

bool OpenRegistryKey(HKEY parent, const wchar_t* name, REGSAM access, vantrel::platform::UniqueRegistryKey* key)
{
    return Api().RegOpenKeyExW(parent, name, 0, access, key->Put()) == ERROR_SUCCESS;
}

RegistryTextRead ReadRegistryText(HKEY key, const wchar_t* valueName, wchar_t* field, DWORD fieldChars, bool askType)
{
    RegistryTextRead read;
    if (fieldChars == 0) return read;

    // A byte count must fit a DWORD; a larger field is simply offered less of itself.
    constexpr DWORD kMaxChars = std::numeric_limits<DWORD>::max() / sizeof(wchar_t);
    const DWORD usableChars = fieldChars < kMaxChars ? fieldChars : kMaxChars;

    DWORD size = usableChars * static_cast<DWORD>(sizeof(wchar_t));
    const LONG status = Api().RegQueryValueExW(key, valueName, nullptr, askType ? &read.type : nullptr,
                                               reinterpret_cast<BYTE*>(field), &size);
    if (status != ERROR_SUCCESS) {
        // ERROR_MORE_DATA in particular leaves the field's content undefined.
        field[0] = L'\0';
        read.type = REG_NONE;
        return read;
    }

    read.succeeded = true;
    read.bytesRead = size;
    // An odd last byte is only half a character: it does not count.
    DWORD units = size / static_cast<DWORD>(sizeof(wchar_t));
    if (units > usableChars) units = usableChars;

    if (units != 0 && field[units - 1] == L'\0') {
        read.length = units - 1;
    } else {
        read.length = static_cast<DWORD>(vantrel::platform::TerminateWithin(field, usableChars, units));
    }
    return read;
}

bool ExpandEnvironmentText(const wchar_t* text, wchar_t* dest, DWORD destChars)
{
    if (destChars == 0) return false;
    const DWORD needed = Api().ExpandEnvironmentStringsW(text, dest, destChars);
    if (needed == 0 || needed > destChars) {
        // The platform may have left a cut, unterminated text behind.
        dest[0] = L'\0';
        return false;
    }
    vantrel::platform::TerminateWithin(dest, destChars, needed - 1);
    return true;
}

bool OpenFileTypeKey(HKEY classes, const wchar_t* extension, const wchar_t* subKey, REGSAM access,
                     vantrel::platform::UniqueRegistryKey* key)
{
    vantrel::platform::UniqueRegistryKey extensionKey;
    if (!OpenRegistryKey(classes, extension, KEY_QUERY_VALUE, &extensionKey)) return false;

    wchar_t name[MAX_PATH] = {};
    if (!ReadRegistryText(extensionKey.Get(), nullptr, name, ARRAYSIZE(name)).succeeded) return false;
    // A class name too long to take the sub-key names no key we could open.
    if (FAILED(vantrel::platform::SafeStringCbCat(name, sizeof(name), L"\\")) ||
        FAILED(vantrel::platform::SafeStringCbCat(name, sizeof(name), subKey))) {
        return false;
    }
    return OpenRegistryKey(classes, name, access, key);
}

} // namespace Library4::Shell::detail
