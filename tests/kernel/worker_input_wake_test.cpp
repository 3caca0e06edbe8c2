#include "kernel/worker_thread.h"
#include "platform/input_wake.h"
#include "platform/message_queue.h"
#include "support/nonblocking_pipe.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using namespace std::chrono_literals;
using Pipe = testing::NonBlockingPipe;

// A pause twice as long as the tests wait: a run arriving within a wait can only have been woken by
// input, and a pause that is not cut short fails the test without hanging it long.
constexpr auto kLongPauseMs = static_cast<std::uint32_t>(2 * testing::kWaitLimit.count() * 1000);

// The worker, its input registry and one registered pipe.
class WorkerInputWakeTest : public ::testing::Test {
protected:
    void Start(std::function<void()> step, std::uint32_t pauseMs) {
        worker_ = std::make_unique<TWorkerThread>(std::move(step), pauseMs, TThreadPriority::tpNormal,
                                                  AppMessageQueue(), inputs_);
        worker_->Resume();
    }
    bool PumpUntilRuns(std::uint64_t runs) {
        return testing::WaitUntil([&] { return worker_->Runs() >= runs; },
                                  [] { AppMessageQueue().WaitAndPump(10ms); });
    }
    bool WaitUntilPausing() {
        return testing::WaitUntil([&] { return inputs_.WatchingWaits() != 0; });
    }

    InputWakeRegistry inputs_;
    Pipe pipe_;
    InputWakeRegistration registration_{pipe_.ReadEnd(), inputs_};
    std::unique_ptr<TWorkerThread> worker_;
};

TEST_F(WorkerInputWakeTest, RunsThatReadTheInputAreWokenByEachNewArrival) {
    Start([this] { pipe_.Drain(); }, kLongPauseMs);
    constexpr std::uint64_t kArrivals = 5;
    for (std::uint64_t arrival = 1; arrival <= kArrivals; ++arrival) {
        ASSERT_TRUE(PumpUntilRuns(arrival));
        ASSERT_TRUE(WaitUntilPausing());
        ASSERT_TRUE(pipe_.Put());
    }
    ASSERT_TRUE(PumpUntilRuns(kArrivals + 1));
    EXPECT_EQ(worker_->InputWakeups(), kArrivals);
    worker_->Terminate();
}

TEST_F(WorkerInputWakeTest, TerminateEndsALongPause) {
    Start([] {}, kLongPauseMs);
    ASSERT_TRUE(PumpUntilRuns(1));
    ASSERT_TRUE(WaitUntilPausing());
    const auto before = std::chrono::steady_clock::now();
    worker_->Terminate();
    EXPECT_LT(std::chrono::steady_clock::now() - before, testing::kWaitLimit)
        << "the pause was not cut short";
    EXPECT_FALSE(worker_->Running());
    EXPECT_EQ(worker_->Runs(), 1u);
    EXPECT_EQ(worker_->InputWakeups(), 0u);
}

} // namespace
} // namespace ravlo
