// The start by the first Call, the hand-over through the two events and the stop in the
// destructor, as both workers share them.
#include "tests/Library4/workers/WorkerKinds.h"

namespace workertest {
namespace {

template <class Kind>
class WorkerLifecycle : public ::testing::Test {
};
TYPED_TEST_SUITE(WorkerLifecycle, WorkerKinds, WorkerKindNames);

struct Step {
    Op op;
    HANDLE handle;
};

// The calls made on one thread, in order.
std::vector<Step> StepsOfThread(const std::vector<ApiCall>& calls, DWORD threadId)
{
    std::vector<Step> steps;
    for (const ApiCall& call : calls) {
        if (call.threadId == threadId) steps.push_back({call.op, call.handle});
    }
    return steps;
}

void ExpectSteps(const std::vector<Step>& expected, const std::vector<Step>& actual, const char* thread)
{
    SCOPED_TRACE(thread);
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Name(expected[i].op), std::string(Name(actual[i].op))) << "step " << i;
        EXPECT_EQ(expected[i].handle, actual[i].handle) << "step " << i << " " << Name(actual[i].op);
    }
}

TYPED_TEST(WorkerLifecycle, DestroyWithoutCallTouchesNothing)
{
    using Kind = TypeParam;
    ApiRecorder recorder;
    {
        typename Kind::Worker worker;
        EXPECT_EQ(nullptr, worker.Thread);
        EXPECT_EQ(nullptr, worker.RequestEvent);
        EXPECT_EQ(nullptr, worker.DoneEvent);
        EXPECT_EQ(0u, static_cast<UINT_PTR>(worker.Result));
        EXPECT_TRUE(worker.Running);
    }
    EXPECT_TRUE(recorder.Calls().empty());
}

TYPED_TEST(WorkerLifecycle, CallsShareOneThreadThatStopsWithExitCodeOne)
{
    using Kind = TypeParam;
    const DWORD owner = ::GetCurrentThreadId();
    ApiRecorder recorder;
    Kind::UseFixedShell(recorder);
    HANDLE thread = nullptr;
    HANDLE request = nullptr;
    HANDLE done = nullptr;
    {
        typename Kind::Worker worker;
        EXPECT_EQ(Kind::kAnswer, Kind::Call(worker));
        thread = worker.Thread;
        request = worker.RequestEvent;
        done = worker.DoneEvent;
        ASSERT_NE(nullptr, thread);
        EXPECT_EQ(Kind::kAnswer, Kind::Call(worker));
        EXPECT_EQ(thread, worker.Thread);
        EXPECT_EQ(request, worker.RequestEvent);
        EXPECT_EQ(done, worker.DoneEvent);
        EXPECT_TRUE(worker.Running);
    }
    const DWORD workerId = recorder.CreatedThreadId();
    ASSERT_NE(0u, workerId);
    ASSERT_NE(owner, workerId);

    const std::vector<ApiCall> calls = recorder.Calls();
    // The owner starts the worker once, hands over two requests, then stops and closes: thread,
    // request event, done event.
    ExpectSteps({{Op::CreateEvent, request},
                 {Op::CreateEvent, done},
                 {Op::CreateThread, thread},
                 {Op::SetEvent, request},
                 {Op::Wait, done},
                 {Op::SetEvent, request},
                 {Op::Wait, done},
                 {Op::SetEvent, request},
                 {Op::Wait, thread},
                 {Op::CloseHandle, thread},
                 {Op::CloseHandle, request},
                 {Op::CloseHandle, done}},
                StepsOfThread(calls, owner), "owner");
    // The shell runs on the worker, never on the owner's thread.
    ExpectSteps({{Op::Wait, request},
                 {Kind::kShellOp, nullptr},
                 {Op::SetEvent, done},
                 {Op::Wait, request},
                 {Kind::kShellOp, nullptr},
                 {Op::SetEvent, done},
                 {Op::Wait, request}},
                StepsOfThread(calls, workerId), "worker");
    EXPECT_EQ(calls.size(), StepsOfThread(calls, owner).size() + StepsOfThread(calls, workerId).size());

    // The destructor joined the worker before closing its handle.
    EXPECT_EQ(1u, recorder.ThreadExitCodeAtClose());
}

} // namespace
} // namespace workertest
