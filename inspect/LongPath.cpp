#include "inspect/LongPath.h"

#include "platform/SafeString.h"
#include "platform/Win32Api.h"

#include <string>

namespace inspect {

void ReplaceByLongForm(wchar_t* path, int capacity)
{
    if (path == nullptr || capacity <= 0 || path[0] == L'\0') return;
    // The system may use the buffer as scratch room before it finds that the long form does not
    // fit; keep the original so that a failure leaves the path as it was.
    const std::wstring original(path);
    const DWORD length = vantrel::platform::Api().GetLongPathNameW(path, path, static_cast<DWORD>(capacity));
    if (length == 0 || length >= static_cast<DWORD>(capacity)) {
        vantrel::platform::SafeStringCchCopy(path, static_cast<std::size_t>(capacity), original.c_str());
    }
}

} // namespace inspect
