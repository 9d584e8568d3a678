#include "tests/Library4/workers/WorkerFakes.h"

#include "tests/support/ApiFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>

namespace workertest {
namespace {

using testsupport::SlimLock;

// The table entry of each Op, in the order of its values.
constexpr const char* kOpNames[] = {"CreateEventW", "CreateThread",    "SetEvent",       "WaitForSingleObject",
                                    "CloseHandle",  "SHAppBarMessage", "ShellExecuteExW"};

// The fakes run on the owner's and on the worker's thread.
SlimLock stateMutex;
struct {
    int calls[std::size(kOpNames)] = {};
    Op failingOp = Op::CreateEvent;
    int failingNth = 0;
    DWORD failingError = 0;
    DWORD createdThreadId = 0;
    HANDLE createdThread = nullptr;
    DWORD exitCodeAtClose = 0xFFFFFFFF;
    AppBarShell appBarShell = nullptr;
    ShellExecuteShell shellExecuteShell = nullptr;
} fakes;

// True (with the last-error value set) when this call is the one chosen to fail.
bool ShouldFail(Op op)
{
    std::lock_guard<SlimLock> lock(stateMutex);
    const int nth = ++fakes.calls[static_cast<int>(op)];
    if (fakes.failingNth == 0 || fakes.failingOp != op || nth != fakes.failingNth) return false;
    fakes.failingNth = 0;
    ::SetLastError(fakes.failingError);
    return true;
}

HANDLE WINAPI FakeCreateEventW(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCWSTR name)
{
    // The workers rely on unnamed, unsignalled auto-reset events with default security.
    EXPECT_EQ(nullptr, attributes);
    EXPECT_FALSE(manualReset);
    EXPECT_FALSE(initialState);
    EXPECT_EQ(nullptr, name);
    if (ShouldFail(Op::CreateEvent)) return nullptr;
    return testsupport::SystemApi().CreateEventW(attributes, manualReset, initialState, name);
}

HANDLE WINAPI FakeCreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE routine,
                               LPVOID parameter, DWORD flags, LPDWORD threadId)
{
    EXPECT_EQ(nullptr, attributes);
    EXPECT_EQ(0u, stackSize);
    EXPECT_EQ(0u, flags);
    if (ShouldFail(Op::CreateThread)) return nullptr;
    DWORD id = 0;
    HANDLE thread = testsupport::SystemApi().CreateThread(attributes, stackSize, routine, parameter, flags, &id);
    if (threadId != nullptr) *threadId = id;
    std::lock_guard<SlimLock> lock(stateMutex);
    fakes.createdThreadId = id;
    fakes.createdThread = thread;
    return thread;
}

BOOL WINAPI FakeCloseHandle(HANDLE object)
{
    std::unique_lock<SlimLock> lock(stateMutex);
    DWORD code = 0xFFFFFFFF;
    if (object != nullptr && object == fakes.createdThread && ::GetExitCodeThread(object, &code))
        fakes.exitCodeAtClose = code;
    lock.unlock();
    return testsupport::SystemApi().CloseHandle(object);
}

UINT_PTR WINAPI FakeSHAppBarMessage(DWORD message, PAPPBARDATA data)
{
    if (fakes.appBarShell != nullptr) return fakes.appBarShell(message, data);
    return testsupport::SystemApi().SHAppBarMessage(message, data);
}

BOOL WINAPI FakeShellExecuteExW(SHELLEXECUTEINFOW* info)
{
    if (fakes.shellExecuteShell != nullptr) return fakes.shellExecuteShell(info);
    return testsupport::SystemApi().ShellExecuteExW(info);
}

} // namespace

FakeLayer::FakeLayer()
{
    fakes = {};
    api->CreateEventW = &FakeCreateEventW;
    api->CreateThread = &FakeCreateThread;
    api->CloseHandle = &FakeCloseHandle;
    api->SHAppBarMessage = &FakeSHAppBarMessage;
    api->ShellExecuteExW = &FakeShellExecuteExW;
}

ApiRecorder::~ApiRecorder()
{
    ForEach([](const testsupport::SeamCall& call) {
        const bool finite = std::strcmp(call.name, Name(Op::Wait)) == 0 && call.detail != INFINITE;
        EXPECT_FALSE(finite) << "every wait of the workers is INFINITE";
    });
}

std::vector<ApiCall> ApiRecorder::Calls() const
{
    std::vector<ApiCall> calls;
    ForEach([&calls](const testsupport::SeamCall& call) {
        for (int i = 0; i < static_cast<int>(std::size(kOpNames)); ++i) {
            const Op op = static_cast<Op>(i);
            const bool madeNothing = (op == Op::CreateEvent || op == Op::CreateThread) && call.handle == nullptr;
            if (!madeNothing && std::strcmp(call.name, kOpNames[i]) == 0)
                calls.push_back({op, call.handle, call.threadId});
        }
    });
    return calls;
}

std::vector<ApiCall> ApiRecorder::Calls(Op op) const
{
    std::vector<ApiCall> selected;
    for (const ApiCall& call : Calls())
        if (call.op == op) selected.push_back(call);
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
    fakes.failingOp = op;
    fakes.failingNth = nth;
    fakes.failingError = error;
}

void ApiRecorder::SetAppBarShell(AppBarShell shell) { fakes.appBarShell = shell; }
void ApiRecorder::SetShellExecuteShell(ShellExecuteShell shell) { fakes.shellExecuteShell = shell; }

DWORD ApiRecorder::CreatedThreadId() const
{
    std::lock_guard<SlimLock> lock(stateMutex);
    return fakes.createdThreadId;
}

DWORD ApiRecorder::ThreadExitCodeAtClose() const
{
    std::lock_guard<SlimLock> lock(stateMutex);
    return fakes.exitCodeAtClose;
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

const char* Name(Op op) { return kOpNames[static_cast<int>(op)]; }

} // namespace workertest
