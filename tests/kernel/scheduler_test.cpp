#include "kernel/scheduler_drive.h"
#include "kernel/scheduler_runner.h"
#include "kernel/worker_thread.h"
#include "kernel_test_support.h"
#include "platform/input_wake.h"
#include "platform/message_queue.h"
#include "platform/thread_schedule.h"
#include "platform/tick.h"
#include "support/app_fixtures.h"
#include "support/nonblocking_pipe.h"
#include "support/wait_until.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace ravlo {
namespace {

using testing::Adr;
using testing::Deliveries;
using testing::DoneOrGiveUp;
using testing::DrivenKernel;

void InsertTimed(DrivenKernel& driven, std::uint64_t due, std::uint8_t code) {
    driven.kernel.timed.InsertMess(
        TTimeMess::Create(due, Adr(0x60, 1, 0x2001), Adr(0x60, 1, 0x2001), 0, 0, code));
}

TEST(SchedulerDriveTest, ShrZeroStillPausesTheWorker) {
    EXPECT_EQ(SchedulerDriveFor(5, 0).WorkerSleepMs, 1u) << "never a busy loop";
}

TEST(SchedulerDriveTest, TheTimerPostsDueMessagesNeitherEarlyNorLateAndStepsOnlyWithoutAThread) {
    ManualTickSource clock(0x1'0000'0000ull - 100);
    ScopedTickSource clockGuard(clock);
    DrivenKernel driven;
    InsertTimed(driven, TickMs() + 200, 3);
    const auto timerTick = [](unsigned thr) {
        SchedulerTimerTick(SchedulerDriveFor(thr, 0));
        AppMessageQueue().PumpAll();
    };
    // Passes on both sides of the wrap of the 32-bit count, the last 1 ms before the due time.
    for (const std::uint64_t now : {0xFFFF'FFFFull, 0x1'0000'0000ull, 0x1'0000'0000ull + 99}) {
        clock.Set(now);
        timerTick(5);
        EXPECT_TRUE(Deliveries().empty()) << "early at " << now;
    }
    EXPECT_EQ(driven.recorder->ticks, 0) << "with a thread the timer does not step";
    clock.Set(0x1'0000'0000ull + 100);
    timerTick(0);
    EXPECT_EQ(driven.recorder->ticks, 1);
    ASSERT_EQ(Deliveries().size(), 1u) << "late";
    EXPECT_EQ(Deliveries()[0].code, 3);
    EXPECT_EQ(Deliveries()[0].tick, 100u) << "the tick count after its wrap";
    EXPECT_EQ(driven.kernel.timed.Count(), 0u);
}

TEST(SchedulerDriveTest, TheWorkerThreadStepsWhileTheTimerDeliversOnTime) {
    ManualTickSource clock(0);
    ScopedTickSource clockGuard(clock);
    DrivenKernel driven;
    InsertTimed(driven, TickMs() + 1000, 9);
    TSchedulerDrive drive = SchedulerDriveFor(5, 0);
    drive.TimerMs = 5; // the timer only has to come round while the test waits
    SchedulerRunner runner(drive);
    runner.Start();

    // Steps run while the clock stands still before the due tick; the message stays queued.
    runner.RunPlainPump(
        DoneOrGiveUp([&] { return driven.recorder->ticks >= 20 && runner.TimerTicks() >= 2; }));
    EXPECT_GE(runner.WorkerSteps(), 20u);
    EXPECT_TRUE(Deliveries().empty());

    clock.Set(1000);
    runner.RunPlainPump(DoneOrGiveUp([] { return !Deliveries().empty(); }));
    ASSERT_EQ(Deliveries().size(), 1u);
    EXPECT_EQ(Deliveries()[0].tick, 1000u);
    runner.Stop();
    const std::uint64_t stopped = runner.WorkerSteps();
    AppMessageQueue().PumpAll();
    EXPECT_EQ(runner.WorkerSteps(), stopped) << "no step after the stop";
}

TEST(SchedulerDriveTest, TheIdleDriveStepsWheneverTheQueueIsEmpty) {
    DrivenKernel driven;
    SchedulerRunner runner(SchedulerDriveFor(0, 0));
    runner.Start();
    runner.RunPlainPump(DoneOrGiveUp([&] { return driven.recorder->ticks >= 50; }));
    EXPECT_GE(driven.recorder->ticks, 50);
    EXPECT_EQ(runner.WorkerSteps(), 0u) << "THR 0 has no thread";
}

TEST(WorkerThreadTest, StepsRunOnTheOwnerThreadOnlyAndTerminateWhileARunIsAskedForDoesNotHang) {
    std::vector<std::thread::id> threads;
    TWorkerThread worker([&threads] { threads.push_back(std::this_thread::get_id()); }, 0);
    worker.Resume();
    ASSERT_TRUE(testing::WaitUntil([&] { return threads.size() >= 5; },
                                   [] { AppMessageQueue().WaitAndPump(std::chrono::milliseconds(10)); }));
    worker.Terminate();
    EXPECT_FALSE(worker.Running());
    for (const std::thread::id id : threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }

    TWorkerThread waiting([] {}, 1000);
    waiting.Resume();
    // Let the thread ask for its first run without pumping it.
    ASSERT_TRUE(testing::WaitUntil([] { return AppMessageQueue().PendingCount() != 0; }));
    waiting.Terminate();
    EXPECT_EQ(waiting.Runs(), 0u);
    EXPECT_EQ(AppMessageQueue().PendingCount(), 0u);
}

constexpr TThreadPriority kLevelsUp[] = {TThreadPriority::tpIdle,        TThreadPriority::tpLowest,
                                         TThreadPriority::tpLower,       TThreadPriority::tpNormal,
                                         TThreadPriority::tpHigher,      TThreadPriority::tpHighest,
                                         TThreadPriority::tpTimeCritical};

bool PumpUntilRuns(const TWorkerThread& worker, std::uint64_t runs) {
    return testing::WaitUntil([&] { return worker.Runs() >= runs; },
                              [] { AppMessageQueue().WaitAndPump(std::chrono::milliseconds(10)); });
}

TEST(ThreadPriorityTest, LevelsGoUpInNiceStepsAroundNormalWithinTheRangeAndIdleIsAPolicyOfItsOwn) {
    for (const int normal : {0, 7, ThreadSchedule::kNiceMin, ThreadSchedule::kNiceMax}) {
        EXPECT_TRUE(ScheduleForPriority(TThreadPriority::tpIdle, normal).Idle);
        EXPECT_EQ(ScheduleForPriority(TThreadPriority::tpNormal, normal), (ThreadSchedule{false, normal}));
        int previous = ThreadSchedule::kNiceMax + 1;
        for (const TThreadPriority level : std::span(kLevelsUp).subspan(1)) {
            const ThreadSchedule schedule = ScheduleForPriority(level, normal);
            EXPECT_FALSE(schedule.Idle);
            EXPECT_GE(schedule.Nice, ThreadSchedule::kNiceMin);
            EXPECT_LE(schedule.Nice, ThreadSchedule::kNiceMax);
            EXPECT_LE(schedule.Nice, previous) << ThreadPriorityName(level) << " is not above the one below";
            // Away from the ends of the range every level is a step of its own.
            if (normal == 0) {
                EXPECT_LT(schedule.Nice, previous) << ThreadPriorityName(level);
            }
            previous = schedule.Nice;
        }
    }
}

// Raising may need a privilege this run lacks: then the level is refused and the thread runs at
// normal priority, and one line says so; either way the thread works.
TEST(ThreadPriorityTest, TheRunningWorkerThreadIsScheduledByItsLevelOrRefusedAtNormal) {
    testing::CapturedWriter writer;
    const ThreadSchedule normal = ReadThreadSchedule(CurrentThreadId()).value();
    for (const TThreadPriority level : kLevelsUp) {
        const std::size_t linesBefore = writer.Lines().size();
        TWorkerThread worker([] {}, 1, level);
        worker.Resume();
        const std::optional<ThreadSchedule> applied = ReadThreadSchedule(worker.ThreadId());
        ASSERT_TRUE(applied.has_value()) << ThreadPriorityName(level);
        const bool refused = writer.Lines().size() != linesBefore;
        if (refused) {
            EXPECT_EQ(*applied, normal) << ThreadPriorityName(level);
            EXPECT_LT(ScheduleForPriority(level, normal.Nice).Nice, normal.Nice) << "only raising is refused";
        } else {
            EXPECT_EQ(*applied, ScheduleForPriority(level, normal.Nice)) << ThreadPriorityName(level);
        }
        EXPECT_TRUE(PumpUntilRuns(worker, 2)) << ThreadPriorityName(level);
        worker.Terminate();
    }
    EXPECT_EQ(ReadThreadSchedule(CurrentThreadId()), normal) << "the owner thread keeps its own";
}

TEST(ThreadPriorityTest, ARefusedRaiseWritesOneLineWhyAndTheThreadRunsOnAtNormalPriority) {
    testing::CapturedWriter writer;
    const ThreadSchedule normal = ReadThreadSchedule(CurrentThreadId()).value();
    TWorkerThread worker([] {}, 1, TThreadPriority::tpHighest);
    std::vector<ThreadSchedule> asked;
    worker.SetScheduleApplier([&asked](const ThreadSchedule& schedule) {
        asked.push_back(schedule);
        return EPERM;
    });
    worker.Resume();
    EXPECT_EQ(asked,
              (std::vector<ThreadSchedule>{ScheduleForPriority(TThreadPriority::tpHighest, normal.Nice)}));
    EXPECT_EQ(ReadThreadSchedule(worker.ThreadId()), normal);
    ASSERT_TRUE(PumpUntilRuns(worker, 5));
    ASSERT_EQ(writer.Lines().size(), 1u) << "one line, not one per step";
    const std::string& line = writer.Lines()[0];
    EXPECT_NE(line.find("tpHighest"), std::string::npos) << line;
    EXPECT_NE(line.find(std::strerror(EPERM)), std::string::npos) << line;
    EXPECT_NE(line.find("normal priority"), std::string::npos) << line;
}

// A pause twice as long as the test waits: a run arriving within a wait can only have been woken by
// input, and a pause that Terminate does not cut short fails the test without hanging it long.
constexpr auto kLongPauseMs = static_cast<std::uint32_t>(2 * testing::kWaitLimit.count() * 1000);

TEST(WorkerInputWakeTest, RunsThatReadTheInputAreWokenByEachNewArrivalAndTerminateEndsALongPause) {
    InputWakeRegistry inputs;
    testing::NonBlockingPipe pipe;
    const InputWakeRegistration registration(pipe.ReadEnd(), inputs);
    TWorkerThread worker([&pipe] { pipe.Drain(); }, kLongPauseMs, TThreadPriority::tpNormal,
                         AppMessageQueue(), inputs);
    worker.Resume();
    const auto pumpUntilRuns = [&worker](std::uint64_t runs) {
        return testing::WaitUntil([&] { return worker.Runs() >= runs; },
                                  [] { AppMessageQueue().WaitAndPump(std::chrono::milliseconds(10)); });
    };
    const auto pausing = [&inputs] {
        return inputs.WatchingWaits() != 0;
    };
    constexpr std::uint64_t kArrivals = 5;
    for (std::uint64_t arrival = 1; arrival <= kArrivals; ++arrival) {
        ASSERT_TRUE(pumpUntilRuns(arrival));
        ASSERT_TRUE(testing::WaitUntil(pausing));
        ASSERT_TRUE(pipe.Put());
    }
    ASSERT_TRUE(pumpUntilRuns(kArrivals + 1));
    EXPECT_EQ(worker.InputWakeups(), kArrivals);

    ASSERT_TRUE(testing::WaitUntil(pausing));
    const auto before = std::chrono::steady_clock::now();
    worker.Terminate();
    EXPECT_LT(std::chrono::steady_clock::now() - before, testing::kWaitLimit)
        << "the pause was not cut short";
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(worker.Runs(), kArrivals + 1);
}

} // namespace
} // namespace ravlo
