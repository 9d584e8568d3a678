// The shell utility module's worker objects, which run shell calls on a thread of their own while
// the caller waits, and the exception the module throws when such a thread cannot be started.
#pragma once

#if !defined(UNICODE) || !defined(_UNICODE)
#error "The Library4 Shell headers need UNICODE and _UNICODE defined (the Library4Shell package defines both)"
#endif

#include <windows.h>
#include <shellapi.h>

#include <cstddef>
#include <type_traits>

namespace Library4::Shell {

// The module's base exception. A plain value: no virtual members and nothing owned, so the
// exception machinery may copy it freely. It is not a std::exception: catch (const std::exception&)
// does not catch it; catch Library4::Shell::Exception (or the class thrown) by reference.
class Exception {
public:
    // The argument order differs from the field order on purpose: callers name the place first.
    constexpr Exception(const char* file, int line, DWORD detail) : Detail(detail), File(file), Line(line) {}

    // Reserved: 0 in every exception the module throws.
    DWORD Detail;
    // Source file of the throw statement, relative, with backslash separators. Static, not owned.
    const char* File;
    int Line;
};

// A system call failed in a way that leaves a service unable to work. The only exception the
// module throws of its own; std::bad_alloc is the other one that can come out of it.
class UnknownErrorException : public Exception {
public:
    constexpr UnknownErrorException(DWORD code, DWORD lastError, const char* file, int line, DWORD detail)
        : Exception(file, line, detail), Code(code), LastError(lastError)
    {
    }

    // Reserved: 0 in every exception the module throws.
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
// address, so the object cannot be copied or moved. Neither worker touches the caller's
// last-error value with the shell's: the shell runs on the worker thread.
//
// The destructor waits for the worker thread without a time limit. So it must never run under the
// loader lock, where the thread cannot end (no worker as a static of a DLL, nor destroyed in
// DllMain), and it waits as long as a shell call in progress takes, however long that is.
class AppBarWorker {
public:
    // Starts no thread; the request is cleared.
    AppBarWorker();
    // Stops the worker and waits for it without a time limit: see above.
    ~AppBarWorker();
    AppBarWorker(const AppBarWorker&) = delete;
    AppBarWorker& operator=(const AppBarWorker&) = delete;

    // Zeroes the request fields.
    void ClearRequest();

    // Sends the message with app-bar data built from the request fields (cbSize set by the
    // worker), copies the data the shell left back into them, and returns the shell's answer
    // unchanged. Throws UnknownErrorException, with the LastError of the failed CreateEventW or
    // CreateThread, when the worker cannot be started; nothing is sent then, and a later Call
    // tries again.
    UINT_PTR Call(UINT message);

    // The request: APPBARDATA without its size field, in the same order. In and out.
    HWND hWnd;
    UINT uCallbackMessage;
    UINT uEdge;
    RECT rc;
    LPARAM lParam;

    // Owned by the object from the first Call to destruction; callers only read them. The handles
    // are null until the worker has started.
    HANDLE Thread;
    HANDLE RequestEvent; // auto-reset: a request is ready, or the worker must stop
    HANDLE DoneEvent;    // auto-reset: the request is finished
    UINT_PTR Result;     // the last Call's answer
    UINT Message;        // the last Call's message
    bool Running;        // true until the destructor runs

private:
    // The worker thread's routine; object is the worker.
    static DWORD WINAPI ThreadProc(LPVOID object);
};

// Runs ShellExecuteExW on a worker thread. The object is its own SHELLEXECUTEINFOW: fill it, call
// Call and read the shell's output fields (hInstApp, hProcess) from it. A process handle the shell
// returns belongs to the caller. Start, stop and the one-Call-at-a-time rule as for AppBarWorker.
// The worker thread lives in a single-threaded COM apartment of its own (OLE1 DDE disabled), as
// shell extensions that carry out verbs expect; the caller's own COM state is not touched. COM is
// found at run time (ole32.dll from the system folder): without it, or should it fail to start,
// the worker runs the shell without COM.
class ShellExecuteWorker : public SHELLEXECUTEINFOW {
public:
    // Starts no thread; the request is cleared.
    ShellExecuteWorker();
    // Waits for the worker without a time limit, as AppBarWorker's destructor does.
    ~ShellExecuteWorker();
    ShellExecuteWorker(const ShellExecuteWorker&) = delete;
    ShellExecuteWorker& operator=(const ShellExecuteWorker&) = delete;

    // Zeroes the request and presets its size field.
    void ClearRequest();

    // Runs ShellExecuteExW on this request with SEE_MASK_NOASYNC added to fMask for the call (the
    // worker thread has no message loop; fMask reads as the caller left it afterwards) and returns
    // what it returned. On FALSE the shell's error is in hInstApp (SE_ERR_...), not in the
    // caller's GetLastError. Throws UnknownErrorException, with the LastError of the failed
    // CreateEventW or CreateThread, when the worker cannot be started; nothing runs then, and a
    // later Call tries again.
    BOOL Call();

    // As in AppBarWorker.
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
#define VANTREL_SAME_OFFSET_IN_APPBARDATA(field)                                  \
    static_assert(offsetof(AppBarWorker, field) - offsetof(AppBarWorker, hWnd) == \
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
