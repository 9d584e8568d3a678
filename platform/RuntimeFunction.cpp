#include "RuntimeFunction.h"

#include "SafeString.h"

namespace platform {

HMODULE LoadSystemLibrary(const wchar_t* fileName)
{
    wchar_t path[MAX_PATH] = {};
    const UINT length = Api().GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    if (FAILED(SafeStringCbCat(path, sizeof(path), L"\\")) ||
        FAILED(SafeStringCbCat(path, sizeof(path), fileName))) {
        return nullptr;
    }
    return Api().LoadLibraryW(path);
}

} // namespace platform
