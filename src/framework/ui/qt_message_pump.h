#pragma once

#include "platform/message_queue.h"

#include <QObject>
#include <exception>
#include <functional>
#include <memory>

namespace ravlo {

// Binds a message queue (AppMessageQueue() by default) to the Qt event loop of the GUI thread: the
// queue's wake handler, called on whichever thread posts, schedules one queued pump on the GUI
// thread; the pump delivers what is queued and schedules itself again while messages remain, so
// that a handler that keeps posting cannot starve the Qt loop. Create it on the GUI thread, which
// becomes the queue's owner thread; destroying it unbinds the queue.
class QtMessagePump final : public QObject {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(std::exception_ptr)>;

    explicit QtMessagePump(MessageQueue& queue = AppMessageQueue(), QObject* parent = nullptr);
    ~QtMessagePump() override;
    QtMessagePump(const QtMessagePump&) = delete;
    QtMessagePump& operator=(const QtMessagePump&) = delete;

    // An exception that escapes a message handler goes here instead of into the Qt loop; by default
    // it is written to the runtime log.
    void SetErrorHandler(ErrorHandler handler) { onError_ = std::move(handler); }

    // Delivers what is queued now (messages posted meanwhile get the next turn).
    void PumpNow();

private:
    struct Link;

    void Schedule();

    MessageQueue& queue_;
    std::shared_ptr<Link> link_;
    ErrorHandler onError_;
};

} // namespace ravlo
