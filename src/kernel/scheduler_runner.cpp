#include "kernel/scheduler_runner.h"

#include <algorithm>
#include <chrono>

namespace ravlo {
namespace {

// The longest a plain pump waits before it looks at its stop condition again.
constexpr std::chrono::milliseconds kLongestWait{20};

} // namespace

SchedulerRunner::SchedulerRunner(const TSchedulerDrive& drive, MessageQueue& queue)
    : drive_(drive), queue_(queue) {
    if (drive_.WorkerThread) {
        TWorkerThread::DueQuery due;
        if (drive_.PauseUntilDue) {
            due = SchedulerNextStepDue;
        }
        worker_ = std::make_unique<TWorkerThread>(SchedulerStep, drive_.WorkerSleepMs, drive_.Priority,
                                                  queue_, AppInputWake(), std::move(due));
    }
}

SchedulerRunner::~SchedulerRunner() {
    Stop();
}

void SchedulerRunner::Start() {
    if (worker_ && !stopped_) {
        worker_->Resume();
    }
}

void SchedulerRunner::Stop() {
    stopped_ = true;
    if (worker_) {
        worker_->Terminate();
    }
}

void SchedulerRunner::OnTimer() {
    if (!stopped_) {
        SchedulerTimerTick(drive_);
        ++timerTicks_;
    }
}

void SchedulerRunner::OnIdle() {
    if (!stopped_ && drive_.IdleHandler) {
        SchedulerStep();
    }
}

void SchedulerRunner::Reschedule() {
    if (!stopped_ && worker_) {
        worker_->Reschedule();
    }
}

void SchedulerRunner::RunPlainPump(const std::function<bool()>& stop) {
    using Clock = std::chrono::steady_clock;
    const auto interval = std::chrono::milliseconds(drive_.TimerMs);
    auto nextTimer = Clock::now() + interval;
    while (!stop()) {
        const auto now = Clock::now();
        if (now >= nextTimer) {
            OnTimer();
            nextTimer = now + interval;
        }
        if (drive_.IdleHandler) {
            queue_.PumpAll();
            if (queue_.PendingCount() == 0) {
                OnIdle();
            }
        } else {
            Reschedule();
            const auto untilTimer =
                std::chrono::duration_cast<std::chrono::milliseconds>(nextTimer - Clock::now());
            queue_.WaitAndPump(std::clamp(untilTimer, std::chrono::milliseconds(0), kLongestWait));
        }
    }
}

} // namespace ravlo
