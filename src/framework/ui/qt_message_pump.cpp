#include "framework/ui/qt_message_pump.h"

#include "framework/runtime_log.h"
#include "platform/exception.h"

#include <QMetaObject>
#include <mutex>

namespace ravlo {

// What the wake handler holds: the pump may be gone by the time another thread wakes, so the link
// is cut under the lock before the pump dies. `scheduled` keeps a burst of posts to one queued call.
struct QtMessagePump::Link {
    std::mutex mutex;
    QtMessagePump* pump = nullptr;
    bool scheduled = false;

    void Wake() {
        const std::lock_guard lock(mutex);
        if (pump == nullptr || scheduled) {
            return;
        }
        scheduled = true;
        // Posting an event to a live QObject is safe from any thread.
        QMetaObject::invokeMethod(pump, &QtMessagePump::PumpNow, Qt::QueuedConnection);
    }
};

namespace {

void LogHandlerException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        TxsWriteln(std::string("Exception: ") + e.what());
    } catch (...) {
        TxsWriteln("Exception: unknown");
    }
}

} // namespace

QtMessagePump::QtMessagePump(MessageQueue& queue, QObject* parent)
    : QObject(parent), queue_(queue), link_(std::make_shared<Link>()), onError_(LogHandlerException) {
    link_->pump = this;
    queue_.BindToCurrentThread();
    queue_.SetWakeHandler([link = link_] { link->Wake(); });
    // Messages that arrived before the binding get delivered too.
    if (queue_.PendingCount() > 0) {
        Schedule();
    }
}

QtMessagePump::~QtMessagePump() {
    queue_.SetWakeHandler({});
    const std::lock_guard lock(link_->mutex);
    link_->pump = nullptr;
}

void QtMessagePump::Schedule() {
    link_->Wake();
}

void QtMessagePump::PumpNow() {
    {
        const std::lock_guard lock(link_->mutex);
        link_->scheduled = false;
    }
    try {
        queue_.PumpAll();
    } catch (...) {
        if (onError_) {
            onError_(std::current_exception());
        }
    }
    if (queue_.PendingCount() > 0) {
        Schedule();
    }
}

} // namespace ravlo
