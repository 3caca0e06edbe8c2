#pragma once

#include "platform/message_target.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>

namespace ravlo {

// The window message queue of the GUI thread (the queue's owner thread). Any thread may post;
// messages are delivered one at a time on the owner thread, in the order posted, by whoever pumps
// the queue: a plain loop (PumpAll, WaitAndPump) in headless runs and tests, or the GUI event loop,
// which learns of new messages through the wake handler.
//
// Targets are registered and unregistered on the owner thread only, and must stay alive while
// registered.
class MessageQueue {
public:
    // Called (on the thread that notices) for a posted message that can never be delivered, so that
    // a payload it owns can be freed. Must not throw.
    using DropHandler = std::function<void()>;
    using WakeHandler = std::function<void()>;

    // The constructing thread becomes the owner thread.
    MessageQueue();
    // Drops every pending message and releases every thread still waiting in Send.
    ~MessageQueue();
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    WindowHandle Register(MessageTarget& target);
    // Pending messages for the window are dropped at once; handles are not handed out again.
    void Unregister(WindowHandle window);
    bool IsRegistered(WindowHandle window) const;

    // Queues a message; false (nothing queued, onDrop not called) for a window that is not
    // registered. Thread-safe.
    bool Post(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
              DropHandler onDrop = {});

    // Delivers a message synchronously and answers the handler's result; nullopt for a window that
    // is not registered. On the owner thread the handler runs at once (re-entrantly); from another
    // thread the call waits until the owner thread pumps it, ahead of posted messages.
    std::optional<std::intptr_t> Send(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                      std::intptr_t lParam);

    // Delivers the oldest message; false when there was none.
    bool PumpOne();
    // Delivers the messages that were queued when it started (those posted meanwhile wait for the
    // next call, so a handler that keeps posting cannot starve the caller's loop); answers the count.
    std::size_t PumpAll();
    // Waits until a message is queued or the time-out passes, then pumps as PumpAll does.
    std::size_t WaitAndPump(std::chrono::milliseconds timeout);

    // Drops every pending message (onDrop for each) and releases waiting senders.
    void Clear();
    std::size_t PendingCount() const;

    // Called on the posting thread after every post and cross-thread send; the GUI loop uses it to
    // schedule a PumpAll on its own thread. Must not call back into Send from another thread.
    void SetWakeHandler(WakeHandler handler);

    void BindToCurrentThread();
    bool IsOwnerThread() const;

private:
    struct SendReply;
    struct QueuedMessage {
        WindowHandle window = kNoWindow;
        std::uint32_t msg = 0;
        std::uintptr_t wParam = 0;
        std::intptr_t lParam = 0;
        DropHandler onDrop;
        std::shared_ptr<SendReply> reply; // set for a message sent from another thread
    };

    std::optional<std::intptr_t> SendFromOtherThread(WindowHandle window, std::uint32_t msg,
                                                     std::uintptr_t wParam, std::intptr_t lParam);
    void Wake();
    // Takes the queued messages that match out of both queues; runs under the lock.
    std::deque<QueuedMessage> TakeMatching(const std::function<bool(const QueuedMessage&)>& matches);
    static void Abandon(std::deque<QueuedMessage>& messages);

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::unordered_map<WindowHandle, MessageTarget*> targets_;
    WindowHandle lastHandle_ = kNoWindow;
    std::deque<QueuedMessage> sent_;
    std::deque<QueuedMessage> posted_;
    std::shared_ptr<const WakeHandler> wake_;
    std::atomic<std::thread::id> owner_;
};

// Registers a target for the lifetime of the object.
class WindowRegistration {
public:
    WindowRegistration(MessageQueue& queue, MessageTarget& target)
        : queue_(&queue), handle_(queue.Register(target)) {}
    ~WindowRegistration() { Reset(); }
    WindowRegistration(WindowRegistration&& other) noexcept
        : queue_(other.queue_), handle_(std::exchange(other.handle_, kNoWindow)) {}
    WindowRegistration& operator=(WindowRegistration&& other) noexcept;
    WindowRegistration(const WindowRegistration&) = delete;
    WindowRegistration& operator=(const WindowRegistration&) = delete;

    WindowHandle Handle() const { return handle_; }
    void Reset();

private:
    MessageQueue* queue_;
    WindowHandle handle_;
};

// The program's one queue; its owner thread is the thread that first asks for it.
MessageQueue& AppMessageQueue();

} // namespace ravlo
