#include "kernel/ui/qt_scheduler_drive.h"

#include <QAbstractEventDispatcher>

namespace ravlo {

QtSchedulerDrive::QtSchedulerDrive(const TSchedulerDrive& drive, QObject* parent)
    : QObject(parent), runner_(drive) {
    systemTickTimer_.setInterval(static_cast<int>(drive.TimerMs));
    systemTickTimer_.setTimerType(Qt::PreciseTimer);
    connect(&systemTickTimer_, &QTimer::timeout, this, [this] { runner_.OnTimer(); });
    idleTimer_.setInterval(0);
    connect(&idleTimer_, &QTimer::timeout, this, [this] { runner_.OnIdle(); });
    // Whatever the GUI thread has just done (a message delivered, a command given) may have made a
    // step due sooner than the worker thought: it learns so before the thread sleeps.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { runner_.Reschedule(); });
    }
}

QtSchedulerDrive::~QtSchedulerDrive() {
    Stop();
}

void QtSchedulerDrive::Start() {
    systemTickTimer_.start();
    if (Drive().IdleHandler) {
        idleTimer_.start();
    }
    runner_.Start();
}

void QtSchedulerDrive::Stop() {
    systemTickTimer_.stop();
    idleTimer_.stop();
    runner_.Stop();
}

} // namespace ravlo
