#include "Library4/Shell/detail/WorkerProtocol.h"

#include "Library4/Shell/detail/ThrowLastError.h"
#include "platform/Win32Api.h"

namespace Library4::Shell::detail::WorkerProtocol {

using vantrel::platform::Api;

namespace {

HANDLE CreateAutoResetEvent() { return Api().CreateEventW(nullptr, FALSE, FALSE, nullptr); }

// A start that threw may have left a handle in the field; it is closed only once its successor
// exists, so the field never holds a closed handle.
void Replace(HANDLE& field, HANDLE created)
{
    if (field != nullptr) Api().CloseHandle(field);
    field = created;
}

} // namespace

void Start(HANDLE& thread, HANDLE& requestEvent, HANDLE& doneEvent, LPTHREAD_START_ROUTINE routine, LPVOID object)
{
    if (thread != nullptr) return;

    Replace(requestEvent, LIBRARY4_THROW_LAST_ERROR_IF_NULL(CreateAutoResetEvent()));
    Replace(doneEvent, LIBRARY4_THROW_LAST_ERROR_IF_NULL(CreateAutoResetEvent()));
    DWORD threadId = 0;
    thread = LIBRARY4_THROW_LAST_ERROR_IF_NULL(Api().CreateThread(nullptr, 0, routine, object, 0, &threadId));
}

void HandOver(HANDLE requestEvent, HANDLE doneEvent)
{
    Api().SetEvent(requestEvent);
    Api().WaitForSingleObject(doneEvent, INFINITE);
}

bool WaitForRequest(HANDLE requestEvent, const bool& running)
{
    Api().WaitForSingleObject(requestEvent, INFINITE);
    // Written by the destructor before it set the event, so the wait orders the read after it.
    return running;
}

void Finish(HANDLE doneEvent) { Api().SetEvent(doneEvent); }

void Stop(bool& running, HANDLE& thread, HANDLE& requestEvent, HANDLE& doneEvent)
{
    running = false;
    if (thread != nullptr) {
        Api().SetEvent(requestEvent);
        Api().WaitForSingleObject(thread, INFINITE);
        Api().CloseHandle(thread);
        thread = nullptr;
    }
    if (requestEvent != nullptr) {
        Api().CloseHandle(requestEvent);
        requestEvent = nullptr;
    }
    if (doneEvent != nullptr) {
        Api().CloseHandle(doneEvent);
        doneEvent = nullptr;
    }
}

} // namespace Library4::Shell::detail::WorkerProtocol
