#include "Library4/Shell/ShellWorkers.h"

#include "Library4/Shell/detail/WorkerProtocol.h"
#include "platform/Win32Api.h"

namespace Library4::Shell {

using vantrel::platform::Api;
namespace WorkerProtocol = detail::WorkerProtocol;

AppBarWorker::AppBarWorker()
    : Thread(nullptr), RequestEvent(nullptr), DoneEvent(nullptr), Result(0), Message(0), Running(true)
{
    ClearRequest();
}

AppBarWorker::~AppBarWorker() { WorkerProtocol::Stop(Running, Thread, RequestEvent, DoneEvent); }

void AppBarWorker::ClearRequest()
{
    hWnd = nullptr;
    uCallbackMessage = 0;
    uEdge = 0;
    rc = RECT{0, 0, 0, 0};
    lParam = 0;
}

UINT_PTR AppBarWorker::Call(UINT message)
{
    WorkerProtocol::Start(Thread, RequestEvent, DoneEvent, &AppBarWorker::ThreadProc, this);
    Message = message;
    WorkerProtocol::HandOver(RequestEvent, DoneEvent);
    return Result;
}

DWORD WINAPI AppBarWorker::ThreadProc(LPVOID object)
{
    auto* self = static_cast<AppBarWorker*>(object);
    while (WorkerProtocol::WaitForRequest(self->RequestEvent, self->Running)) {
        // The shell gets a copy of its own shape on this thread's stack, never the object.
        APPBARDATA data{};
        data.cbSize = sizeof(data);
        data.hWnd = self->hWnd;
        data.uCallbackMessage = self->uCallbackMessage;
        data.uEdge = self->uEdge;
        data.rc = self->rc;
        data.lParam = self->lParam;

        // Nothing may unwind through the system's thread start, and the owner waits for DoneEvent
        // whatever happens: an exception counts as a zero answer.
        try {
            self->Result = Api().SHAppBarMessage(self->Message, &data);
        } catch (...) {
            self->Result = 0;
        }

        self->hWnd = data.hWnd;
        self->uCallbackMessage = data.uCallbackMessage;
        self->uEdge = data.uEdge;
        self->rc = data.rc;
        self->lParam = data.lParam;
        WorkerProtocol::Finish(self->DoneEvent);
    }
    return WorkerProtocol::kExitCode;
}

} // namespace Library4::Shell
