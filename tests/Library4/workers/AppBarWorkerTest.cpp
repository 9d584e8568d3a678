// AppBarWorker hands the shell a copy of the request and takes back whatever the shell wrote.
#include "Library4/Shell/ShellWorkers.h"
#include "tests/Library4/workers/WorkerFakes.h"

#include <gtest/gtest.h>

namespace workertest {
namespace {

using Library4::Shell::AppBarWorker;

// What the fake shell saw and where.
APPBARDATA seenData{};
const APPBARDATA* seenAddress = nullptr;
DWORD seenMessage = 0;
DWORD seenThread = 0;
void (*shellWrites)(APPBARDATA&) = nullptr;
UINT_PTR shellAnswer = 0;

UINT_PTR ScriptedShell(DWORD message, APPBARDATA* data)
{
    seenData = *data;
    seenAddress = data;
    seenMessage = message;
    seenThread = ::GetCurrentThreadId();
    shellWrites(*data);
    return shellAnswer;
}

void WritesNothing(APPBARDATA&) {}
void WritesTaskbarPosition(APPBARDATA& data)
{
    data.uEdge = ABE_BOTTOM;
    data.rc = RECT{0, 570, 800, 600};
}
void NarrowsTheRectangle(APPBARDATA& data) { data.rc.right -= 100; }
void WritesEveryField(APPBARDATA& data)
{
    data.hWnd = ::GetDesktopWindow();
    data.uCallbackMessage = WM_APP + 7;
    data.uEdge = ABE_TOP;
    data.rc = RECT{-5, -6, 7, 8};
    data.lParam = static_cast<LPARAM>(-2);
}

struct ShellCase {
    const char* name;
    UINT message;
    void (*writes)(APPBARDATA&);
    UINT_PTR answer;
};

const ShellCase kShellCases[] = {
    {"state, nothing written", ABM_GETSTATE, &WritesNothing, ABS_AUTOHIDE | ABS_ALWAYSONTOP},
    {"taskbar position", ABM_GETTASKBARPOS, &WritesTaskbarPosition, TRUE},
    {"position query narrows rc", ABM_QUERYPOS, &NarrowsTheRectangle, TRUE},
    {"zero answer, every field written", ABM_SETAUTOHIDEBAR, &WritesEveryField, 0},
    // Wider than 32 bits where the platform's pointers are.
    {"pointer-wide answer", ABM_GETAUTOHIDEBAR, &WritesNothing, static_cast<UINT_PTR>(-3)},
};

void FillRequest(AppBarWorker& worker)
{
    worker.hWnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1234));
    worker.uCallbackMessage = WM_APP + 1;
    worker.uEdge = ABE_LEFT;
    worker.rc = RECT{10, 20, 300, 400};
    worker.lParam = 0x5151;
}

APPBARDATA RequestOf(const AppBarWorker& worker)
{
    APPBARDATA data{};
    data.cbSize = sizeof(data);
    data.hWnd = worker.hWnd;
    data.uCallbackMessage = worker.uCallbackMessage;
    data.uEdge = worker.uEdge;
    data.rc = worker.rc;
    data.lParam = worker.lParam;
    return data;
}

void ExpectSameData(const APPBARDATA& expected, const APPBARDATA& actual)
{
    EXPECT_EQ(expected.cbSize, actual.cbSize);
    EXPECT_EQ(expected.hWnd, actual.hWnd);
    EXPECT_EQ(expected.uCallbackMessage, actual.uCallbackMessage);
    EXPECT_EQ(expected.uEdge, actual.uEdge);
    EXPECT_EQ(expected.rc.left, actual.rc.left);
    EXPECT_EQ(expected.rc.top, actual.rc.top);
    EXPECT_EQ(expected.rc.right, actual.rc.right);
    EXPECT_EQ(expected.rc.bottom, actual.rc.bottom);
    EXPECT_EQ(expected.lParam, actual.lParam);
}

TEST(AppBarWorker, ShellGetsACopyOfTheRequestAndItsWritesComeBack)
{
    ApiRecorder recorder;
    recorder.SetAppBarShell(&ScriptedShell);
    AppBarWorker worker;
    for (const ShellCase& shellCase : kShellCases) {
        SCOPED_TRACE(shellCase.name);
        shellWrites = shellCase.writes;
        shellAnswer = shellCase.answer;
        seenAddress = nullptr;
        FillRequest(worker);
        const APPBARDATA sent = RequestOf(worker);
        APPBARDATA expected = sent;
        shellCase.writes(expected);

        EXPECT_EQ(shellCase.answer, worker.Call(shellCase.message));

        EXPECT_EQ(shellCase.message, seenMessage);
        EXPECT_EQ(shellCase.message, worker.Message);
        EXPECT_EQ(shellCase.answer, worker.Result);
        ExpectSameData(sent, seenData);
        // The shell wrote to a structure of its own shape, not into the object.
        const auto* object = reinterpret_cast<const char*>(&worker);
        const auto* seen = reinterpret_cast<const char*>(seenAddress);
        EXPECT_TRUE(seen < object || seen >= object + sizeof(worker));
        ExpectSameData(expected, RequestOf(worker));
        EXPECT_EQ(recorder.CreatedThreadId(), seenThread);
    }
    EXPECT_NE(::GetCurrentThreadId(), seenThread);
}

// Against the real shell, the worker's answers are those of a call made on the caller's thread.
TEST(AppBarWorker, RealShellAnswersAsOnTheCallersThread)
{
    const RECT sentinel{11, 22, 33, 44};
    APPBARDATA direct{};
    direct.cbSize = sizeof(direct);
    direct.rc = sentinel;
    const UINT_PTR directPosition = ::SHAppBarMessage(ABM_GETTASKBARPOS, &direct);
    APPBARDATA directState{};
    directState.cbSize = sizeof(directState);
    const UINT_PTR directStateAnswer = ::SHAppBarMessage(ABM_GETSTATE, &directState);

    ApiRecorder recorder;
    {
        AppBarWorker worker;
        worker.rc = sentinel;
        EXPECT_EQ(directPosition, worker.Call(ABM_GETTASKBARPOS));
        ExpectSameData(direct, RequestOf(worker));
        EXPECT_EQ(directStateAnswer, worker.Call(ABM_GETSTATE));
    }
    const std::vector<ApiCall> shellCalls = recorder.Calls(Op::AppBarMessage);
    ASSERT_EQ(2u, shellCalls.size());
    for (const ApiCall& call : shellCalls) {
        EXPECT_EQ(recorder.CreatedThreadId(), call.threadId);
        EXPECT_NE(::GetCurrentThreadId(), call.threadId);
    }
}

} // namespace
} // namespace workertest
