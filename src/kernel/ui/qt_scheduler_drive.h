#pragma once

#include "kernel/scheduler_runner.h"

#include <QObject>
#include <QTimer>

namespace ravlo {

// The scheduler drive of the GUI: the tick timer (SystemTickTimer) and the idle handler as Qt
// timers on the GUI thread (a 0 ms timer fires whenever the event queue has run empty), and the
// worker thread, whose steps reach the GUI thread through AppMessageQueue() and the Qt message pump.
// Build it on the GUI thread once the registry and the queue exist; Start at the end of start-up.
class QtSchedulerDrive final : public QObject {
    Q_OBJECT
public:
    explicit QtSchedulerDrive(const TSchedulerDrive& drive, QObject* parent = nullptr);
    ~QtSchedulerDrive() override;

    void Start();
    void Stop();

    const TSchedulerDrive& Drive() const { return runner_.Drive(); }
    std::uint64_t WorkerSteps() const { return runner_.WorkerSteps(); }
    std::uint64_t TimerTicks() const { return runner_.TimerTicks(); }
    const QTimer& SystemTickTimer() const { return systemTickTimer_; }
    bool HasIdleHandler() const { return Drive().IdleHandler; }

private:
    SchedulerRunner runner_;
    QTimer systemTickTimer_;
    QTimer idleTimer_;
};

} // namespace ravlo
