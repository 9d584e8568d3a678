// Keeps the Wine desktop open while the tests run.
//   desktop-keeper.exe hold READY_FILE   joins the desktop, creates READY_FILE, waits until stopped
//   desktop-keeper.exe stop              stops the holder, if one runs; exits 0 either way
// Wine ends the desktop's process a second after the last program that used the desktop has
// gone, and that process keeps the error output of the program that started it: ctest then
// waited a second after every case that touched the desktop, and the next case started the
// desktop anew. A holder that never ends spares both.

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t kStopEvent[] = L"VantrelTests.DesktopKeeper.Stop";

int Hold(const wchar_t* readyFile)
{
    // Any user32 call that needs the desktop makes this process one of its users.
    if (::GetDesktopWindow() == nullptr) return 1;
    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, kStopEvent);
    if (stop == nullptr) return 1;
    // Another holder already runs: say ready, and leave the holding to it.
    const bool another = ::GetLastError() == ERROR_ALREADY_EXISTS;
    HANDLE ready = ::CreateFileW(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) {
        ::CloseHandle(stop);
        return 1;
    }
    ::CloseHandle(ready);
    if (!another) ::WaitForSingleObject(stop, INFINITE);
    ::CloseHandle(stop);
    return 0;
}

int Stop()
{
    HANDLE stop = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEvent);
    if (stop == nullptr) return 0;
    ::SetEvent(stop);
    ::CloseHandle(stop);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"hold") == 0) return Hold(argv[2]);
    if (argc == 2 && std::wcscmp(argv[1], L"stop") == 0) return Stop();
    std::fwprintf(stderr, L"usage: desktop-keeper.exe hold READY_FILE | stop\n");
    return 2;
}
