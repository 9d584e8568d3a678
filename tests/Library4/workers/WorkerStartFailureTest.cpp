// A worker whose events or thread cannot be created throws, keeps what it made, loses no handle
// and starts cleanly on the next Call.
#include "tests/Library4/workers/WorkerKinds.h"
#include "tests/support/ResourceCount.h"

#include <algorithm>
#include <cstring>

namespace workertest {
namespace {

using Library4::Shell::Exception;
using Library4::Shell::UnknownErrorException;
using testsupport::ProcessHandleCount;

template <class Kind>
class WorkerStartFailure : public ::testing::Test {
};
TYPED_TEST_SUITE(WorkerStartFailure, WorkerKinds, WorkerKindNames);

TYPED_TEST(WorkerStartFailure, ThrowsKeepsWhatItMadeRetriesAndLosesNoHandle)
{
    using Kind = TypeParam;
    {
        // The process's first thread and first thrown exception make handles of the runtime's
        // own, once; they must not count as the workers'.
        ApiRecorder recorder;
        Kind::UseFixedShell(recorder);
        recorder.Fail(Op::CreateThread, 1, ERROR_MAX_THRDS_REACHED);
        typename Kind::Worker warmUp;
        EXPECT_THROW(Kind::Call(warmUp), UnknownErrorException);
        Kind::Call(warmUp);
    }

    for (const StartFailure& failure : kStartFailures) {
        SCOPED_TRACE(failure.failingCall);
        const DWORD handlesBefore = ProcessHandleCount();
        {
            ApiRecorder recorder;
            Kind::UseFixedShell(recorder);
            recorder.Fail(failure.op, failure.nth, failure.error);
            {
                typename Kind::Worker worker;
                bool caughtAsBase = false;
                Exception seenAsBase(nullptr, 0, 0xFFFFFFFF);
                try {
                    try {
                        Kind::Call(worker);
                        ADD_FAILURE() << "the start did not throw";
                    } catch (const Exception& base) {
                        caughtAsBase = true;
                        seenAsBase = base;
                        throw;
                    }
                } catch (const UnknownErrorException& thrown) {
                    EXPECT_EQ(0u, thrown.Code);
                    EXPECT_EQ(0u, thrown.Detail);
                    EXPECT_EQ(failure.error, thrown.LastError);
                    ASSERT_NE(nullptr, thrown.File);
                    EXPECT_GT(thrown.Line, 0);
                    EXPECT_EQ(nullptr, std::strchr(thrown.File, '/')) << thrown.File;
                    EXPECT_EQ(0, std::strncmp(thrown.File, "Library4\\Shell\\", 15)) << "not relative: " << thrown.File;
                    // File and line lead to the throw statement in the module's sources.
                    EXPECT_NE(std::string::npos, SourceLine(thrown.File, thrown.Line).find("THROW_LAST_ERROR"))
                        << thrown.File << ":" << thrown.Line;
                    EXPECT_EQ(thrown.File, seenAsBase.File);
                    EXPECT_EQ(thrown.Line, seenAsBase.Line);
                    EXPECT_EQ(thrown.Detail, seenAsBase.Detail);
                }
                EXPECT_TRUE(caughtAsBase);

                const std::vector<HANDLE> events = recorder.Handles(Op::CreateEvent);
                EXPECT_EQ(nullptr, worker.Thread);
                EXPECT_EQ(failure.keepsRequestEvent, worker.RequestEvent != nullptr);
                EXPECT_EQ(failure.keepsDoneEvent, worker.DoneEvent != nullptr);
                if (failure.keepsRequestEvent && !events.empty()) {
                    EXPECT_EQ(events[0], worker.RequestEvent);
                }
                if (failure.keepsDoneEvent && events.size() > 1) {
                    EXPECT_EQ(events[1], worker.DoneEvent);
                }
                EXPECT_TRUE(recorder.Calls(Op::SetEvent).empty());
                EXPECT_TRUE(recorder.Calls(Kind::kShellOp).empty());
                EXPECT_TRUE(recorder.Calls(Op::CloseHandle).empty());

                // The next Call starts afresh and gives up the handles the failed start left.
                const HANDLE staleRequest = worker.RequestEvent;
                const HANDLE staleDone = worker.DoneEvent;
                EXPECT_EQ(Kind::kAnswer, Kind::Call(worker));
                EXPECT_NE(nullptr, worker.Thread);
                EXPECT_NE(nullptr, worker.RequestEvent);
                EXPECT_NE(nullptr, worker.DoneEvent);
                EXPECT_NE(staleRequest, worker.RequestEvent);
                EXPECT_NE(staleDone, worker.DoneEvent);
                EXPECT_EQ(1u, recorder.Calls(Kind::kShellOp).size());
                const std::vector<HANDLE> closedByRetry = recorder.Handles(Op::CloseHandle);
                std::vector<HANDLE> stale;
                if (staleRequest != nullptr) stale.push_back(staleRequest);
                if (staleDone != nullptr) stale.push_back(staleDone);
                EXPECT_EQ(stale, closedByRetry);
            }

            // Every handle made is closed exactly once, whatever start made it.
            std::vector<HANDLE> made = recorder.Handles(Op::CreateEvent);
            for (HANDLE thread : recorder.Handles(Op::CreateThread)) made.push_back(thread);
            std::vector<HANDLE> closed = recorder.Handles(Op::CloseHandle);
            std::sort(made.begin(), made.end());
            std::sort(closed.begin(), closed.end());
            EXPECT_EQ(made, closed);
        }
        EXPECT_EQ(handlesBefore, ProcessHandleCount());
    }
}

// A worker that could not start closes, when destroyed, exactly what the failed start made.
TYPED_TEST(WorkerStartFailure, DestroyAfterFailedStartClosesWhatWasMade)
{
    using Kind = TypeParam;
    for (const StartFailure& failure : kStartFailures) {
        SCOPED_TRACE(failure.failingCall);
        ApiRecorder recorder;
        Kind::UseFixedShell(recorder);
        recorder.Fail(failure.op, failure.nth, failure.error);
        {
            typename Kind::Worker worker;
            EXPECT_THROW(Kind::Call(worker), UnknownErrorException);
        }
        EXPECT_EQ(recorder.Handles(Op::CreateEvent), recorder.Handles(Op::CloseHandle));
        EXPECT_TRUE(recorder.Calls(Op::SetEvent).empty());
        EXPECT_TRUE(recorder.Calls(Op::Wait).empty());
    }
}

TEST(AppBarWorkerStartFailure, FailedStartStoresNoMessageAndLeavesTheRequestAlone)
{
    ApiRecorder recorder;
    recorder.Fail(Op::CreateThread, 1, ERROR_MAX_THRDS_REACHED);
    Library4::Shell::AppBarWorker worker;
    worker.rc = RECT{1, 2, 3, 4};
    worker.uEdge = ABE_RIGHT;
    EXPECT_THROW(worker.Call(ABM_GETTASKBARPOS), UnknownErrorException);
    EXPECT_EQ(0u, worker.Message);
    EXPECT_EQ(1, worker.rc.left);
    EXPECT_EQ(4, worker.rc.bottom);
    EXPECT_EQ(static_cast<UINT>(ABE_RIGHT), worker.uEdge);
}

} // namespace
} // namespace workertest
