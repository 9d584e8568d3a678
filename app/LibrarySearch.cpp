#include "app/LibrarySearch.h"

#include "platform/RuntimeFunction.h"

using platform::Api;
using platform::LookUpFunction;

LibrarySearch RestrictLibrarySearch()
{
    // kernel32 is in every process from its start, so asking for its handle loads nothing.
    const HMODULE kernel32 = Api().GetModuleHandleW(L"kernel32.dll");

    // Windows 8 and later, and Vista and 7 with the update that adds it: the system folder only,
    // which leaves out the program's own folder as well as the current one.
    const auto setDefaultDllDirectories =
        LookUpFunction<decltype(&::SetDefaultDllDirectories)>(kernel32, "SetDefaultDllDirectories");
    if (setDefaultDllDirectories != nullptr && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return LibrarySearch::SystemFolderOnly;

    // XP SP1 and later: an empty string (not null, which restores the default) takes the current
    // folder out of the search. Also the fallback should the stricter call ever be refused.
    const auto setDllDirectory = LookUpFunction<decltype(&::SetDllDirectoryW)>(kernel32, "SetDllDirectoryW");
    if (setDllDirectory != nullptr && setDllDirectory(L"")) return LibrarySearch::CurrentFolderRemoved;

    return LibrarySearch::Unchanged;
}
