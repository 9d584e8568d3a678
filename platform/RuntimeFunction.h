// Functions that only some systems offer are looked up at run time, through the platform table so
// that a test can make one of them "missing". The result is typed from the system header's own
// declaration and is null when the system lacks the function.
#pragma once

#include "Win32Api.h"

namespace platform {

template <class Fn>
Fn LookUpFunction(HMODULE module, const char* name)
{
    if (module == nullptr) return nullptr;
    const FARPROC address = Api().GetProcAddress(module, name);
    // FARPROC is the platform's generic code pointer; going through void* states the intent and
    // keeps the compiler's function-cast check quiet.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(address));
}

// Loads a library from the system folder by its full path, never through the default search
// order, so that a DLL of the same name planted beside the program or in the current folder is
// never run. Returns null when the library cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

} // namespace platform
