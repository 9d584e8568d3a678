#include "RuntimeFunction.h"

#include "SystemFolder.h"

namespace vantrel::platform {

HMODULE LoadSystemLibrary(const wchar_t* fileName)
{
    wchar_t path[MAX_PATH];
    return SystemFilePath(fileName, path) ? Api().LoadLibraryW(path) : nullptr;
}

} // namespace vantrel::platform
