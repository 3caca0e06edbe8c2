#pragma once

#include "platform/thread_schedule.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace ravlo {

// Thread priorities the "APP" THR value names, from the lowest up.
enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
std::string_view ThreadPriorityName(TThreadPriority priority);
// How a thread of that priority is scheduled, around normalNice (the nice value the thread was
// started with): tpIdle under the idle policy, the others by nice steps of 5 below and above it
// (tpTimeCritical 20 below), kept within the range nice values have.
ThreadSchedule ScheduleForPriority(TThreadPriority priority, int normalNice);

// The form's tick-timer interval, and the shorter one that also runs the scheduler (THR 0).
inline constexpr std::uint32_t kFormTimerMs = 250;
inline constexpr std::uint32_t kStepTimerMs = 55;

// How the scheduler is driven, as THR and SHR choose:
// THR 0: idle handler and a 55 ms timer that posts due timed messages and runs a step; no thread.
// THR 1..3: idle handler, worker thread; the 250 ms timer only posts due timed messages.
// THR 4..7: worker thread only; the timer as for 1..3.
struct TSchedulerDrive {
    bool IdleHandler = false;
    std::uint32_t TimerMs = kFormTimerMs;
    bool TimerRunsStep = false;
    bool WorkerThread = false;
    std::uint32_t WorkerSleepMs = 1;
    TThreadPriority Priority = TThreadPriority::tpHigher;
    // The worker pauses WorkerSleepMs between steps only while a process has work under way; else
    // until the next step is due (SchedulerNextStepDue). Off, it steps every WorkerSleepMs whatever
    // the processes do (kept to compare the two).
    bool PauseUntilDue = true;
};

// The drive for THR (0..7; other values act as 5 for the priority) and SHR (0 acts as 1 ms).
TSchedulerDrive SchedulerDriveFor(unsigned thr, unsigned shr);
// The drive of the current "APP" settings.
TSchedulerDrive CurrentSchedulerDrive();

// One scheduler step: every registered window's processes are ticked.
void SchedulerStep();
// When the next step is due (TickMs ms), nullopt while nothing waits for time.
std::optional<std::uint64_t> SchedulerNextStepDue(std::uint64_t now);
// The tick timer's work: post the due timed messages (when there is a queue) and, when the drive
// says so, run one step.
void SchedulerTimerTick(const TSchedulerDrive& drive);

} // namespace ravlo
