#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// How the operating system schedules one thread: the idle policy (it runs only when nothing else
// wants the processor), or the normal policy with a nice value from -20 (most favoured) to 19.
struct ThreadSchedule {
    static constexpr int kNiceMin = -20;
    static constexpr int kNiceMax = 19;

    bool Idle = false;
    int Nice = 0;

    bool operator==(const ThreadSchedule&) const = default;
};

// "idle policy" or "nice n", for log lines.
std::string ScheduleText(const ThreadSchedule& schedule);

// The calling thread's id as the kernel knows it (ps -L shows it as LWP).
int CurrentThreadId();
// The schedule of a thread of this process; nullopt when it cannot be read (the thread has ended).
std::optional<ThreadSchedule> ReadThreadSchedule(int threadId);
// Puts the calling thread under the schedule; answers 0, or the errno of the refusal (EACCES or
// EPERM when a nice value below the current one needs a privilege the process lacks). A refused
// change leaves the thread as it was. A nice value leaves the policy alone: a thread the user
// started under another policy stays under it.
int ApplyThreadSchedule(const ThreadSchedule& schedule);
// Names the calling thread as ps and top show it; longer names are cut to 15 characters.
void SetCurrentThreadName(std::string_view name);

} // namespace ravlo
