// The hand-over both workers share. The handles stay fields of each worker, in the worker's own
// order, so these take them by reference. Internal to the module.
#pragma once

#include "platform/WindowsHeaders.h"

namespace Library4::Shell::detail::WorkerProtocol {

// Creates the two events and the thread, unless the thread already runs. A handle left from a
// start that threw is closed when its field receives a new one.
void Start(HANDLE& thread, HANDLE& requestEvent, HANDLE& doneEvent, LPTHREAD_START_ROUTINE routine, LPVOID object);

// Owner side: wakes the worker and waits until it has finished the request.
void HandOver(HANDLE requestEvent, HANDLE doneEvent);

// Worker side: waits for a request; false when the worker must end instead.
bool WaitForRequest(HANDLE requestEvent, const bool& running);

// Worker side: tells the owner that the request is finished.
void Finish(HANDLE doneEvent);

// Clears the running flag, wakes and joins the worker if there is one, then closes the thread,
// the request event and the done event, in that order.
void Stop(bool& running, HANDLE& thread, HANDLE& requestEvent, HANDLE& doneEvent);

// The thread's exit code.
constexpr DWORD kExitCode = 1;

} // namespace Library4::Shell::detail::WorkerProtocol
