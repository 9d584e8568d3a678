#include "SystemFolder.h"

#include "SafeString.h"
#include "Win32Api.h"

namespace vantrel::platform {

bool SystemFilePath(const wchar_t* fileName, wchar_t (&path)[MAX_PATH])
{
    path[0] = L'\0';
    const UINT length = Api().GetSystemDirectoryW(path, MAX_PATH);
    if (length != 0 && length < MAX_PATH && SUCCEEDED(SafeStringCbCat(path, sizeof(path), L"\\")) &&
        SUCCEEDED(SafeStringCbCat(path, sizeof(path), fileName))) {
        return true;
    }
    path[0] = L'\0';
    return false;
}

} // namespace vantrel::platform
