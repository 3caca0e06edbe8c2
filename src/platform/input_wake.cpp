#include "platform/input_wake.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace ravlo {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until the deadline, rounded up so that the wait never ends early.
int MsUntil(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        return 0;
    }
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<std::int64_t>(ms, 1'000'000));
}

} // namespace

void InputWakeRegistry::Register(int fd) {
    const std::lock_guard lock(mutex_);
    fds_.push_back(fd);
    ++generation_;
    SignalWaiters();
}

void InputWakeRegistry::Unregister(int fd) {
    std::unique_lock lock(mutex_);
    const auto found = std::find(fds_.begin(), fds_.end(), fd);
    if (found == fds_.end()) {
        return;
    }
    fds_.erase(found);
    const std::uint64_t current = ++generation_;
    SignalWaiters();
    // A poll that still holds the descriptor could see another file once its number is reused.
    pollEnded_.wait(lock, [&] {
        return std::none_of(waiters_.begin(), waiters_.end(), [current](const InputWaiter* waiter) {
            return waiter->pollingGeneration_ != 0 && waiter->pollingGeneration_ < current;
        });
    });
}

std::size_t InputWakeRegistry::Count() const {
    const std::lock_guard lock(mutex_);
    return fds_.size();
}

bool InputWakeRegistry::IsRegistered(int fd) const {
    const std::lock_guard lock(mutex_);
    return std::find(fds_.begin(), fds_.end(), fd) != fds_.end();
}

void InputWakeRegistry::AddWaiter(InputWaiter& waiter) {
    const std::lock_guard lock(mutex_);
    waiters_.push_back(&waiter);
}

void InputWakeRegistry::RemoveWaiter(InputWaiter& waiter) {
    const std::lock_guard lock(mutex_);
    std::erase(waiters_, &waiter);
    pollEnded_.notify_all();
}

void InputWakeRegistry::BeginPoll(InputWaiter& waiter, std::vector<int>& fds) {
    const std::lock_guard lock(mutex_);
    fds = fds_;
    waiter.pollingGeneration_ = generation_;
}

void InputWakeRegistry::EndPoll(InputWaiter& waiter) {
    {
        const std::lock_guard lock(mutex_);
        waiter.pollingGeneration_ = 0;
    }
    pollEnded_.notify_all();
}

void InputWakeRegistry::SignalWaiters() {
    for (InputWaiter* waiter : waiters_) {
        waiter->Signal();
    }
}

InputWakeRegistry& AppInputWake() {
    static InputWakeRegistry registry;
    return registry;
}

InputWakeRegistration::InputWakeRegistration(int fd, InputWakeRegistry& registry)
    : fd_(fd), registry_(&registry) {
    registry.Register(fd);
}

InputWakeRegistration::InputWakeRegistration(InputWakeRegistration&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), registry_(std::exchange(other.registry_, nullptr)) {}

InputWakeRegistration& InputWakeRegistration::operator=(InputWakeRegistration&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = std::exchange(other.fd_, -1);
        registry_ = std::exchange(other.registry_, nullptr);
    }
    return *this;
}

void InputWakeRegistration::Reset() {
    if (registry_ != nullptr) {
        std::exchange(registry_, nullptr)->Unregister(std::exchange(fd_, -1));
    }
}

InputWaiter::InputWaiter(InputWakeRegistry& registry)
    : registry_(registry), signalFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
    // Without an eventfd (descriptors used up) the waits still end on time, only not on a signal.
    registry_.AddWaiter(*this);
}

InputWaiter::~InputWaiter() {
    registry_.RemoveWaiter(*this);
    if (signalFd_ >= 0) {
        ::close(signalFd_);
    }
}

void InputWaiter::Signal() {
    if (signalFd_ >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(signalFd_, &one, sizeof one);
    }
}

void InputWaiter::DrainSignal() {
    std::uint64_t count = 0;
    if (signalFd_ >= 0) {
        [[maybe_unused]] const ssize_t got = ::read(signalFd_, &count, sizeof count);
    }
}

void InputWaiter::Interrupt() {
    interruptAsked_.store(true);
    Signal();
}

InputWaitEnd InputWaiter::WaitForInputOrTimeout(std::uint32_t ms, std::uint32_t heldMs) {
    lastReady_.clear();
    const Clock::time_point start = Clock::now();
    Clock::time_point deadline = start + std::chrono::milliseconds(ms);
    std::vector<int> registered;
    // Input already there when the wait begins does not end it; a descriptor registered while it
    // lasts is watched as it comes (it can end this wait once, and is held in the next).
    std::vector<int> held;
    bool firstRound = true;
    std::vector<pollfd> polled;
    for (;;) {
        // A signal left from before this round is stale: the set is read afresh below.
        DrainSignal();
        if (interruptAsked_.exchange(false)) {
            return InputWaitEnd::Interrupted;
        }
        registry_.BeginPoll(*this, registered);
        polled.clear();
        for (const int fd : registered) {
            polled.push_back({fd, POLLIN, 0});
        }
        if (std::exchange(firstRound, false) && !polled.empty() &&
            ::poll(polled.data(), polled.size(), 0) > 0) {
            for (const pollfd& entry : polled) {
                if (entry.revents != 0) {
                    held.push_back(entry.fd);
                }
            }
            if (!held.empty()) {
                deadline = std::min(deadline, start + std::chrono::milliseconds(heldMs));
            }
        }
        for (pollfd& entry : polled) {
            entry.revents = 0;
            if (std::find(held.begin(), held.end(), entry.fd) != held.end()) {
                entry.fd = -1; // poll skips negative descriptors
            }
        }
        polled.push_back({signalFd_, POLLIN, 0});
        registry_.watching_.fetch_add(1);
        const int ready = ::poll(polled.data(), polled.size(), MsUntil(deadline));
        const int error = errno;
        registry_.watching_.fetch_sub(1);
        registry_.EndPoll(*this);

        if (ready < 0 && error != EINTR) {
            // No poll to be had: the old plain pause, so the caller cannot spin.
            std::this_thread::sleep_until(deadline);
            return InputWaitEnd::TimedOut;
        }
        for (std::size_t i = 0; ready > 0 && i + 1 < polled.size(); ++i) {
            if (polled[i].revents != 0) {
                lastReady_.push_back(polled[i].fd);
            }
        }
        if (!lastReady_.empty()) {
            inputWakeups_.fetch_add(1);
            return InputWaitEnd::InputReady;
        }
        // Otherwise an interrupt or a changed set (both seen at the top), an EINTR, or the end.
        if (MsUntil(deadline) == 0 && !interruptAsked_.load()) {
            return InputWaitEnd::TimedOut;
        }
    }
}

} // namespace ravlo
