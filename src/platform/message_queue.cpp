#include "platform/message_queue.h"

namespace ravlo {

// The meeting point of a cross-thread Send and the owner thread that delivers it.
struct MessageQueue::SendReply {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::optional<std::intptr_t> result;

    void Finish(std::optional<std::intptr_t> value) {
        {
            const std::lock_guard lock(mutex);
            result = value;
            finished = true;
        }
        done.notify_all();
    }
};

MessageQueue::MessageQueue() : owner_(std::this_thread::get_id()) {}

MessageQueue::~MessageQueue() {
    Clear();
}

WindowHandle MessageQueue::Register(MessageTarget& target) {
    const std::lock_guard lock(mutex_);
    do {
        ++lastHandle_;
    } while (lastHandle_ == kNoWindow || targets_.contains(lastHandle_));
    targets_.emplace(lastHandle_, &target);
    return lastHandle_;
}

void MessageQueue::Unregister(WindowHandle window) {
    std::deque<QueuedMessage> orphans;
    {
        const std::lock_guard lock(mutex_);
        if (targets_.erase(window) == 0) {
            return;
        }
        orphans = TakeMatching([window](const QueuedMessage& message) { return message.window == window; });
    }
    Abandon(orphans);
}

bool MessageQueue::IsRegistered(WindowHandle window) const {
    const std::lock_guard lock(mutex_);
    return targets_.contains(window);
}

bool MessageQueue::Post(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                        DropHandler onDrop) {
    {
        const std::lock_guard lock(mutex_);
        if (!targets_.contains(window)) {
            return false;
        }
        posted_.push_back({window, msg, wParam, lParam, std::move(onDrop), nullptr});
    }
    arrived_.notify_all();
    Wake();
    return true;
}

std::optional<std::intptr_t> MessageQueue::Send(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam,
                                                std::intptr_t lParam) {
    if (!IsOwnerThread()) {
        return SendFromOtherThread(window, msg, wParam, lParam);
    }
    MessageTarget* target = nullptr;
    {
        const std::lock_guard lock(mutex_);
        const auto found = targets_.find(window);
        if (found == targets_.end()) {
            return std::nullopt;
        }
        target = found->second;
    }
    return target->HandleMessage(msg, wParam, lParam);
}

std::optional<std::intptr_t> MessageQueue::SendFromOtherThread(WindowHandle window, std::uint32_t msg,
                                                               std::uintptr_t wParam, std::intptr_t lParam) {
    auto reply = std::make_shared<SendReply>();
    {
        const std::lock_guard lock(mutex_);
        if (!targets_.contains(window)) {
            return std::nullopt;
        }
        sent_.push_back({window, msg, wParam, lParam, {}, reply});
    }
    arrived_.notify_all();
    Wake();
    std::unique_lock lock(reply->mutex);
    reply->done.wait(lock, [&reply] { return reply->finished; });
    return reply->result;
}

bool MessageQueue::PumpOne() {
    QueuedMessage message;
    MessageTarget* target = nullptr;
    {
        const std::lock_guard lock(mutex_);
        auto& queue = sent_.empty() ? posted_ : sent_;
        if (queue.empty()) {
            return false;
        }
        message = std::move(queue.front());
        queue.pop_front();
        // Unregister takes a window's messages with it, so the target is still there.
        target = targets_.at(message.window);
    }
    if (!message.reply) {
        target->HandleMessage(message.msg, message.wParam, message.lParam);
        return true;
    }
    try {
        message.reply->Finish(target->HandleMessage(message.msg, message.wParam, message.lParam));
    } catch (...) {
        message.reply->Finish(std::nullopt);
        throw;
    }
    return true;
}

std::size_t MessageQueue::PumpAll() {
    std::size_t budget = PendingCount();
    std::size_t delivered = 0;
    while (budget > 0 && PumpOne()) {
        --budget;
        ++delivered;
    }
    return delivered;
}

std::size_t MessageQueue::WaitAndPump(std::chrono::milliseconds timeout) {
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, timeout, [this] { return !sent_.empty() || !posted_.empty(); });
    }
    return PumpAll();
}

void MessageQueue::Clear() {
    std::deque<QueuedMessage> orphans;
    {
        const std::lock_guard lock(mutex_);
        orphans = TakeMatching([](const QueuedMessage&) { return true; });
    }
    Abandon(orphans);
}

std::size_t MessageQueue::PendingCount() const {
    const std::lock_guard lock(mutex_);
    return sent_.size() + posted_.size();
}

void MessageQueue::SetWakeHandler(WakeHandler handler) {
    auto shared = handler ? std::make_shared<const WakeHandler>(std::move(handler)) : nullptr;
    const std::lock_guard lock(mutex_);
    wake_ = std::move(shared);
}

void MessageQueue::BindToCurrentThread() {
    owner_.store(std::this_thread::get_id());
}

bool MessageQueue::IsOwnerThread() const {
    return owner_.load() == std::this_thread::get_id();
}

void MessageQueue::Wake() {
    std::shared_ptr<const WakeHandler> wake;
    {
        const std::lock_guard lock(mutex_);
        wake = wake_;
    }
    if (wake) {
        (*wake)();
    }
}

std::deque<MessageQueue::QueuedMessage>
MessageQueue::TakeMatching(const std::function<bool(const QueuedMessage&)>& matches) {
    std::deque<QueuedMessage> taken;
    for (auto* queue : {&sent_, &posted_}) {
        std::deque<QueuedMessage> kept;
        for (auto& message : *queue) {
            (matches(message) ? taken : kept).push_back(std::move(message));
        }
        queue->swap(kept);
    }
    return taken;
}

void MessageQueue::Abandon(std::deque<QueuedMessage>& messages) {
    for (auto& message : messages) {
        if (message.reply) {
            message.reply->Finish(std::nullopt);
        } else if (message.onDrop) {
            message.onDrop();
        }
    }
}

WindowRegistration& WindowRegistration::operator=(WindowRegistration&& other) noexcept {
    if (this != &other) {
        Reset();
        queue_ = other.queue_;
        handle_ = std::exchange(other.handle_, kNoWindow);
    }
    return *this;
}

void WindowRegistration::Reset() {
    if (handle_ != kNoWindow) {
        queue_->Unregister(std::exchange(handle_, kNoWindow));
    }
}

MessageQueue& AppMessageQueue() {
    static MessageQueue queue;
    return queue;
}

} // namespace ravlo
