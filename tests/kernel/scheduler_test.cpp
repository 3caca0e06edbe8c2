#include "kernel/scheduler_drive.h"
#include "kernel/scheduler_runner.h"
#include "kernel/worker_thread.h"
#include "kernel_test_support.h"
#include "platform/tick.h"

#include <gtest/gtest.h>
#include <thread>

namespace ravlo {
namespace {

using testing::Adr;
using testing::KernelGlobals;

TEST(SchedulerDriveTest, TableOfThrAndShr) {
    struct Row {
        unsigned thr;
        bool idle;
        std::uint32_t timerMs;
        bool timerSteps;
        bool worker;
        TThreadPriority priority;
    };
    using P = TThreadPriority;
    const Row rows[] = {
        {0, true, 55, true, false, P::tpHigher},    {1, true, 250, false, true, P::tpIdle},
        {2, true, 250, false, true, P::tpLowest},   {3, true, 250, false, true, P::tpLower},
        {4, false, 250, false, true, P::tpNormal},  {5, false, 250, false, true, P::tpHigher},
        {6, false, 250, false, true, P::tpHighest}, {7, false, 250, false, true, P::tpTimeCritical},
    };
    for (const Row& row : rows) {
        const TSchedulerDrive drive = SchedulerDriveFor(row.thr, 20);
        EXPECT_EQ(drive.IdleHandler, row.idle) << row.thr;
        EXPECT_EQ(drive.TimerMs, row.timerMs) << row.thr;
        EXPECT_EQ(drive.TimerRunsStep, row.timerSteps) << row.thr;
        EXPECT_EQ(drive.WorkerThread, row.worker) << row.thr;
        if (row.worker) {
            EXPECT_EQ(drive.Priority, row.priority) << row.thr;
        }
        EXPECT_EQ(drive.WorkerSleepMs, 20u);
    }
    EXPECT_EQ(SchedulerDriveFor(5, 0).WorkerSleepMs, 1u) << "SHR 0 sleeps 1 ms";
    EXPECT_EQ(ThreadPriorityName(SchedulerDriveFor(2, 0).Priority), "tpLowest");

    ResetAppSettings();
    const TSchedulerDrive defaults = CurrentSchedulerDrive();
    EXPECT_TRUE(defaults.WorkerThread);
    EXPECT_FALSE(defaults.IdleHandler);
    EXPECT_EQ(defaults.WorkerSleepMs, 1u);
}

using testing::DrivenKernel;

TEST(SchedulerDriveTest, TheTimerPostsDueMessagesAndStepsOnlyWithoutAThread) {
    ManualTickSource clock(10000);
    ScopedTickSource clockGuard(clock);
    DrivenKernel driven;
    driven.kernel.timed.InsertMess(
        TTimeMess::Create(TickMs() + 100, Adr(0x60, 1, 0x2001), Adr(0x60, 1, 0x2001), 0, 0, 7));

    SchedulerTimerTick(SchedulerDriveFor(5, 0));
    AppMessageQueue().PumpAll();
    EXPECT_EQ(driven.recorder->ticks, 0) << "with a thread the timer does not step";
    EXPECT_TRUE(testing::Deliveries().empty()) << "not due yet";

    clock.Advance(100);
    SchedulerTimerTick(SchedulerDriveFor(0, 0));
    AppMessageQueue().PumpAll();
    EXPECT_EQ(driven.recorder->ticks, 1);
    ASSERT_EQ(testing::Deliveries().size(), 1u);
    EXPECT_EQ(testing::Deliveries()[0].code, 7);
}

TEST(SchedulerDriveTest, AMessageDueAcrossTheTickWrapIsDeliveredNeitherEarlyNorLate) {
    ManualTickSource clock(0x1'0000'0000ull - 100);
    ScopedTickSource clockGuard(clock);
    DrivenKernel driven;
    driven.kernel.timed.InsertMess(
        TTimeMess::Create(TickMs() + 200, Adr(0x60, 1, 0x2001), Adr(0x60, 1, 0x2001), 0, 0, 3));
    const TSchedulerDrive drive = SchedulerDriveFor(5, 0);

    // Passes on both sides of the wrap of the 32-bit count, the last 1 ms before the due time.
    for (const std::uint64_t now : {0xFFFF'FFFFull, 0x1'0000'0000ull, 0x1'0000'0000ull + 99}) {
        clock.Set(now);
        SchedulerTimerTick(drive);
        AppMessageQueue().PumpAll();
        EXPECT_TRUE(testing::Deliveries().empty()) << "early at " << now;
    }
    EXPECT_EQ(driven.kernel.timed.Count(), 1u);

    clock.Set(0x1'0000'0000ull + 100);
    SchedulerTimerTick(drive);
    AppMessageQueue().PumpAll();
    ASSERT_EQ(testing::Deliveries().size(), 1u) << "late";
    EXPECT_EQ(testing::Deliveries()[0].code, 3);
    EXPECT_EQ(testing::Deliveries()[0].tick, 100u) << "the tick count after its wrap";
    EXPECT_EQ(driven.kernel.timed.Count(), 0u);
}

TEST(SchedulerDriveTest, TheWorkerThreadRunsStepsOnThePumpingThread) {
    ManualTickSource clock(0);
    ScopedTickSource clockGuard(clock);
    DrivenKernel driven;
    driven.kernel.timed.InsertMess(
        TTimeMess::Create(TickMs() + 1000, Adr(0x60, 1, 0x2001), Adr(0x60, 1, 0x2001), 0, 0, 9));

    TSchedulerDrive drive = SchedulerDriveFor(5, 0);
    drive.TimerMs = 5; // the timer only has to come round while the test waits
    SchedulerRunner runner(drive);
    runner.Start();

    // Steps run while the clock stands still before the due tick; the message stays queued.
    runner.RunPlainPump([&] { return driven.recorder->ticks >= 20; });
    EXPECT_GE(runner.WorkerSteps(), 20u);
    EXPECT_TRUE(testing::Deliveries().empty());
    EXPECT_EQ(driven.kernel.timed.Count(), 1u);

    clock.Set(999);
    const int ticksBefore = driven.recorder->ticks;
    runner.RunPlainPump([&] { return driven.recorder->ticks >= ticksBefore + 20; });
    EXPECT_TRUE(testing::Deliveries().empty()) << "1 ms early";

    clock.Set(1000);
    runner.RunPlainPump([&] { return !testing::Deliveries().empty(); });
    EXPECT_EQ(testing::Deliveries()[0].code, 9);
    EXPECT_EQ(driven.kernel.timed.Count(), 0u);
    runner.Stop();
    const std::uint64_t stopped = runner.WorkerSteps();
    AppMessageQueue().PumpAll();
    EXPECT_EQ(runner.WorkerSteps(), stopped) << "no step after the stop";
}

TEST(SchedulerDriveTest, WorkerStepsRunOnTheOwnerThreadOnly) {
    std::vector<std::thread::id> threads;
    TWorkerThread worker([&threads] { threads.push_back(std::this_thread::get_id()); }, 0);
    EXPECT_EQ(worker.Interval(), 1u) << "0 acts as 1";
    worker.Resume();
    while (threads.size() < 5) {
        AppMessageQueue().WaitAndPump(std::chrono::milliseconds(10));
    }
    worker.Terminate();
    EXPECT_FALSE(worker.Running());
    for (const std::thread::id id : threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST(SchedulerDriveTest, TerminatingWhileTheThreadWaitsForARunDoesNotHang) {
    TWorkerThread worker([] {}, 1000);
    worker.Resume();
    // Let the thread ask for its first run without pumping it.
    while (AppMessageQueue().PendingCount() == 0) {
        std::this_thread::yield();
    }
    worker.Terminate();
    EXPECT_EQ(worker.Runs(), 0u);
    EXPECT_EQ(AppMessageQueue().PendingCount(), 0u);
}

TEST(SchedulerDriveTest, TheIdleDriveStepsWheneverTheQueueIsEmpty) {
    DrivenKernel driven;
    SchedulerRunner runner(SchedulerDriveFor(0, 0));
    runner.Start();
    runner.RunPlainPump([&] { return driven.recorder->ticks >= 50; });
    EXPECT_EQ(runner.WorkerSteps(), 0u) << "THR 0 has no thread";
}

} // namespace
} // namespace ravlo
