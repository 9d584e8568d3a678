// Another process for cross-process behaviour: the test binary starts itself again in a helper
// mode (--helper=NAME). The helper tells the test it is ready through a named event, keeps its
// windows answering messages, and ends when the HelperProcess object dies.
#pragma once

#include "platform/WindowsHeaders.h"

#include <string>
#include <vector>

namespace testsupport {

using HelperMain = int (*)(const std::vector<std::wstring>& args);

// Registers a helper mode; used through VANTREL_TEST_HELPER.
bool RegisterHelper(const char* name, HelperMain main);

// Runs the helper named by --helper=NAME when argv has one; returns -1 when it does not.
int RunHelperIfAsked();

// Inside a helper: tells the waiting test that the helper is ready, then serves messages until the
// test ends the helper. Returns the helper's exit code.
int SignalReadyAndServe();

// Inside a helper: only tells the test that the helper is ready.
void SignalReady();

class HelperProcess {
public:
    // Starts the helper and waits until it is ready (or fails the test after a time-out).
    explicit HelperProcess(const std::string& name, const std::vector<std::wstring>& args = {});
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    DWORD ProcessId() const { return processId_; }
    HANDLE Process() const { return process_; }
    bool Started() const { return process_ != nullptr; }

    // Waits for the helper to end by itself and returns its exit code (STILL_ACTIVE on time-out).
    DWORD WaitForExit(DWORD milliseconds);

private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD processId_ = 0;
};

// The top-level windows of a process, in the window system's enumeration order.
std::vector<HWND> WindowsOfProcess(DWORD processId);

// The top-level window of a process with exactly this title, however long; null if there is none.
HWND FindWindowByTitle(DWORD processId, const std::wstring& title);

} // namespace testsupport

#define VANTREL_TEST_HELPER(name)                                                                                   \
    static int VantrelHelper_##name(const std::vector<std::wstring>& args);                                         \
    static const bool vantrelHelperRegistered_##name = ::testsupport::RegisterHelper(#name, &VantrelHelper_##name); \
    static int VantrelHelper_##name([[maybe_unused]] const std::vector<std::wstring>& args)
