#include "app/Entry.h"

#include "app/LibrarySearch.h"
#include "app/LogTool.h"

namespace app {

int RunEntry(HINSTANCE instance)
{
    // The outcome is not examined: where the system cannot restrict the search, the run is as safe
    // as it ever was on that system, and refusing to run would help nobody.
    RestrictLibrarySearch();
    return RunLogTool(instance);
}

} // namespace app
