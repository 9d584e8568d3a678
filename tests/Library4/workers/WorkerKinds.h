// The two workers side by side, for the tests of the start, hand-over and stop they share.
#pragma once

#include "Library4/Shell/ShellWorkers.h"
#include "tests/Library4/workers/WorkerFakes.h"

#include <gtest/gtest.h>

namespace workertest {

struct AppBarKind {
    using Worker = Library4::Shell::AppBarWorker;
    static constexpr Op kShellOp = Op::AppBarMessage;
    static constexpr UINT_PTR kAnswer = 0x5EED;

    static UINT_PTR FixedAnswer(DWORD, APPBARDATA*) { return kAnswer; }
    static void UseFixedShell(ApiRecorder& recorder) { recorder.SetAppBarShell(&FixedAnswer); }
    static UINT_PTR Call(Worker& worker) { return worker.Call(ABM_GETSTATE); }
};

struct ShellExecuteKind {
    using Worker = Library4::Shell::ShellExecuteWorker;
    static constexpr Op kShellOp = Op::ShellExecute;
    static constexpr UINT_PTR kAnswer = TRUE;

    static BOOL FixedAnswer(SHELLEXECUTEINFOW*) { return TRUE; }
    static void UseFixedShell(ApiRecorder& recorder) { recorder.SetShellExecuteShell(&FixedAnswer); }
    static UINT_PTR Call(Worker& worker) { return static_cast<UINT_PTR>(worker.Call()); }
};

using WorkerKinds = ::testing::Types<AppBarKind, ShellExecuteKind>;

class WorkerKindNames {
public:
    template <class Kind>
    static std::string GetName(int)
    {
        return std::is_same_v<Kind, AppBarKind> ? "AppBarWorker" : "ShellExecuteWorker";
    }
};

} // namespace workertest
