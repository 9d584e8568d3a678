// Records what the workers ask of the platform, on which thread, and can make a start fail.
#pragma once

#include "tests/support/SeamRecorder.h"

#include <string>
#include <vector>

namespace workertest {

enum class Op { CreateEvent, CreateThread, SetEvent, Wait, CloseHandle, AppBarMessage, ShellExecute };

struct ApiCall {
    Op op;
    HANDLE handle;  // created, set, waited on or closed; null for the shell calls
    DWORD threadId; // the calling thread
};

// The shell's side of a call, for tests that need an answer of their own choosing.
using AppBarShell = UINT_PTR (*)(DWORD message, APPBARDATA* data);
using ShellExecuteShell = BOOL (*)(SHELLEXECUTEINFOW* info);

// The fakes that check the arguments, fail a chosen creation and stand in for the shell (the real
// system unless one is chosen): beneath the recorder, so that it also sees the shell stand-ins.
struct FakeLayer {
    FakeLayer();
    vantrel::platform::ScopedApiOverride api;
};

// The workers' calls of CreateEventW, CreateThread, SetEvent, WaitForSingleObject, CloseHandle,
// SHAppBarMessage and ShellExecuteExW, read from the shared seam recorder, over the fakes. One
// recorder at a time; every worker that used the fakes must be destroyed before the recorder.
class ApiRecorder : private FakeLayer, private testsupport::SeamRecorder {
public:
    ~ApiRecorder();

    // Creations made to fail are left out: they made nothing.
    std::vector<ApiCall> Calls() const;
    std::vector<ApiCall> Calls(Op op) const;
    std::vector<HANDLE> Handles(Op op) const;

    // Makes the nth call (from 1, counted from this recorder's start) of CreateEventW or
    // CreateThread fail with this last-error value, once.
    void Fail(Op op, int nth, DWORD error);

    void SetAppBarShell(AppBarShell shell);
    void SetShellExecuteShell(ShellExecuteShell shell);

    // The id CreateThread reported for the last thread it created.
    DWORD CreatedThreadId() const;
    // The exit code of the last created thread when its handle was closed (STILL_ACTIVE if it
    // still ran; 0xFFFFFFFF before the close).
    DWORD ThreadExitCodeAtClose() const;
};

// One of the three creations of a worker's start made to fail, and what the worker holds after it.
struct StartFailure {
    const char* failingCall;
    Op op;
    int nth;
    DWORD error;
    bool keepsRequestEvent;
    bool keepsDoneEvent;
};

// A distinct last-error value for each failure, so a value read from the wrong call shows.
inline const StartFailure kStartFailures[] = {
    {"first CreateEventW", Op::CreateEvent, 1, ERROR_NO_SYSTEM_RESOURCES, false, false},
    {"second CreateEventW", Op::CreateEvent, 2, ERROR_NOT_ENOUGH_MEMORY, true, false},
    {"CreateThread", Op::CreateThread, 1, ERROR_MAX_THRDS_REACHED, true, true},
};

// The text of the line at `line` of `file`, a path relative to the repository root with
// backslash separators; empty when there is no such line.
std::string SourceLine(const char* file, int line);

const char* Name(Op op);

} // namespace workertest
