// The shell utility module's worker objects, which run shell calls on a thread of their own while
// the caller waits, and the exception the module throws when such a thread cannot be started.
#pragma once

#include "platform/WindowsHeaders.h"

#include <cstddef>
#include <type_traits>

namespace Library4::Shell {

// The module's base exception. A plain value: no virtual members and nothing owned, so the
// exception machinery may copy it freely.
class Exception {
public:
    // The argument order differs from the field order on purpose: callers name the place first.
    constexpr Exception(const char* file, int line, DWORD detail) : Detail(detail), File(file), Line(line) {}

    DWORD Detail;
    // Source file of the throw statement, relative, with backslash separators. Static, not owned.
    const char* File;
    int Line;
};

// A system call failed in a way that leaves a service unable to work.
class UnknownErrorException : public Exception {
public:
    constexpr UnknownErrorException(DWORD code, DWORD lastError, const char* file, int line, DWORD detail)
        : Exception(file, line, detail), Code(code), LastError(lastError)
    {
    }

    DWORD Code;
    // The thread's last-error value, read right after the failed call.
    DWORD LastError;
};

static_assert(std::is_trivially_copyable_v<Exception>);
static_assert(std::is_trivially_copyable_v<UnknownErrorException>);
static_assert(!std::is_polymorphic_v<Exception>);
static_assert(std::is_base_of_v<Exception, UnknownErrorException>);

// Runs SHAppBarMessage on a worker thread. Fill the request fields, call Call(message) and read
// the fields back: they hold what the shell left in its app-bar data.
//
// The worker thread starts with the first Call and serves every later one; the destructor stops
// it. One Call at a time per object: callers on different threads must serialise themselves, and
// the object must not be destroyed while a Call runs elsewhere. The worker holds the object's
// address, so the object cannot be copied or moved.
//
// The destructor waits for the worker thread without a time limit. So it must never run under the
// loader lock, where the thread cannot end (no worker as a static of a DLL, nor destroyed in
// DllMain), and it waits as long as a shell call in progress takes, however long that is.
class AppBarWorker {
public:
    AppBarWorker();
    // Stops the worker and waits for it without a time limit: see above.
    ~AppBarWorker();
    AppBarWorker(const AppBarWorker&) = delete;
    AppBarWorker& operator=(const AppBarWorker&) = delete;

    // Zeroes the request fields.
    void ClearRequest();

    // Sends the message with app-bar data built from the request fields and returns the shell's
    // answer unchanged. Throws UnknownErrorException when the worker cannot be started; a later
    // Call tries again.
    UINT_PTR Call(UINT message);

    // The request: APPBARDATA without its size field, in the same order. In and out.
    HWND hWnd;
    UINT uCallbackMessage;
    UINT uEdge;
    RECT rc;
    LPARAM lParam;

    // Owned by the object from the first Call to destruction; callers only read them.
    HANDLE Thread;
    HANDLE RequestEvent;  // auto-reset: a request is ready, or the worker must stop
    HANDLE DoneEvent;     // auto-reset: the request is finished
    UINT_PTR Result;
    UINT Message;
    bool Running;

private:
    // The worker thread's routine; object is the worker.
    static DWORD WINAPI ThreadProc(LPVOID object);
};

// Runs ShellExecuteExW on a worker thread. The object is its own SHELLEXECUTEINFOW: fill it, call
// Call and read the shell's output fields (hInstApp, hProcess) from it. A process handle the shell
// returns belongs to the caller. Start, stop and the one-Call-at-a-time rule as for AppBarWorker.
// The worker thread lives in a single-threaded COM apartment of its own (OLE1 DDE disabled), as
// shell extensions that carry out verbs expect; the caller's own COM state is not touched.
class ShellExecuteWorker : public SHELLEXECUTEINFOW {
public:
    ShellExecuteWorker();
    // Waits for the worker without a time limit, as AppBarWorker's destructor does.
    ~ShellExecuteWorker();
    ShellExecuteWorker(const ShellExecuteWorker&) = delete;
    ShellExecuteWorker& operator=(const ShellExecuteWorker&) = delete;

    // Zeroes the request and presets its size field.
    void ClearRequest();

    // Runs ShellExecuteExW with SEE_MASK_NOASYNC added to fMask for the call (the worker thread has
    // no message loop; fMask reads as the caller left it afterwards) and returns what it returned.
    // Throws UnknownErrorException when the worker cannot be started; a later Call tries again.
    BOOL Call();

    HANDLE Thread;
    HANDLE RequestEvent;
    HANDLE DoneEvent;
    BOOL Result;
    bool Running;

private:
    // The worker thread's routine; object is the worker.
    static DWORD WINAPI ThreadProc(LPVOID object);
};

// The request fields mirror APPBARDATA after its size field, so the copies stay field for field.
#define VANTREL_SAME_OFFSET_IN_APPBARDATA(field)                                                  \
    static_assert(offsetof(AppBarWorker, field) - offsetof(AppBarWorker, hWnd) ==                 \
                  offsetof(APPBARDATA, field) - offsetof(APPBARDATA, hWnd))
VANTREL_SAME_OFFSET_IN_APPBARDATA(uCallbackMessage);
VANTREL_SAME_OFFSET_IN_APPBARDATA(uEdge);
VANTREL_SAME_OFFSET_IN_APPBARDATA(rc);
VANTREL_SAME_OFFSET_IN_APPBARDATA(lParam);
#undef VANTREL_SAME_OFFSET_IN_APPBARDATA
static_assert(offsetof(AppBarWorker, hWnd) == 0);
static_assert(offsetof(AppBarWorker, Thread) == sizeof(APPBARDATA) - offsetof(APPBARDATA, hWnd));

static_assert(offsetof(Exception, Detail) < offsetof(Exception, File) &&
              offsetof(Exception, File) < offsetof(Exception, Line));

// The shipped 32-bit layout.
static_assert(sizeof(void*) != 4 || (sizeof(Exception) == 12 && sizeof(UnknownErrorException) == 20));
static_assert(sizeof(void*) != 4 || (sizeof(APPBARDATA) == 36 && sizeof(SHELLEXECUTEINFOW) == 60));
static_assert(sizeof(void*) != 4 || offsetof(AppBarWorker, Running) == 52);

} // namespace Library4::Shell
