// Where the process looks for a library named without a path. Started from a Downloads folder, the
// program's own folder and the current folder are full of files nobody vetted: a DLL planted there
// under a name that the process (or a system DLL on its behalf) loads by bare name would run with
// the user's rights.
#pragma once

#include "platform/WindowsHeaders.h"

namespace app {

// What the restriction achieved, for the caller that wants to know; the run goes on either way.
enum class LibrarySearch {
    SystemFolderOnly,     // bare names are searched in the system folder alone
    CurrentFolderRemoved, // the program's folder is still searched, the current folder no longer
    Unchanged,            // the system offers neither restriction (Windows 2000), or both failed
};

// Restricts the library search of the whole process, as far as the system allows. Call it first,
// before anything that could load a library. Both system functions are looked up at run time, so
// the program still starts where they are missing.
LibrarySearch RestrictLibrarySearch();

} // namespace app
