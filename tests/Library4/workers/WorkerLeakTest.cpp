// Each worker, built, started, called and destroyed a thousand times, and each way its start can
// fail, leaves no thread running and no event or thread handle open: one left per run would add
// up to a thousand.
#include "Library4/Shell/detail/WorkerProtocol.h"
#include "tests/Library4/workers/WorkerKinds.h"
#include "tests/support/ResourceCount.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace workertest {
namespace {

using Library4::Shell::AppBarWorker;
using Library4::Shell::ShellExecuteWorker;
using Library4::Shell::UnknownErrorException;
namespace WorkerProtocol = Library4::Shell::detail::WorkerProtocol;

constexpr int kIterations = 1000;

// Threads of this process that exist now. A closed handle says nothing about whether its thread
// still runs, so the handle count alone would miss a worker that is never joined.
DWORD ThreadsOfThisProcess()
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    EXPECT_NE(INVALID_HANDLE_VALUE, snapshot);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
    }
    ::CloseHandle(snapshot);
    return count;
}

// Runs the operation once to let one-time work happen, then `iterations` times more: the threads
// of the process and its handle, GDI and USER counts must be where they were after the first run.
void ExpectNothingLeftBehind(const std::function<void()>& operation, int iterations)
{
    operation();
    const DWORD threadsBefore = ThreadsOfThisProcess();
    testsupport::ExpectNoResourceLeak(operation, iterations);
    const DWORD threadsAfter = ThreadsOfThisProcess();
    EXPECT_EQ(threadsBefore, threadsAfter)
        << "threads before: " << threadsBefore << ", after " << iterations << " more runs: " << threadsAfter;
}

// What one run left behind, from the recorder's log: empty when the run made the expected number
// of threads, closed every event and thread handle it made exactly once, and each thread had
// ended, with the workers' exit code, before its handle was closed.
std::string Leftovers(const ApiRecorder& recorder, std::size_t expectedThreads)
{
    const std::vector<HANDLE> threads = recorder.Handles(Op::CreateThread);
    if (threads.size() != expectedThreads) {
        return std::to_string(threads.size()) + " thread(s) made, " + std::to_string(expectedThreads) + " expected";
    }
    std::vector<HANDLE> made = recorder.Handles(Op::CreateEvent);
    made.insert(made.end(), threads.begin(), threads.end());
    std::vector<HANDLE> closed = recorder.Handles(Op::CloseHandle);
    std::sort(made.begin(), made.end());
    std::sort(closed.begin(), closed.end());
    if (made != closed) {
        return std::to_string(made.size()) + " handle(s) made, " + std::to_string(closed.size()) +
               " closed, not the same ones";
    }
    if (!threads.empty() && recorder.ThreadExitCodeAtClose() != WorkerProtocol::kExitCode) {
        return "the thread's exit code at the close of its handle was " +
               std::to_string(recorder.ThreadExitCodeAtClose());
    }
    return {};
}

// A file that does not exist, for the real shell to refuse.
std::wstring missingFile;

void ChooseMissingFile()
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, folder));
    missingFile = std::wstring(folder) + L"vantrel-leak-missing-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(missingFile.c_str()));
}

// A real taskbar-position query answers on the worker as it does on the caller's thread. Whether
// the shell has a taskbar to report depends on the desktop of the moment, so the caller's answer
// is taken afresh each time.
bool AnswersAsTheRealShell(AppBarWorker& worker)
{
    constexpr RECT kSentinel{11, 22, 33, 44};
    APPBARDATA direct{};
    direct.cbSize = sizeof(direct);
    direct.rc = kSentinel;
    const UINT_PTR directAnswer = ::SHAppBarMessage(ABM_GETTASKBARPOS, &direct);
    worker.rc = kSentinel;
    return worker.Call(ABM_GETTASKBARPOS) == directAnswer && ::EqualRect(&worker.rc, &direct.rc);
}

// The real shell refuses a file that does not exist, without asking the user.
bool AnswersAsTheRealShell(ShellExecuteWorker& worker)
{
    worker.fMask = SEE_MASK_FLAG_NO_UI;
    worker.lpFile = missingFile.c_str();
    worker.nShow = SW_HIDE;
    return !worker.Call() && worker.hProcess == nullptr;
}

template <class Kind>
std::string ConstructAndDestroyUnused()
{
    ApiRecorder recorder;
    {
        typename Kind::Worker worker;
    }
    return recorder.Calls().empty() ? std::string() : "an unused worker called the system";
}

template <class Kind>
std::string CallTheRealShell()
{
    ApiRecorder recorder;
    bool answered = false;
    {
        typename Kind::Worker worker;
        answered = AnswersAsTheRealShell(worker);
    }
    return answered ? Leftovers(recorder, 1) : "the worker's answer differs from the shell's";
}

template <class Kind>
std::string CallTheFixedShellTwice()
{
    ApiRecorder recorder;
    Kind::UseFixedShell(recorder);
    bool answered = false;
    {
        typename Kind::Worker worker;
        answered = Kind::Call(worker) == Kind::kAnswer && Kind::Call(worker) == Kind::kAnswer;
    }
    return answered ? Leftovers(recorder, 1) : "the fixed shell's answer did not come back";
}

template <class Kind>
std::string FailTheStart(const StartFailure& failure, bool retry)
{
    ApiRecorder recorder;
    Kind::UseFixedShell(recorder);
    recorder.Fail(failure.op, failure.nth, failure.error);
    std::string fault;
    {
        typename Kind::Worker worker;
        try {
            Kind::Call(worker);
            fault = "the start did not throw";
        } catch (const UnknownErrorException& thrown) {
            if (thrown.LastError != failure.error) fault = "the exception carries another last-error value";
        }
        if (fault.empty() && retry && Kind::Call(worker) != Kind::kAnswer) fault = "the retry did not answer";
    }
    return fault.empty() ? Leftovers(recorder, retry ? 1 : 0) : fault;
}

template <class Kind, int failure, bool retry>
std::string FailTheStartAt()
{
    return FailTheStart<Kind>(kStartFailures[failure], retry);
}

struct WorkerLeakCase {
    const char* name;
    std::string (*run)(); // what the run left behind or got wrong; empty when nothing
};

void PrintTo(const WorkerLeakCase& c, std::ostream* os) { *os << c.name; }

// Each worker, with each failure of its start: 0 the first event, 1 the second, 2 the thread.
// A run that starts a thread takes some ten milliseconds under Wine, so each row is a test case
// of its own to stay well inside the time a case may take.
const WorkerLeakCase kWorkerLeakCases[] = {
    {"AppBarWorker_Unused", &ConstructAndDestroyUnused<AppBarKind>},
    {"AppBarWorker_RealShell", &CallTheRealShell<AppBarKind>},
    {"AppBarWorker_FixedShellTwice", &CallTheFixedShellTwice<AppBarKind>},
    {"AppBarWorker_FirstEventFails", &FailTheStartAt<AppBarKind, 0, false>},
    {"AppBarWorker_SecondEventFails", &FailTheStartAt<AppBarKind, 1, false>},
    {"AppBarWorker_ThreadFails", &FailTheStartAt<AppBarKind, 2, false>},
    {"AppBarWorker_FirstEventFailsThenRetried", &FailTheStartAt<AppBarKind, 0, true>},
    {"AppBarWorker_SecondEventFailsThenRetried", &FailTheStartAt<AppBarKind, 1, true>},
    {"AppBarWorker_ThreadFailsThenRetried", &FailTheStartAt<AppBarKind, 2, true>},
    {"ShellExecuteWorker_Unused", &ConstructAndDestroyUnused<ShellExecuteKind>},
    {"ShellExecuteWorker_RealShell", &CallTheRealShell<ShellExecuteKind>},
    {"ShellExecuteWorker_FixedShellTwice", &CallTheFixedShellTwice<ShellExecuteKind>},
    {"ShellExecuteWorker_FirstEventFails", &FailTheStartAt<ShellExecuteKind, 0, false>},
    {"ShellExecuteWorker_SecondEventFails", &FailTheStartAt<ShellExecuteKind, 1, false>},
    {"ShellExecuteWorker_ThreadFails", &FailTheStartAt<ShellExecuteKind, 2, false>},
    {"ShellExecuteWorker_FirstEventFailsThenRetried", &FailTheStartAt<ShellExecuteKind, 0, true>},
    {"ShellExecuteWorker_SecondEventFailsThenRetried", &FailTheStartAt<ShellExecuteKind, 1, true>},
    {"ShellExecuteWorker_ThreadFailsThenRetried", &FailTheStartAt<ShellExecuteKind, 2, true>},
};

class WorkerLeak : public ::testing::TestWithParam<WorkerLeakCase> {};

TEST_P(WorkerLeak, EveryRunEndsItsThreadAndClosesItsHandles)
{
    const WorkerLeakCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(ChooseMissingFile());
    // The first run must take the intended path, or the loop would count the wrong thing.
    ASSERT_EQ("", c.run());
    int faultyRuns = 0;
    std::string firstFault;
    ExpectNothingLeftBehind(
        [&] {
            const std::string fault = c.run();
            if (!fault.empty() && faultyRuns++ == 0) firstFault = fault;
        },
        kIterations);
    EXPECT_EQ(0, faultyRuns) << "first fault: " << firstFault;
}

INSTANTIATE_TEST_SUITE_P(Runs, WorkerLeak, ::testing::ValuesIn(kWorkerLeakCases),
                         [](const ::testing::TestParamInfo<WorkerLeakCase>& info) { return info.param.name; });

// --- The checks themselves ----------------------------------------------------------------------

std::vector<HANDLE> handlesKeptOpen;

// Stands for a worker that forgets to close its handles: the close is skipped, the handle noted.
BOOL WINAPI ForgetfulCloseHandle(HANDLE handle)
{
    handlesKeptOpen.push_back(handle);
    return TRUE;
}

void CallAnAppBarWorker()
{
    AppBarWorker worker;
    worker.Call(ABM_GETSTATE);
}

TEST(WorkerLeakCheck, FailsWhenHandlesAreKeptOpen)
{
    testsupport::ExpectLeakReported([](auto& api) { api->CloseHandle = &ForgetfulCloseHandle; },
                                    [] { ExpectNothingLeftBehind(&CallAnAppBarWorker, 10); }, "10 more runs");
    // Two events and a thread for each of the 12 runs.
    EXPECT_EQ(36u, handlesKeptOpen.size());
    for (HANDLE handle : handlesKeptOpen) ::CloseHandle(handle);
    handlesKeptOpen.clear();
}

HANDLE releaseParkedThreads = nullptr;
std::vector<DWORD> parkedThreads;

DWORD WINAPI ParkedThread(LPVOID)
{
    ::WaitForSingleObject(releaseParkedThreads, INFINITE);
    return 0;
}

// Stands for a worker whose destructor closes the thread's handle without ending the thread.
void StartThreadAndLetItRun()
{
    DWORD id = 0;
    const HANDLE thread = ::CreateThread(nullptr, 0, &ParkedThread, nullptr, 0, &id);
    if (thread == nullptr) return;
    parkedThreads.push_back(id);
    ::CloseHandle(thread);
}

TEST(WorkerLeakCheck, FailsWhenThreadsAreLeftRunning)
{
    releaseParkedThreads = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, releaseParkedThreads);

    EXPECT_NONFATAL_FAILURE(ExpectNothingLeftBehind(&StartThreadAndLetItRun, 10), "threads before");

    ::SetEvent(releaseParkedThreads);
    for (DWORD id : parkedThreads) {
        const HANDLE thread = ::OpenThread(SYNCHRONIZE, FALSE, id);
        if (thread == nullptr) continue; // already gone
        EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread, 10000));
        ::CloseHandle(thread);
    }
    EXPECT_EQ(12u, parkedThreads.size());
    parkedThreads.clear();
    ::CloseHandle(releaseParkedThreads);
}

} // namespace
} // namespace workertest
