#include "kernel/worker_thread.h"

#include "kernel/exception_log.h"
#include "platform/window_messages.h"

namespace ravlo {
namespace {

constexpr std::uint32_t kRunCallback = WM_USER + 0x101;

} // namespace

TWorkerThread::TWorkerThread(Callback callback, std::uint32_t intervalMs, TThreadPriority priority,
                             MessageQueue& queue, InputWakeRegistry& inputs)
    : callback_(std::move(callback)), interval_(intervalMs == 0 ? 1 : intervalMs), priority_(priority),
      queue_(queue), registration_(queue, *this), waiter_(inputs) {}

TWorkerThread::~TWorkerThread() {
    Terminate();
}

void TWorkerThread::Resume() {
    const std::lock_guard lock(mutex_);
    if (!thread_.joinable() && !terminated_ && callback_) {
        thread_ = std::thread([this, window = registration_.Handle()] { Execute(window); });
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
        // One pause per run: input can end it early, but input left unread by the run cannot
        // end the next one (see InputWaiter), so a source that stays readable costs no busy loop.
        waiter_.WaitForInputOrTimeout(interval_);
    }
}

std::intptr_t TWorkerThread::HandleMessage(std::uint32_t msg, std::uintptr_t, std::intptr_t) {
    if (msg != kRunCallback) {
        return 0;
    }
    try {
        callback_();
    } catch (...) {
        LogCaughtException("TWorkerThread");
    }
    runs_.fetch_add(1);
    return 1;
}

} // namespace ravlo
