#include "kernel/scheduler_drive.h"

#include "kernel/app_name_object.h"
#include "kernel/sys_addr.h"
#include "kernel/time_mess.h"
#include "platform/tick.h"

#include <algorithm>

namespace ravlo {

std::string_view ThreadPriorityName(TThreadPriority priority) {
    switch (priority) {
    case TThreadPriority::tpIdle:
        return "tpIdle";
    case TThreadPriority::tpLowest:
        return "tpLowest";
    case TThreadPriority::tpLower:
        return "tpLower";
    case TThreadPriority::tpNormal:
        return "tpNormal";
    case TThreadPriority::tpHighest:
        return "tpHighest";
    case TThreadPriority::tpTimeCritical:
        return "tpTimeCritical";
    default:
        return "tpHigher";
    }
}

ThreadSchedule ScheduleForPriority(TThreadPriority priority, int normalNice) {
    int step = 0;
    switch (priority) {
    case TThreadPriority::tpIdle:
        return {.Idle = true, .Nice = normalNice};
    case TThreadPriority::tpLowest:
        step = 10;
        break;
    case TThreadPriority::tpLower:
        step = 5;
        break;
    case TThreadPriority::tpHigher:
        step = -5;
        break;
    case TThreadPriority::tpHighest:
        step = -10;
        break;
    case TThreadPriority::tpTimeCritical:
        step = -20;
        break;
    default:
        break;
    }
    return {.Idle = false,
            .Nice = std::clamp(normalNice + step, ThreadSchedule::kNiceMin, ThreadSchedule::kNiceMax)};
}

TSchedulerDrive SchedulerDriveFor(unsigned thr, unsigned shr) {
    TSchedulerDrive drive;
    drive.WorkerSleepMs = shr == 0 ? 1 : shr;
    if (thr == 0) {
        drive.IdleHandler = true;
        drive.TimerMs = kStepTimerMs;
        drive.TimerRunsStep = true;
        return drive;
    }
    drive.IdleHandler = thr <= 3;
    drive.WorkerThread = true;
    switch (thr) {
    case 1:
        drive.Priority = TThreadPriority::tpIdle;
        break;
    case 2:
        drive.Priority = TThreadPriority::tpLowest;
        break;
    case 3:
        drive.Priority = TThreadPriority::tpLower;
        break;
    case 4:
        drive.Priority = TThreadPriority::tpNormal;
        break;
    case 6:
        drive.Priority = TThreadPriority::tpHighest;
        break;
    case 7:
        drive.Priority = TThreadPriority::tpTimeCritical;
        break;
    default:
        drive.Priority = TThreadPriority::tpHigher;
        break;
    }
    return drive;
}

TSchedulerDrive CurrentSchedulerDrive() {
    return SchedulerDriveFor(AppSettings().THR, AppSettings().SHR);
}

void SchedulerStep() {
    SysAddrTickAll();
}

std::optional<std::uint64_t> SchedulerNextStepDue(std::uint64_t now) {
    return SysAddrNextStepDue(now);
}

void SchedulerTimerTick(const TSchedulerDrive& drive) {
    if (TTimeMessColl* queue = GetTimeMessColl()) {
        queue->SendProcMessages(TickMs());
    }
    if (drive.TimerRunsStep) {
        SchedulerStep();
    }
}

} // namespace ravlo
