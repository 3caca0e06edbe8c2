#pragma once

#include "kernel/scheduler_drive.h"
#include "platform/input_wake.h"
#include "platform/message_queue.h"
#include "platform/thread_schedule.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace ravlo {

// A thread that has a callback run on the message queue's owner thread over and over: it asks for
// one run, waits until the run is done, then pauses. The pause ends early when a descriptor of the
// input wake registry turns readable (an answer waiting in a serial port), so input is handled at
// once. The runs arrive as messages, so the callback never runs beside the owner thread's other
// work, whether a Qt loop or a plain pump delivers them. Created suspended; build, Resume and
// Terminate it on the owner thread, and never terminate it from within the callback.
//
// Without a due query every pause lasts Interval ms (0 acts as 1). With one, the owner thread asks
// it after each run: while the next run is due within Interval the pause is Interval as before;
// otherwise the thread sleeps until the run is due (at most kLongestPause), and the owner thread
// ends that sleep early through Reschedule when a run has become due sooner (a message handled, a
// command given). So an idle program costs next to nothing, and work under way keeps the Interval
// pace.
//
// The thread runs at its priority (see ScheduleForPriority) from its start: lowering needs no
// privilege, raising may be refused, and then the thread runs at normal priority and Resume writes
// one line that says why to channel 0 and the runtime log.
class TWorkerThread final : public MessageTarget {
public:
    using Callback = std::function<void()>;
    // Puts the calling thread under a schedule; answers 0 or the errno of a refusal.
    using ScheduleApplier = std::function<int(const ThreadSchedule&)>;
    // When the next run is due (TickMs ms), nullopt for no time; asked on the owner thread.
    using DueQuery = std::function<std::optional<std::uint64_t>(std::uint64_t now)>;

    // The longest sleep while no run is due: a safety net for work that nobody announced.
    static constexpr std::uint32_t kLongestPause = 1000;

    TWorkerThread(Callback callback, std::uint32_t intervalMs,
                  TThreadPriority priority = TThreadPriority::tpNormal,
                  MessageQueue& queue = AppMessageQueue(), InputWakeRegistry& inputs = AppInputWake(),
                  DueQuery due = {});
    ~TWorkerThread() override;
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // Starts the thread and returns once it runs at its priority (or the priority was refused).
    void Resume();
    // Stops the thread and waits for it; a run asked for and not yet begun is dropped.
    void Terminate();
    bool Running() const { return thread_.joinable(); }

    std::uint32_t Interval() const { return interval_; }
    TThreadPriority Priority() const { return priority_; }
    // Before Resume: how the thread applies its priority (ApplyThreadSchedule unless replaced).
    void SetScheduleApplier(ScheduleApplier apply) { applySchedule_ = std::move(apply); }
    // The thread's id (ps -L: LWP) once Resume has returned; 0 before.
    int ThreadId() const { return threadId_.load(); }
    // Runs completed so far.
    std::uint64_t Runs() const { return runs_.load(); }
    // Pauses that input ended early.
    std::uint64_t InputWakeups() const { return waiter_.InputWakeups(); }
    // Owner thread: asks the due query again and ends a long sleep when the next run is due sooner
    // than it ends. Cheap; call it whenever the owner thread has handled something and is about to
    // wait.
    void Reschedule();

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    // What the thread found when it applied its priority.
    struct ScheduleOutcome {
        ThreadSchedule Asked;
        int Error = 0;
    };

    // On the new thread: names it and applies its priority.
    ScheduleOutcome ApplyPriority();
    // On the owner thread: the log line of a refusal, the trace of a success.
    void ReportPriority(const ScheduleOutcome& outcome) const;
    // The thread's loop; window is the target's handle, read before the thread starts.
    void Execute(WindowHandle window);
    // The pause after a run.
    void Pause();
    // The due query's answer as a TickMs value; kNotDue for none.
    std::uint64_t AskDue() const;

    static constexpr std::uint64_t kNotDue = UINT64_MAX;

    Callback callback_;
    std::uint32_t interval_;
    TThreadPriority priority_;
    ScheduleApplier applySchedule_ = ApplyThreadSchedule;
    std::atomic<int> threadId_{0};
    MessageQueue& queue_;
    WindowRegistration registration_;
    std::atomic<std::uint64_t> runs_{0};
    InputWaiter waiter_;
    DueQuery due_;
    // When the next run is due, as the owner thread last found; and the end of the long sleep under
    // way (0 while none is), both TickMs values.
    std::atomic<std::uint64_t> nextDue_{0};
    std::atomic<std::uint64_t> sleepEnd_{0};
    std::mutex mutex_;
    bool terminated_ = false;
    std::thread thread_;
};

} // namespace ravlo
