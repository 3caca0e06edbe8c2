#pragma once

#include "kernel/scheduler_drive.h"
#include "kernel/worker_thread.h"
#include "platform/message_queue.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace ravlo {

// The scheduler drive of one program run: the worker thread when the drive has one, and the timer
// and idle handlers that a loop calls. The GUI calls them from Qt timers (kernel/ui); headless runs
// and tests run them on the plain pump (RunPlainPump). Owner thread only.
class SchedulerRunner {
public:
    explicit SchedulerRunner(const TSchedulerDrive& drive, MessageQueue& queue = AppMessageQueue());
    ~SchedulerRunner();
    SchedulerRunner(const SchedulerRunner&) = delete;
    SchedulerRunner& operator=(const SchedulerRunner&) = delete;

    // Resumes the worker thread (at the end of the main form's creation).
    void Start();
    // Ends the worker thread; the handlers do nothing afterwards.
    void Stop();

    const TSchedulerDrive& Drive() const { return drive_; }
    // The tick timer: due timed messages, and a step when the drive says so.
    void OnTimer();
    // The idle handler: a step when the drive has one.
    void OnIdle();
    // The loop has handled what it had and is about to wait: the worker learns when the next step
    // is due (TWorkerThread::Reschedule).
    void Reschedule();
    // Steps the worker thread has run.
    std::uint64_t WorkerSteps() const { return worker_ ? worker_->Runs() : 0; }
    // Timer expiries handled so far.
    std::uint64_t TimerTicks() const { return timerTicks_; }

    // Pumps the queue and drives the timer and the idle handler until stop answers true (asked after
    // every round). Without an idle handler it sleeps while nothing is queued and no timer is due.
    void RunPlainPump(const std::function<bool()>& stop);

private:
    TSchedulerDrive drive_;
    MessageQueue& queue_;
    std::unique_ptr<TWorkerThread> worker_;
    bool stopped_ = false;
    std::uint64_t timerTicks_ = 0;
};

} // namespace ravlo
