#include "kernel/scheduler_drive.h"
#include "platform/thread_schedule.h"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace ravlo {

// For failure messages: "idle policy" or "nice n".
static void PrintTo(const ThreadSchedule& schedule, std::ostream* out) {
    *out << ScheduleText(schedule);
}

namespace {

// What each THR value drives the scheduler by, and how the worker thread is scheduled when the
// program was started at nice 0.
TEST(SchedulerDriveTest, EachThrValueChoosesItsDriveAndTheWorkersSchedule) {
    constexpr ThreadSchedule kIdle{.Idle = true, .Nice = 0};
    const auto nice = [](int value) {
        return ThreadSchedule{.Idle = false, .Nice = value};
    };
    const struct {
        unsigned thr;
        bool idleHandler;
        std::uint32_t timerMs;
        bool timerRunsStep;
        std::optional<ThreadSchedule> worker;
    } cases[] = {
        {0, true, kStepTimerMs, true, std::nullopt}, {1, true, kFormTimerMs, false, kIdle},
        {2, true, kFormTimerMs, false, nice(10)},    {3, true, kFormTimerMs, false, nice(5)},
        {4, false, kFormTimerMs, false, nice(0)},    {5, false, kFormTimerMs, false, nice(-5)},
        {6, false, kFormTimerMs, false, nice(-10)},  {7, false, kFormTimerMs, false, nice(-20)},
        {8, false, kFormTimerMs, false, nice(-5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("THR " + std::to_string(c.thr));
        const TSchedulerDrive drive = SchedulerDriveFor(c.thr, 0);
        EXPECT_EQ(drive.IdleHandler, c.idleHandler);
        EXPECT_EQ(drive.TimerMs, c.timerMs);
        EXPECT_EQ(drive.TimerRunsStep, c.timerRunsStep);
        EXPECT_EQ(drive.WorkerThread, c.worker.has_value());
        if (drive.WorkerThread && c.worker) {
            EXPECT_EQ(ScheduleForPriority(drive.Priority, 0), *c.worker)
                << ThreadPriorityName(drive.Priority);
        }
    }
}

} // namespace
} // namespace ravlo
