#include "platform/thread_schedule.h"

#include <cerrno>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace ravlo {

std::string ScheduleText(const ThreadSchedule& schedule) {
    return schedule.Idle ? "idle policy" : "nice " + std::to_string(schedule.Nice);
}

int CurrentThreadId() {
    return static_cast<int>(gettid());
}

std::optional<ThreadSchedule> ReadThreadSchedule(int threadId) {
    const int policy = sched_getscheduler(threadId);
    if (policy < 0) {
        return std::nullopt;
    }
    // -1 is a valid nice value: only errno tells a failure.
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(threadId));
    if (errno != 0) {
        return std::nullopt;
    }
    return ThreadSchedule{policy == SCHED_IDLE, nice};
}

int ApplyThreadSchedule(const ThreadSchedule& schedule) {
    // On Linux both calls act on the one thread named (0: the caller), not on the whole process.
    if (schedule.Idle) {
        const sched_param param{};
        return sched_setscheduler(0, SCHED_IDLE, &param) == 0 ? 0 : errno;
    }
    return setpriority(PRIO_PROCESS, static_cast<id_t>(CurrentThreadId()), schedule.Nice) == 0 ? 0 : errno;
}

void SetCurrentThreadName(std::string_view name) {
    constexpr std::size_t kNameMax = 15;
    const std::string cut(name.substr(0, kNameMax));
    pthread_setname_np(pthread_self(), cut.c_str());
}

} // namespace ravlo
