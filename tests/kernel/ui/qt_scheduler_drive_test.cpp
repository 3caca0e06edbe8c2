#include "framework/ui/qt_message_pump.h"
#include "framework/ui/qt_test_app.h"
#include "kernel/kernel_test_support.h"
#include "kernel/ui/qt_scheduler_drive.h"
#include "platform/tick.h"

#include <gtest/gtest.h>
#include <thread>

namespace ravlo {
namespace {

using testing::Adr;
using testing::Deliveries;
using testing::ProcessEventsUntil;

// The scheduling itself is tested on the plain pump; here, that the Qt timers and the Qt message pump
// drive it on the GUI thread.
TEST(QtSchedulerDrive, WorkerAndIdleStepsRunOnTheGuiThreadAndTheTickTimerDeliversOnTime) {
    ManualTickSource clock(50000);
    ScopedTickSource clockGuard(clock);
    QtMessagePump pump;
    testing::DrivenKernel driven;
    ASSERT_TRUE(driven.registered);
    driven.kernel.timed.InsertMess(
        TTimeMess::Create(TickMs() + 1000, Adr(0x60, 1, 0x2001), Adr(0x60, 1, 0x2001), 0, 0, 5));
    std::vector<std::thread::id> threads;
    driven.kernel.registry.Register(
        "AUX", 4242, {}, [&threads] { threads.push_back(std::this_thread::get_id()); }, 0x3000, 0x3000);

    TSchedulerDrive drive = SchedulerDriveFor(2, 0); // a worker thread and the idle handler
    drive.TimerMs = 20;                              // let the timer come round quickly
    QtSchedulerDrive scheduler(drive);
    EXPECT_TRUE(scheduler.HasIdleHandler());
    EXPECT_EQ(scheduler.SystemTickTimer().interval(), 20);
    scheduler.Start();
    ASSERT_TRUE(ProcessEventsUntil([&] { return threads.size() >= 100 && scheduler.WorkerSteps() >= 10; }));
    for (const std::thread::id id : threads) {
        ASSERT_EQ(id, std::this_thread::get_id());
    }
    EXPECT_TRUE(Deliveries().empty()) << "the clock stands before the due tick";

    clock.Set(51000);
    ASSERT_TRUE(ProcessEventsUntil([] { return !Deliveries().empty(); }));
    EXPECT_EQ(Deliveries()[0].tick, 51000u) << "delivered at its due tick";
    scheduler.Stop();
    const std::uint64_t steps = scheduler.WorkerSteps();
    testing::ProcessPendingEvents();
    EXPECT_EQ(scheduler.WorkerSteps(), steps);
}

TEST(QtSchedulerDrive, TimerDriveWithoutAThread) {
    QtMessagePump pump;
    testing::DrivenKernel driven;
    QtSchedulerDrive scheduler(SchedulerDriveFor(0, 0));
    EXPECT_EQ(scheduler.SystemTickTimer().interval(), 55);
    scheduler.Start();
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return scheduler.TimerTicks() >= 2 && driven.recorder->ticks >= 100; }));
    EXPECT_EQ(scheduler.WorkerSteps(), 0u);
}

} // namespace
} // namespace ravlo
