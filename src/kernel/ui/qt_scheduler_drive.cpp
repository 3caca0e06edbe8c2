#include "kernel/ui/qt_scheduler_drive.h"

namespace ravlo {

QtSchedulerDrive::QtSchedulerDrive(const TSchedulerDrive& drive, QObject* parent)
    : QObject(parent), runner_(drive) {
    systemTickTimer_.setInterval(static_cast<int>(drive.TimerMs));
    systemTickTimer_.setTimerType(Qt::PreciseTimer);
    connect(&systemTickTimer_, &QTimer::timeout, this, [this] { runner_.OnTimer(); });
    idleTimer_.setInterval(0);
    connect(&idleTimer_, &QTimer::timeout, this, [this] { runner_.OnIdle(); });
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
