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

// The kernel, pumped by the Qt loop.
struct QtDrivenKernel {
    QtMessagePump pump;
    testing::DrivenKernel driven;
};

TEST(QtSchedulerDrive, WorkerThreadDriveRunsStepsAndDeliversATimedMessageOnTime) {
    ManualTickSource clock(50000);
    ScopedTickSource clockGuard(clock);
    QtDrivenKernel qt;
    testing::DrivenKernel& driven = qt.driven;
    driven.kernel.timed.InsertMess(
        TTimeMess::Create(TickMs() + 1000, Adr(0x60, 1, 0x2001), Adr(0x60, 1, 0x2001), 0, 0, 5));

    TSchedulerDrive drive = SchedulerDriveFor(5, 0); // SHR=0: one step about every millisecond
    drive.TimerMs = 20;                              // let the timer come round quickly
    QtSchedulerDrive scheduler(drive);
    EXPECT_FALSE(scheduler.HasIdleHandler());
    scheduler.Start();

    ASSERT_TRUE(
        ProcessEventsUntil([&] { return driven.recorder->ticks >= 50 && scheduler.TimerTicks() >= 2; }));
    EXPECT_GE(scheduler.WorkerSteps(), 50u);
    EXPECT_TRUE(Deliveries().empty()) << "the clock stands before the due tick";

    clock.Set(50999);
    const std::uint64_t timerTicks = scheduler.TimerTicks();
    ASSERT_TRUE(ProcessEventsUntil([&] { return scheduler.TimerTicks() >= timerTicks + 2; }));
    EXPECT_TRUE(Deliveries().empty()) << "1 ms early";

    clock.Set(51000);
    ASSERT_TRUE(ProcessEventsUntil([] { return !Deliveries().empty(); }));
    EXPECT_EQ(Deliveries()[0].code, 5);
    EXPECT_EQ(Deliveries()[0].tick, 51000u) << "delivered at its due tick";
    EXPECT_EQ(driven.kernel.timed.Count(), 0u);

    scheduler.Stop();
    const std::uint64_t steps = scheduler.WorkerSteps();
    testing::ProcessPendingEvents();
    EXPECT_EQ(scheduler.WorkerSteps(), steps);
}

TEST(QtSchedulerDrive, StepsRunOnTheGuiThread) {
    QtDrivenKernel qt;
    testing::DrivenKernel& driven = qt.driven;
    std::vector<std::thread::id> threads;
    TSchedulerDrive drive = SchedulerDriveFor(2, 0);
    QtSchedulerDrive scheduler(drive);
    EXPECT_TRUE(driven.registered);
    EXPECT_TRUE(scheduler.HasIdleHandler()) << "THR 1..3 keep the idle handler";
    EXPECT_EQ(scheduler.SystemTickTimer().interval(), 250);
    driven.kernel.registry.Register(
        "AUX", 4242, {}, [&threads] { threads.push_back(std::this_thread::get_id()); }, 0x3000, 0x3000);
    scheduler.Start();
    ASSERT_TRUE(ProcessEventsUntil([&] { return threads.size() >= 100 && scheduler.WorkerSteps() >= 10; }));
    scheduler.Stop();
    for (const std::thread::id id : threads) {
        ASSERT_EQ(id, std::this_thread::get_id());
    }
}

TEST(QtSchedulerDrive, TimerDriveWithoutAThread) {
    QtDrivenKernel qt;
    testing::DrivenKernel& driven = qt.driven;
    QtSchedulerDrive scheduler(SchedulerDriveFor(0, 0));
    EXPECT_EQ(scheduler.SystemTickTimer().interval(), 55);
    scheduler.Start();
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return scheduler.TimerTicks() >= 2 && driven.recorder->ticks >= 100; }));
    EXPECT_EQ(scheduler.WorkerSteps(), 0u);
}

} // namespace
} // namespace ravlo
