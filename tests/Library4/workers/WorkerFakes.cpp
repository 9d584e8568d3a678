#include "tests/Library4/workers/WorkerFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>

namespace workertest {
namespace {

using testsupport::SlimLock;

// The fakes run on the owner's and on the worker's thread.
SlimLock stateMutex;
const platform::Win32Api* original = nullptr;
int createEventCount = 0;
int createThreadCount = 0;
Op failingOp = Op::CreateEvent;
int failingNth = 0;
DWORD failingError = 0;
DWORD createdThreadId = 0;
HANDLE createdThread = nullptr;
DWORD exitCodeAtClose = 0xFFFFFFFF;
AppBarShell appBarShell = nullptr;
ShellExecuteShell shellExecuteShell = nullptr;

// True (with the last-error value set) when this call is the one chosen to fail.
bool ShouldFail(Op op, int& counter)
{
    std::lock_guard<SlimLock> lock(stateMutex);
    ++counter;
    if (failingNth == 0 || failingOp != op || counter != failingNth) return false;
    failingNth = 0;
    ::SetLastError(failingError);
    return true;
}

HANDLE WINAPI FakeCreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState,
                               LPCWSTR name)
{
    // The workers rely on unnamed, unsignalled auto-reset events with default security.
    EXPECT_EQ(nullptr, attributes);
    EXPECT_FALSE(manualReset);
    EXPECT_FALSE(initialState);
    EXPECT_EQ(nullptr, name);
    if (ShouldFail(Op::CreateEvent, createEventCount)) return nullptr;
    return original->CreateEventW(attributes, manualReset, initialState, name);
}

HANDLE WINAPI FakeCreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE routine,
                               LPVOID parameter, DWORD flags, LPDWORD threadId)
{
    EXPECT_EQ(nullptr, attributes);
    EXPECT_EQ(0u, stackSize);
    EXPECT_EQ(0u, flags);
    if (ShouldFail(Op::CreateThread, createThreadCount)) return nullptr;
    DWORD id = 0;
    HANDLE thread = original->CreateThread(attributes, stackSize, routine, parameter, flags, &id);
    if (threadId != nullptr) *threadId = id;
    std::lock_guard<SlimLock> lock(stateMutex);
    createdThreadId = id;
    createdThread = thread;
    return thread;
}

BOOL WINAPI FakeCloseHandle(HANDLE object)
{
    {
        std::lock_guard<SlimLock> lock(stateMutex);
        if (object != nullptr && object == createdThread) {
            DWORD code = 0xFFFFFFFF;
            if (::GetExitCodeThread(object, &code)) exitCodeAtClose = code;
        }
    }
    return original->CloseHandle(object);
}

UINT_PTR WINAPI FakeSHAppBarMessage(DWORD message, PAPPBARDATA data)
{
    return appBarShell != nullptr ? appBarShell(message, data) : original->SHAppBarMessage(message, data);
}

BOOL WINAPI FakeShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    return shellExecuteShell != nullptr ? shellExecuteShell(info) : original->ShellExecuteExW(info);
}

} // namespace

bool ApiRecorder::InstallFakes(platform::ScopedApiOverride& api)
{
    original = &api.Original();
    createEventCount = 0;
    createThreadCount = 0;
    failingNth = 0;
    createdThreadId = 0;
    createdThread = nullptr;
    exitCodeAtClose = 0xFFFFFFFF;
    appBarShell = nullptr;
    shellExecuteShell = nullptr;
    api->CreateEventW = &FakeCreateEventW;
    api->CreateThread = &FakeCreateThread;
    api->CloseHandle = &FakeCloseHandle;
    api->SHAppBarMessage = &FakeSHAppBarMessage;
    api->ShellExecuteExW = &FakeShellExecuteExW;
    return true;
}

ApiRecorder::~ApiRecorder()
{
    for (const testsupport::SeamCall& call : seams_.Calls()) {
        const bool finite = std::strcmp(call.name, Name(Op::Wait)) == 0 && call.detail != INFINITE;
        EXPECT_FALSE(finite) << "every wait of the workers is INFINITE";
    }
}

std::vector<ApiCall> ApiRecorder::Calls() const
{
    std::vector<ApiCall> calls;
    for (const testsupport::SeamCall& call : seams_.Calls()) {
        for (Op op : {Op::CreateEvent, Op::CreateThread, Op::SetEvent, Op::Wait, Op::CloseHandle, Op::AppBarMessage,
                      Op::ShellExecute}) {
            const bool madeNothing = (op == Op::CreateEvent || op == Op::CreateThread) && call.handle == nullptr;
            if (std::strcmp(call.name, Name(op)) == 0 && !madeNothing)
                calls.push_back({op, call.handle, call.threadId});
        }
    }
    return calls;
}

std::vector<ApiCall> ApiRecorder::Calls(Op op) const
{
    std::vector<ApiCall> selected;
    for (const ApiCall& call : Calls()) {
        if (call.op == op) selected.push_back(call);
    }
    return selected;
}

std::vector<HANDLE> ApiRecorder::Handles(Op op) const
{
    std::vector<HANDLE> handles;
    for (const ApiCall& call : Calls(op)) handles.push_back(call.handle);
    return handles;
}

void ApiRecorder::Fail(Op op, int nth, DWORD error)
{
    std::lock_guard<SlimLock> lock(stateMutex);
    failingOp = op;
    failingNth = nth;
    failingError = error;
}

void ApiRecorder::SetAppBarShell(AppBarShell shell) { appBarShell = shell; }

void ApiRecorder::SetShellExecuteShell(ShellExecuteShell shell) { shellExecuteShell = shell; }

DWORD ApiRecorder::CreatedThreadId() const
{
    std::lock_guard<SlimLock> lock(stateMutex);
    return createdThreadId;
}

DWORD ApiRecorder::ThreadExitCodeAtClose() const
{
    std::lock_guard<SlimLock> lock(stateMutex);
    return exitCodeAtClose;
}

std::string SourceLine(const char* file, int line)
{
    if (file == nullptr || line <= 0) return {};
    std::string path = std::string(VANTREL_SOURCE_ROOT) + file;
    std::replace(path.begin(), path.end(), '\\', '/');

    std::ifstream source(path);
    std::string text;
    for (int number = 1; std::getline(source, text); ++number) {
        if (number == line) return text;
    }
    return {};
}

const char* Name(Op op)
{
    switch (op) {
    case Op::CreateEvent: return "CreateEventW";
    case Op::CreateThread: return "CreateThread";
    case Op::SetEvent: return "SetEvent";
    case Op::Wait: return "WaitForSingleObject";
    case Op::CloseHandle: return "CloseHandle";
    case Op::AppBarMessage: return "SHAppBarMessage";
    case Op::ShellExecute: return "ShellExecuteExW";
    }
    return "?";
}

} // namespace workertest
