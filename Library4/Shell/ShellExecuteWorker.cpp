#include "Library4/Shell/ShellWorkers.h"

#include "Library4/Shell/detail/WorkerProtocol.h"
#include "platform/ComApartment.h"
#include "platform/Win32Api.h"

#include <cstring>

namespace Library4::Shell {

using vantrel::platform::Api;
namespace WorkerProtocol = detail::WorkerProtocol;

ShellExecuteWorker::ShellExecuteWorker()
    : SHELLEXECUTEINFOW(), Thread(nullptr), RequestEvent(nullptr), DoneEvent(nullptr), Result(FALSE), Running(true)
{
    ClearRequest();
}

ShellExecuteWorker::~ShellExecuteWorker() { WorkerProtocol::Stop(Running, Thread, RequestEvent, DoneEvent); }

void ShellExecuteWorker::ClearRequest()
{
    SHELLEXECUTEINFOW& request = *this;
    std::memset(&request, 0, sizeof(request));
    request.cbSize = sizeof(request);
}

BOOL ShellExecuteWorker::Call()
{
    WorkerProtocol::Start(Thread, RequestEvent, DoneEvent, &ShellExecuteWorker::ThreadProc, this);
    WorkerProtocol::HandOver(RequestEvent, DoneEvent);
    return Result;
}

DWORD WINAPI ShellExecuteWorker::ThreadProc(LPVOID object)
{
    auto* self = static_cast<ShellExecuteWorker*>(object);
    // Some verbs are carried out by shell extensions that need COM on the calling thread, in a
    // single-threaded apartment; OLE1 DDE is left out as the shell asks. The thread is the
    // module's own, so the caller's apartment is untouched. Without COM the shell may still
    // manage the request, so a failed initialisation, or no ole32 at all, does not stop the
    // worker. ole32 is found at run time: a program that never starts this worker never loads it.
    const vantrel::platform::ComApartment apartment;
    while (WorkerProtocol::WaitForRequest(self->RequestEvent, self->Running)) {
        // This thread runs no message loop, so the shell must finish the request before it
        // returns rather than hand it to a thread of its own; the caller's mask is put back so
        // the request still reads as the caller wrote it.
        const ULONG callerMask = self->fMask;
        self->fMask = callerMask | SEE_MASK_NOASYNC;
        // In place: the shell writes hInstApp and hProcess straight into the caller's request.
        // Nothing may unwind through the system's thread start, and the owner waits for DoneEvent
        // whatever happens: an exception counts as a failed call.
        try {
            self->Result = Api().ShellExecuteExW(self);
        } catch (...) {
            self->Result = FALSE;
        }
        self->fMask = callerMask;
        WorkerProtocol::Finish(self->DoneEvent);
    }
    return WorkerProtocol::kExitCode;
}

} // namespace Library4::Shell
