#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "kernel/kernel_test_support.h"
#include "kernel/ui/qt_scheduler_drive.h"
#include "support/wait_until.h"

#include <gtest/gtest.h>
#include <thread>

namespace ravlo {
namespace {

// The scheduling itself is tested on the plain pump; here, that the Qt event loop drives it: the tick
// timer, the idle handler and the worker thread's steps, all on the GUI thread, until Stop.
TEST(QtSchedulerDrive, TheQtEventLoopRunsTimerIdleAndWorkerStepsOnTheGuiThread) {
    QtMessagePump pump;
    testing::DrivenKernel driven;
    std::vector<std::thread::id> threads;
    driven.kernel.registry.Register(
        "AUX", 4242, {}, [&threads] { threads.push_back(std::this_thread::get_id()); }, 0x3000, 0x3000);

    TSchedulerDrive drive = SchedulerDriveFor(2, 0); // a worker thread and the idle handler
    drive.TimerMs = 20;
    QtSchedulerDrive scheduler(drive);
    scheduler.Start();
    // Every step ticks the registered windows; the timer does not step with a thread, so ticks past
    // the worker's steps are idle steps.
    ASSERT_TRUE(testing::ProcessEventsUntil(
        [&] {
            return scheduler.WorkerSteps() >= 10 && threads.size() >= scheduler.WorkerSteps() + 50 &&
                   scheduler.TimerTicks() >= 2;
        },
        testing::kWaitLimit));
    for (const std::thread::id id : threads) {
        ASSERT_EQ(id, std::this_thread::get_id());
    }
    scheduler.Stop();
    const std::uint64_t steps = scheduler.WorkerSteps();
    const std::size_t ticked = threads.size();
    testing::ProcessPendingEvents();
    EXPECT_EQ(scheduler.WorkerSteps(), steps);
    EXPECT_EQ(threads.size(), ticked) << "no idle step after the stop";
}

} // namespace
} // namespace ravlo
