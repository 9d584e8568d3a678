#include "app/LibrarySearch.h"

#include "platform/RuntimeFunction.h"

namespace app {

using vantrel::platform::Find;
using vantrel::platform::Win32Api;

LibrarySearch RestrictLibrarySearch()
{
    // Both live in kernel32, which every process has loaded from its start: finding them loads
    // nothing from the folders still to be taken out of the search.

    // Windows 8 and later, and Vista and 7 with the update that adds it: the system folder only,
    // which leaves out the program's own folder as well as the current one.
    const auto setDefaultDllDirectories = Find<&Win32Api::SetDefaultDllDirectories>();
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return LibrarySearch::SystemFolderOnly;

    // XP SP1 and later: an empty string (not null, which restores the default) takes the current
    // folder out of the search. Also the fallback should the stricter call ever be refused.
    const auto setDllDirectory = Find<&Win32Api::SetDllDirectoryW>();
    if (setDllDirectory && setDllDirectory(L"")) return LibrarySearch::CurrentFolderRemoved;

    return LibrarySearch::Unchanged;
}

} // namespace app
