#include "kernel/worker_thread.h"

#include "framework/writer_channels.h"
#include "kernel/exception_log.h"
#include "kernel/kernel_debug.h"
#include "platform/tick.h"
#include "platform/window_messages.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <string>

namespace ravlo {
namespace {

constexpr std::uint32_t kRunCallback = WM_USER + 0x101;

} // namespace

TWorkerThread::TWorkerThread(Callback callback, std::uint32_t intervalMs, TThreadPriority priority,
                             MessageQueue& queue, InputWakeRegistry& inputs, DueQuery due)
    : callback_(std::move(callback)), interval_(intervalMs == 0 ? 1 : intervalMs), priority_(priority),
      queue_(queue), registration_(queue, *this), waiter_(inputs), due_(std::move(due)) {}

TWorkerThread::~TWorkerThread() {
    Terminate();
}

void TWorkerThread::Resume() {
    std::future<ScheduleOutcome> applied;
    {
        const std::lock_guard lock(mutex_);
        if (thread_.joinable() || terminated_ || !callback_) {
            return;
        }
        std::promise<ScheduleOutcome> outcome;
        applied = outcome.get_future();
        thread_ =
            std::thread([this, window = registration_.Handle(), outcome = std::move(outcome)]() mutable {
                outcome.set_value(ApplyPriority());
                Execute(window);
            });
    }
    ReportPriority(applied.get());
}

TWorkerThread::ScheduleOutcome TWorkerThread::ApplyPriority() {
    SetCurrentThreadName("TWorkerThread");
    const int threadId = CurrentThreadId();
    threadId_.store(threadId);
    const ThreadSchedule normal = ReadThreadSchedule(threadId).value_or(ThreadSchedule{});
    ScheduleOutcome outcome{ScheduleForPriority(priority_, normal.Nice), 0};
    if (outcome.Asked != normal) {
        outcome.Error = applySchedule_(outcome.Asked);
    }
    return outcome;
}

void TWorkerThread::ReportPriority(const ScheduleOutcome& outcome) const {
    const std::string asked = "TWorkerThread priority " + std::string(ThreadPriorityName(priority_)) + " (" +
                              ScheduleText(outcome.Asked);
    if (outcome.Error != 0) {
        Writelnsys(0, asked + ") refused: " + std::strerror(outcome.Error) +
                          "; the thread runs at normal priority");
    } else {
        TraceInit(asked + ")");
    }
}

void TWorkerThread::Terminate() {
    {
        const std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    waiter_.Interrupt();
    // Unregistering answers a run the thread is waiting for, so it cannot hang in Send.
    registration_.Reset();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void TWorkerThread::Execute(WindowHandle window) {
    for (;;) {
        {
            const std::lock_guard lock(mutex_);
            if (terminated_) {
                return;
            }
        }
        if (!queue_.Send(window, kRunCallback, 0, 0)) {
            return; // the window is gone: terminated
        }
        Pause();
    }
}

void TWorkerThread::Pause() {
    // One pause per run: input can end it early, but input left unread by the run cannot end the
    // next one (see InputWaiter), so a source that stays readable costs no busy loop.
    if (!due_) {
        waiter_.WaitForInputOrTimeout(interval_);
        return;
    }
    const std::uint64_t now = TickMs();
    const std::uint64_t due = nextDue_.load();
    if (due <= now + interval_) {
        waiter_.WaitForInputOrTimeout(interval_);
        return;
    }
    const std::uint64_t end = std::min(due, now + kLongestPause);
    sleepEnd_.store(end);
    // Reschedule may have moved the due time before it could see this sleep: look again.
    if (nextDue_.load() < end) {
        sleepEnd_.store(0);
        waiter_.WaitForInputOrTimeout(interval_);
        return;
    }
    // Input that is already waiting is taken after the usual short pause.
    waiter_.WaitForInputOrTimeout(static_cast<std::uint32_t>(end - now), interval_);
    sleepEnd_.store(0);
}

std::uint64_t TWorkerThread::AskDue() const {
    const std::optional<std::uint64_t> due = due_(TickMs());
    return due ? *due : kNotDue;
}

void TWorkerThread::Reschedule() {
    if (!due_) {
        return;
    }
    const std::uint64_t due = AskDue();
    nextDue_.store(due);
    std::uint64_t end = sleepEnd_.load();
    if (end != 0 && due < end && sleepEnd_.compare_exchange_strong(end, 0)) {
        waiter_.Interrupt();
    }
}

std::intptr_t TWorkerThread::HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t) {
    if (msg != kRunCallback) {
        return 0;
    }
    try {
        callback_();
        if (due_) {
            nextDue_.store(AskDue());
        }
    } catch (...) {
        LogCaughtException("TWorkerThread");
    }
    runs_.fetch_add(1);
    return 1;
}

} // namespace ravlo
