// Which platform operations ran, in what order, on which thread and with which handle: for one
// scope every entry of the platform table is replaced by a forwarder that records the call, then
// calls the table as it stood when the recorder began (fakes installed before it included).
// Thread-safe without taking a handle, and the caller's last-error value survives the bookkeeping.
#pragma once

#include "platform/Win32Api.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A lock that never takes a handle: the mutex of the threads library creates an event the first
// time two threads meet on it, which the leak tests would count as one of the code's own.
class SlimLock {
public:
    void lock() { ::AcquireSRWLockExclusive(&lock_); }
    void unlock() { ::ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

struct SeamCall {
    const char* name; // the table entry, or what a call that bypasses the table noted
    DWORD threadId;
    // The handle returned (RegOpenKeyExW: the key opened), else the first handle argument.
    HANDLE handle = nullptr;
    std::optional<std::wstring> text; // the first wide-string argument, when it is one
    // RegOpenKeyExW's access, LoadLibraryExW's flags, WaitForSingleObject's timeout.
    DWORD detail = 0;
};

// One recorder at a time; every thread that may call through it must be joined before it dies.
class SeamRecorder {
public:
    SeamRecorder();
    ~SeamRecorder();

    // For a call that bypasses the table, such as a run-time function a test replaced: its fake
    // notes itself, so that it appears in order with the rest. `name` must outlive the recorder.
    static void Note(const char* name);

    // Visits the calls so far; the visit must not call through the table.
    void ForEach(const std::function<void(const SeamCall&)>& visit) const;
    // The names of the calls so far, and forgets them.
    std::vector<std::string> TakeNames();
    // Forgets the calls so far: for a test of many rounds that checks each round on its own.
    void Forget();
    // Further replacements stacked over the recording forwarders.
    vantrel::platform::ScopedApiOverride& Override() { return api_; }

private:
    vantrel::platform::ScopedApiOverride api_;
};

} // namespace testsupport
