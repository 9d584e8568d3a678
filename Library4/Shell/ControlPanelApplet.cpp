#include "Library4/Shell/ShellRegistry.h"

#include "platform/SafeString.h"
#include "platform/SystemFolder.h"
#include "platform/UniqueResource.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

using vantrel::platform::Api;

DWORD OpenControlPanelApplet(const wchar_t* appletFile, int appletIndex, int page)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};

    // A line that does not fit would name another applet or page than asked: start nothing.
    wchar_t commandLine[MAX_PATH];
    if (FAILED(vantrel::platform::SafeStringCbPrintf(commandLine, sizeof(commandLine),
                                                     L"rundll32.exe shell32.dll,Control_RunDLL %s,@%d,%d", appletFile,
                                                     appletIndex, page))) {
        return 0;
    }

    // Named by its full path, so that no rundll32.exe planted beside us or in the current folder
    // is run in its place.
    wchar_t application[MAX_PATH];
    if (!vantrel::platform::SystemFilePath(L"rundll32.exe", application)) return 0;

    if (!Api().CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &started)) {
        return 0;
    }
    vantrel::platform::UniqueHandle process(started.hProcess);
    vantrel::platform::UniqueHandle thread(started.hThread);
    // Nothing of the new process is kept: it runs on by itself.
    thread.Reset();
    process.Reset();
    return started.dwProcessId;
}

} // namespace Library4::Shell
