#include "kernel/worker_thread.h"

#include "kernel/exception_log.h"
#include "platform/window_messages.h"

#include <chrono>

namespace ravlo {
namespace {

constexpr std::uint32_t kRunCallback = WM_USER + 0x101;

} // namespace

TWorkerThread::TWorkerThread(Callback callback, std::uint32_t intervalMs, TThreadPriority priority,
                             MessageQueue& queue)
    : callback_(std::move(callback)), interval_(intervalMs == 0 ? 1 : intervalMs), priority_(priority),
      queue_(queue), registration_(queue, *this) {}

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
    wake_.notify_all();
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
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, std::chrono::milliseconds(interval_), [this] { return terminated_; })) {
            return;
        }
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
