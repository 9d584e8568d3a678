#include "Library4/Shell/ShellWorkers.h"

#include "platform/Win32Api.h"

#include <cstring>

namespace Library4::Shell {

using platform::Api;

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
    while (WorkerProtocol::WaitForRequest(self->RequestEvent, self->Running)) {
        // In place: the shell writes hInstApp and hProcess straight into the caller's request.
        // Nothing may unwind through the system's thread start, and the owner waits for DoneEvent
        // whatever happens: an exception counts as a failed call.
        try {
            self->Result = Api().ShellExecuteExW(self);
        } catch (...) {
            self->Result = FALSE;
        }
        WorkerProtocol::Finish(self->DoneEvent);
    }
    return WorkerProtocol::kExitCode;
}

} // namespace Library4::Shell
