#include "tests/support/HelperProcess.h"

#include "tests/support/KnownPaths.h"

#include <gtest/gtest.h>

#include <map>

namespace testsupport {
namespace {

std::map<std::string, HelperMain>& Helpers()
{
    static std::map<std::string, HelperMain> helpers;
    return helpers;
}

constexpr wchar_t kReadyEventVariable[] = L"VANTREL_HELPER_READY_EVENT";
constexpr DWORD kReadyTimeoutMs = 20000;

// Every helper joins this job; the handle closes with the test process however that ends, killed
// for overrunning its time included, and takes the helpers and their windows with it.
HANDLE HelperJob()
{
    static const HANDLE job = [] {
        HANDLE created = ::CreateJobObjectW(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (created != nullptr)
            ::SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
        return created;
    }();
    return job;
}

} // namespace

bool RegisterHelper(const char* name, HelperMain main)
{
    Helpers()[name] = main;
    return true;
}

int RunHelperIfAsked()
{
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argv == nullptr) return -1;
    int result = -1;
    const std::wstring prefix = L"--helper=";
    if (argc >= 2 && std::wstring(argv[1]).compare(0, prefix.size(), prefix) == 0) {
        const std::wstring wide = std::wstring(argv[1]).substr(prefix.size());
        const std::string name(wide.begin(), wide.end());
        const auto found = Helpers().find(name);
        if (found == Helpers().end()) {
            result = 99;
        } else {
            std::vector<std::wstring> args(argv + 2, argv + argc);
            result = found->second(args);
        }
    }
    ::LocalFree(argv);
    return result;
}

void SignalReady()
{
    wchar_t name[128] = {};
    if (::GetEnvironmentVariableW(kReadyEventVariable, name, 128) == 0) return;
    HANDLE ready = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name);
    if (ready != nullptr) {
        ::SetEvent(ready);
        ::CloseHandle(ready);
    }
}

int SignalReadyAndServe()
{
    SignalReady();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

HelperProcess::HelperProcess(const std::string& name, const std::vector<std::wstring>& args)
{
    static int counter = 0;
    const std::wstring eventName =
        L"VantrelHelperReady-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    ::SetEnvironmentVariableW(kReadyEventVariable, eventName.c_str());

    std::wstring commandLine = L"\"" + OwnExecutablePath() + L"\" --helper=" + std::wstring(name.begin(), name.end());
    for (const auto& arg : args) commandLine += L" \"" + arg + L"\"";

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr,
                         &startup, &info)) {
        EXPECT_TRUE(::AssignProcessToJobObject(HelperJob(), info.hProcess)) << ::GetLastError();
        ::ResumeThread(info.hThread);
        process_ = info.hProcess;
        thread_ = info.hThread;
        processId_ = info.dwProcessId;
        HANDLE waits[2] = {ready, process_};
        const DWORD woke = ::WaitForMultipleObjects(2, waits, FALSE, kReadyTimeoutMs);
        EXPECT_EQ(WAIT_OBJECT_0, woke) << "helper " << name << " did not become ready";
    } else {
        ADD_FAILURE() << "cannot start helper " << name << ", error " << ::GetLastError();
    }
    ::SetEnvironmentVariableW(kReadyEventVariable, nullptr);
    ::CloseHandle(ready);
}

HelperProcess::~HelperProcess()
{
    if (process_ == nullptr) return;
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_, 0);
        ::WaitForSingleObject(process_, 10000);
    }
    ::CloseHandle(thread_);
    ::CloseHandle(process_);
}

DWORD HelperProcess::WaitForExit(DWORD milliseconds)
{
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr && ::WaitForSingleObject(process_, milliseconds) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process_, &code);
    }
    return code;
}

namespace {

struct ProcessWindows {
    DWORD processId;
    std::vector<HWND>* windows;
};

BOOL CALLBACK CollectProcessWindows(HWND hwnd, LPARAM lParam)
{
    auto* query = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(hwnd, &processId);
    if (processId != query->processId) return TRUE;
    try {
        query->windows->push_back(hwnd);
    } catch (...) {
        return FALSE; // nothing may unwind through the system's frames
    }
    return TRUE;
}

} // namespace

std::vector<HWND> WindowsOfProcess(DWORD processId)
{
    std::vector<HWND> windows;
    ProcessWindows query{processId, &windows};
    ::EnumWindows(&CollectProcessWindows, reinterpret_cast<LPARAM>(&query));
    return windows;
}

HWND FindWindowByTitle(DWORD processId, const std::wstring& title)
{
    for (HWND hwnd : WindowsOfProcess(processId)) {
        // Room for one character more than sought, so that a longer title doesn't pass as equal.
        std::wstring text(title.size() + 2, L'\0');
        const int length = ::GetWindowTextW(hwnd, &text[0], static_cast<int>(text.size()));
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        if (text == title) return hwnd;
    }
    return nullptr;
}

} // namespace testsupport
