// ShellExecuteWorker is its own SHELLEXECUTEINFOW: the shell reads and writes it in place.
#include "Library4/Shell/ShellWorkers.h"
#include "tests/Library4/workers/WorkerFakes.h"
#include "tests/support/HelperProcess.h"
#include "tests/support/KnownPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace workertest {
namespace {

using Library4::Shell::ShellExecuteWorker;
using Library4::Shell::UnknownErrorException;

constexpr int kHelperExitCode = 37;

// Started through the shell; its exit code shows that the handle the test holds is its own.
VANTREL_TEST_HELPER(ExitWithCode) { return args.empty() ? 1 : std::stoi(args[0]); }

SHELLEXECUTEINFOW& RequestOf(ShellExecuteWorker& worker) { return worker; }

bool IsClearedRequest(const SHELLEXECUTEINFOW& request)
{
    SHELLEXECUTEINFOW expected;
    std::memset(&expected, 0, sizeof(expected));
    expected.cbSize = sizeof(expected);
    return std::memcmp(&expected, &request, sizeof(expected)) == 0;
}

TEST(ShellExecuteWorker, RequestStartsClearedWithItsSizeAndLiesAtTheObjectsAddress)
{
    ShellExecuteWorker worker;
    EXPECT_TRUE(IsClearedRequest(worker));
    EXPECT_EQ(static_cast<void*>(&worker), static_cast<void*>(&RequestOf(worker)));

    std::memset(&RequestOf(worker), 0xCC, sizeof(SHELLEXECUTEINFOW));
    worker.ClearRequest();
    EXPECT_TRUE(IsClearedRequest(worker));
    EXPECT_EQ(nullptr, worker.Thread);
    EXPECT_TRUE(worker.Running);
}

// The shell gets the object itself, so what it writes is in the object when Call returns.
ULONG maskSeenByShell = 0;
BOOL WritesOutputFields(SHELLEXECUTEINFOW* info)
{
    maskSeenByShell = info->fMask;
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_NOASSOC));
    return FALSE;
}

TEST(ShellExecuteWorker, ShellWorksOnTheObjectInPlaceAndSynchronously)
{
    ApiRecorder recorder;
    recorder.SetShellExecuteShell(&WritesOutputFields);
    ShellExecuteWorker worker;
    constexpr ULONG kCallerMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    worker.fMask = kCallerMask;
    worker.lpFile = L"document.unknown-type";
    EXPECT_FALSE(worker.Call());
    EXPECT_EQ(SE_ERR_NOASSOC, reinterpret_cast<INT_PTR>(worker.hInstApp));
    EXPECT_FALSE(worker.Result);
    // The worker thread pumps no messages, so the shell is told to finish before returning.
    EXPECT_EQ(kCallerMask | SEE_MASK_NOASYNC, maskSeenByShell);
    EXPECT_EQ(kCallerMask, worker.fMask);
}

TEST(ShellExecuteWorker, StartsAProcessWhoseHandleOutlivesTheWorker)
{
    const std::wstring path = testsupport::OwnExecutablePath();
    const std::wstring parameters = L"--helper=ExitWithCode " + std::to_wstring(kHelperExitCode);
    HANDLE process = nullptr;
    {
        ApiRecorder recorder;
        {
            ShellExecuteWorker worker;
            worker.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
            worker.lpFile = path.c_str();
            worker.lpParameters = parameters.c_str();
            worker.nShow = SW_HIDE;
            EXPECT_TRUE(worker.Call());
            EXPECT_GT(reinterpret_cast<INT_PTR>(worker.hInstApp), 32);
            process = worker.hProcess;
            ASSERT_NE(nullptr, process);
        }
        for (HANDLE closed : recorder.Handles(Op::CloseHandle)) EXPECT_NE(process, closed);
        ASSERT_EQ(1u, recorder.Calls(Op::ShellExecute).size());
        EXPECT_EQ(recorder.CreatedThreadId(), recorder.Calls(Op::ShellExecute)[0].threadId);
    }
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process, 20000));
    DWORD exitCode = 0;
    EXPECT_TRUE(::GetExitCodeProcess(process, &exitCode));
    EXPECT_EQ(static_cast<DWORD>(kHelperExitCode), exitCode);
    EXPECT_TRUE(::CloseHandle(process));
}

TEST(ShellExecuteWorker, MissingFileGivesFalseWithoutThrowing)
{
    wchar_t folder[MAX_PATH] = {};
    ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, folder));
    const std::wstring missing =
        std::wstring(folder) + L"vantrel-missing-" + std::to_wstring(::GetCurrentProcessId()) + L".exe";
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(missing.c_str()));

    ShellExecuteWorker worker;
    worker.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    worker.lpFile = missing.c_str();
    worker.nShow = SW_HIDE;
    BOOL result = TRUE;
    EXPECT_NO_THROW(result = worker.Call());
    EXPECT_FALSE(result);
    EXPECT_EQ(nullptr, worker.hProcess);
    EXPECT_LE(reinterpret_cast<INT_PTR>(worker.hInstApp), 32);

    // The worker serves the next request after a refused one.
    worker.ClearRequest();
    worker.fMask = SEE_MASK_FLAG_NO_UI;
    worker.lpFile = missing.c_str();
    EXPECT_FALSE(worker.Call());
}

// Asks, from inside the shell call, which apartment the calling thread is in: a thread in a
// single-threaded apartment is refused a switch to the multithreaded one.
HRESULT apartmentProbe = E_UNEXPECTED;
BOOL ProbesApartment(SHELLEXECUTEINFOW*)
{
    apartmentProbe = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(apartmentProbe)) ::CoUninitialize();
    return TRUE;
}

TEST(ShellExecuteWorker, ShellRunsInASingleThreadedApartmentAndTheCallersThreadIsUntouched)
{
    ApiRecorder recorder;
    recorder.SetShellExecuteShell(&ProbesApartment);
    {
        ShellExecuteWorker worker;
        EXPECT_TRUE(worker.Call());
    }
    EXPECT_EQ(RPC_E_CHANGED_MODE, apartmentProbe);
    // The caller's thread joined no apartment: it may still choose the multithreaded one.
    const HRESULT own = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(S_OK, own);
    if (SUCCEEDED(own)) ::CoUninitialize();
}

// What the worker thread's COM set-up answers, and whether the worker must undo it.
struct ComSetUpCase {
    const char* name;
    HRESULT answer;
    int uninitialisations;
    bool canLeave = true; // CoUninitialize is there: without it the thread must not join at all
};

HRESULT comAnswer = S_OK;
std::vector<std::string> comEvents;
DWORD initThread = 0;
DWORD initFlags = 0;

HRESULT WINAPI FakeCoInitializeEx(LPVOID, DWORD flags)
{
    initThread = ::GetCurrentThreadId();
    initFlags = flags;
    comEvents.push_back("init");
    return comAnswer;
}

void WINAPI FakeCoUninitialize() { comEvents.push_back("uninit"); }

BOOL RecordsShellCall(SHELLEXECUTEINFOW*)
{
    comEvents.push_back("shell");
    return TRUE;
}

// E_NOTIMPL stands for a system without ole32: the worker finds no CoInitializeEx at all.
const ComSetUpCase kComSetUps[] = {
    {"Initialised", S_OK, 1},          {"AlreadyInitialised", S_FALSE, 1}, {"OtherApartment", RPC_E_CHANGED_MODE, 0},
    {"OutOfMemory", E_OUTOFMEMORY, 0}, {"NoOle32", E_NOTIMPL, 0},          {"NoCoUninitialize", S_OK, 0, false},
};

class ComSetUp : public ::testing::TestWithParam<ComSetUpCase> {};

TEST_P(ComSetUp, ComIsSetUpBeforeTheFirstShellCallAndUndoneOnlyWhenItSucceeded)
{
    comAnswer = GetParam().answer;
    comEvents.clear();
    ApiRecorder recorder;
    recorder.SetShellExecuteShell(&RecordsShellCall);
    vantrel::platform::ScopedApiOverride api;
    const bool noOle32 = GetParam().answer == E_NOTIMPL;
    if (noOle32)
        api->CoInitializeEx = nullptr;
    else
        api->CoInitializeEx = &FakeCoInitializeEx;
    api->CoUninitialize = GetParam().canLeave ? &FakeCoUninitialize : nullptr;
    {
        ShellExecuteWorker worker;
        EXPECT_TRUE(worker.Call());
        EXPECT_TRUE(worker.Call());
    }
    std::vector<std::string> expected = {"init", "shell", "shell"};
    if (noOle32 || !GetParam().canLeave) expected.erase(expected.begin());
    if (GetParam().uninitialisations == 1) expected.push_back("uninit");
    EXPECT_EQ(expected, comEvents);
    if (!noOle32 && GetParam().canLeave) {
        EXPECT_EQ(recorder.CreatedThreadId(), initThread);
        EXPECT_EQ(static_cast<DWORD>(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE), initFlags);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, ComSetUp, ::testing::ValuesIn(kComSetUps),
                         [](const ::testing::TestParamInfo<ComSetUpCase>& info) { return info.param.name; });

} // namespace
} // namespace workertest
