#pragma once

#include "kernel/scheduler_drive.h"
#include "platform/input_wake.h"
#include "platform/message_queue.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace ravlo {

// A thread that has a callback run on the message queue's owner thread over and over: it asks for
// one run, waits until the run is done, then sleeps Interval ms (0 acts as 1). The sleep ends early
// when a descriptor of the input wake registry turns readable (an answer waiting in a serial port),
// so input is handled at once; Interval stays the longest pause. The runs arrive as messages, so the callback
// never runs beside the owner thread's other work, whether a Qt loop or a plain pump delivers them. Created
// suspended; build, Resume and Terminate it on the owner thread, and never terminate it from within the
// callback.
class TWorkerThread final : public MessageTarget {
public:
    using Callback = std::function<void()>;

    TWorkerThread(Callback callback, std::uint32_t intervalMs,
                  TThreadPriority priority = TThreadPriority::tpNormal,
                  MessageQueue& queue = AppMessageQueue(), InputWakeRegistry& inputs = AppInputWake());
    ~TWorkerThread() override;
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    void Resume();
    // Stops the thread and waits for it; a run asked for and not yet begun is dropped.
    void Terminate();
    bool Running() const { return thread_.joinable(); }

    std::uint32_t Interval() const { return interval_; }
    TThreadPriority Priority() const { return priority_; }
    // Runs completed so far.
    std::uint64_t Runs() const { return runs_.load(); }
    // Pauses that input ended early.
    std::uint64_t InputWakeups() const { return waiter_.InputWakeups(); }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    // The thread's loop; window is the target's handle, read before the thread starts.
    void Execute(WindowHandle window);

    Callback callback_;
    std::uint32_t interval_;
    TThreadPriority priority_;
    MessageQueue& queue_;
    WindowRegistration registration_;
    std::atomic<std::uint64_t> runs_{0};
    InputWaiter waiter_;
    std::mutex mutex_;
    bool terminated_ = false;
    std::thread thread_;
};

} // namespace ravlo
