#include "kernel/worker_thread.h"
#include "platform/input_wake.h"
#include "platform/message_queue.h"
#include "support/nonblocking_pipe.h"

#include <gtest/gtest.h>
#include <thread>

namespace ravlo {
namespace {

// A pause so long that a run arriving before it ends can only have been woken by input; if the
// wake fails the test still ends, with a wrong count.
constexpr std::uint32_t kLongPauseMs = 10'000;

using Pipe = testing::NonBlockingPipe;

void PumpUntilRuns(const TWorkerThread& worker, std::uint64_t runs) {
    while (worker.Runs() < runs) {
        AppMessageQueue().WaitAndPump(std::chrono::milliseconds(10));
    }
}

void WaitUntilPausing(const InputWakeRegistry& inputs) {
    while (inputs.WatchingWaits() == 0) {
        std::this_thread::yield();
    }
}

TEST(WorkerInputWakeTest, InputEndsThePauseBetweenRuns) {
    InputWakeRegistry inputs;
    Pipe pipe;
    const InputWakeRegistration registration(pipe.ReadEnd(), inputs);
    TWorkerThread worker([] {}, kLongPauseMs, TThreadPriority::tpNormal, AppMessageQueue(), inputs);
    worker.Resume();
    PumpUntilRuns(worker, 1);

    WaitUntilPausing(inputs);
    ASSERT_TRUE(pipe.Put());
    PumpUntilRuns(worker, 2);
    EXPECT_EQ(worker.InputWakeups(), 1u);
    worker.Terminate();
}

TEST(WorkerInputWakeTest, InputTheRunsLeaveUnreadDoesNotSpinTheThread) {
    InputWakeRegistry inputs;
    Pipe pipe;
    const InputWakeRegistration registration(pipe.ReadEnd(), inputs);
    ASSERT_TRUE(pipe.Put()); // never read
    TWorkerThread worker([] {}, 1, TThreadPriority::tpNormal, AppMessageQueue(), inputs);
    worker.Resume();
    PumpUntilRuns(worker, 50);
    worker.Terminate();
    EXPECT_EQ(worker.InputWakeups(), 0u) << "every pause ran its full time";
}

TEST(WorkerInputWakeTest, RunsThatReadTheInputAreWokenByEachNewArrival) {
    InputWakeRegistry inputs;
    Pipe pipe;
    const InputWakeRegistration registration(pipe.ReadEnd(), inputs);
    const auto drain = [&pipe] {
        pipe.Drain();
    };
    TWorkerThread worker(drain, kLongPauseMs, TThreadPriority::tpNormal, AppMessageQueue(), inputs);
    worker.Resume();
    constexpr std::uint64_t kArrivals = 5;
    for (std::uint64_t arrival = 1; arrival <= kArrivals; ++arrival) {
        PumpUntilRuns(worker, arrival);
        WaitUntilPausing(inputs);
        ASSERT_TRUE(pipe.Put());
    }
    PumpUntilRuns(worker, kArrivals + 1);
    EXPECT_EQ(worker.InputWakeups(), kArrivals);
    worker.Terminate();
}

TEST(WorkerInputWakeTest, TerminateEndsALongPause) {
    InputWakeRegistry inputs;
    Pipe pipe;
    const InputWakeRegistration registration(pipe.ReadEnd(), inputs);
    TWorkerThread worker([] {}, 600'000, TThreadPriority::tpNormal, AppMessageQueue(), inputs);
    worker.Resume();
    PumpUntilRuns(worker, 1);
    WaitUntilPausing(inputs);
    worker.Terminate(); // would hang for ten minutes if the pause were not cut short
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(worker.Runs(), 1u);
    EXPECT_EQ(worker.InputWakeups(), 0u);
}

} // namespace
} // namespace ravlo
