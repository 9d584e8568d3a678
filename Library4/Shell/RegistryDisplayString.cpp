#include "Library4/Shell/ShellRegistry.h"

#include "Library4/Shell/detail/RegistryText.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

#include <climits>
#include <cwchar>

namespace Library4::Shell {

using vantrel::platform::Api;
using namespace detail;

namespace {

constexpr DWORD kReferenceChars = 290;
constexpr DWORD kModulePathChars = MAX_PATH;

// Loads the string that a reference ("@module,-id") names into buffer. Returns false, with
// *length untouched, when the reference cannot be followed; otherwise *length is the string's
// length, 0 when the module lacks it.
bool LoadReferencedString(HKEY key, const wchar_t* referenceValueName, wchar_t* buffer, DWORD* length)
{
    wchar_t reference[kReferenceChars] = {};
    if (!ReadRegistryText(key, referenceValueName, reference, kReferenceChars).succeeded) return false;
    if (reference[0] == L'\0') return false;

    // Only the last comma splits: the module path may hold commas of its own.
    wchar_t* comma = std::wcsrchr(reference, L',');
    // The path begins after the leading '@' and the id after the '-' behind the comma; a reference
    // too short to have either is not followed (skipping them would read past the text).
    if (comma == nullptr || comma == reference || comma[1] == L'\0') return false;
    *comma = L'\0';
    const auto id = static_cast<UINT>(std::wcstoul(comma + 2, nullptr, 0));

    wchar_t modulePath[kModulePathChars] = {};
    if (!ExpandEnvironmentText(reference + 1, modulePath, kModulePathChars)) return false;

    const vantrel::platform::UniqueLibrary module(Api().LoadLibraryExW(modulePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module.IsValid()) return false;

    const int capacity = *length < static_cast<DWORD>(INT_MAX) ? static_cast<int>(*length) : INT_MAX;
    const int copied = Api().LoadStringW(module.Get(), id, buffer, capacity);
    *length = copied > 0 ? static_cast<DWORD>(copied) : 0;
    return true;
}

} // namespace

bool ReadRegistryDisplayString(HKEY root, const wchar_t* subKey, const wchar_t* valueName,
                               const wchar_t* referenceValueName, wchar_t* buffer, DWORD* length)
{
    vantrel::platform::UniqueRegistryKey key;
    if (!OpenRegistryKey(root, subKey, KEY_QUERY_VALUE, &key)) return false;
    // With no room even for a terminator there is nothing to give; LoadStringW would even take a
    // capacity of 0 as a request for a pointer into the module.
    const DWORD capacity = *length;
    if (capacity == 0) return false;

    if (referenceValueName != nullptr && LoadReferencedString(key.Get(), referenceValueName, buffer, length) &&
        *length != 0) {
        return true;
    }

    const RegistryTextRead plain = ReadRegistryText(key.Get(), valueName, buffer, capacity);
    if (!plain.succeeded || plain.bytesRead == 0) return false;
    *length = plain.length;
    return true;
}

} // namespace Library4::Shell
