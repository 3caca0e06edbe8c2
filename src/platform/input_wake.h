#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace ravlo {

class InputWaiter;

// The input sources (file descriptors) whose arrival of data may end a pause early: a serial port
// registers its descriptor while it is open, and the scheduler's worker thread pauses through an
// InputWaiter, so an answer waiting in the port is handled at once instead of after the pause.
// Thread-safe.
class InputWakeRegistry {
public:
    InputWakeRegistry() = default;
    InputWakeRegistry(const InputWakeRegistry&) = delete;
    InputWakeRegistry& operator=(const InputWakeRegistry&) = delete;

    // A descriptor registered twice must be unregistered twice.
    void Register(int fd);
    // Interrupts every wait that watches fd and returns once none does any more, so the caller may
    // close the descriptor. Never call it while holding up a waiting thread.
    void Unregister(int fd);

    std::size_t Count() const;
    bool IsRegistered(int fd) const;
    // Waits under way that have sorted out their descriptors and now sleep until one turns readable.
    std::size_t WatchingWaits() const { return watching_.load(); }

private:
    friend class InputWaiter;

    void AddWaiter(InputWaiter& waiter);
    void RemoveWaiter(InputWaiter& waiter);
    // Copies the descriptors into fds and marks the waiter as polling them.
    void BeginPoll(InputWaiter& waiter, std::vector<int>& fds);
    void EndPoll(InputWaiter& waiter);
    // Tells the waiters that the set changed (called with mutex_ held).
    void SignalWaiters();

    mutable std::mutex mutex_;
    std::condition_variable pollEnded_;
    std::vector<int> fds_;
    std::vector<InputWaiter*> waiters_;
    std::uint64_t generation_ = 1;
    std::atomic<std::size_t> watching_{0};
};

// The program's registry.
InputWakeRegistry& AppInputWake();

// Keeps a descriptor registered for its lifetime; unregister (Reset) before closing the descriptor.
class InputWakeRegistration {
public:
    InputWakeRegistration() = default;
    explicit InputWakeRegistration(int fd, InputWakeRegistry& registry = AppInputWake());
    ~InputWakeRegistration() { Reset(); }
    InputWakeRegistration(InputWakeRegistration&& other) noexcept;
    InputWakeRegistration& operator=(InputWakeRegistration&& other) noexcept;
    InputWakeRegistration(const InputWakeRegistration&) = delete;
    InputWakeRegistration& operator=(const InputWakeRegistration&) = delete;

    void Reset();
    bool Active() const { return registry_ != nullptr; }

private:
    int fd_ = -1;
    InputWakeRegistry* registry_ = nullptr;
};

enum class InputWaitEnd { TimedOut, InputReady, Interrupted };

// The pauses of one thread. A pause ends early only when a registered descriptor turns readable
// while it lasts: a descriptor that is already readable when the pause begins (its data left
// unread since the last pause, or come in meanwhile) is left out of that pause, so a source that
// stays readable never turns the pauses into a busy loop. A descriptor registered during a pause
// is watched from then on. With nothing registered a pause is a plain sleep that Interrupt can cut
// short.
class InputWaiter {
public:
    explicit InputWaiter(InputWakeRegistry& registry = AppInputWake());
    ~InputWaiter();
    InputWaiter(const InputWaiter&) = delete;
    InputWaiter& operator=(const InputWaiter&) = delete;

    // Waits at most ms milliseconds; at most heldMs when a descriptor is already readable as the
    // wait begins (input that the caller has yet to take must not wait out a long pause). One thread
    // at a time.
    InputWaitEnd WaitForInputOrTimeout(std::uint32_t ms, std::uint32_t heldMs = UINT32_MAX);
    // Ends the current wait at once, or the next one when none is under way. Any thread.
    void Interrupt();

    // The descriptors that ended the last wait.
    const std::vector<int>& LastReady() const { return lastReady_; }
    // Waits ended by input so far.
    std::uint64_t InputWakeups() const { return inputWakeups_.load(); }

private:
    friend class InputWakeRegistry;

    void Signal();
    void DrainSignal();

    InputWakeRegistry& registry_;
    int signalFd_ = -1;
    std::atomic<bool> interruptAsked_{false};
    std::uint64_t pollingGeneration_ = 0; // guarded by the registry's mutex; 0 = not polling
    std::vector<int> lastReady_;
    std::atomic<std::uint64_t> inputWakeups_{0};
};

} // namespace ravlo
