#include "platform/file_time.h"

#include <fcntl.h>
#include <limits>
#include <sys/stat.h>

namespace ravlo {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;

// Seconds and nanoseconds as one count; a time beyond the 292 years either side of 1970 that the
// count can hold saturates.
std::int64_t ToNanoseconds(const timespec& time) {
    std::int64_t ns = 0;
    if (__builtin_mul_overflow(static_cast<std::int64_t>(time.tv_sec), kNsPerSecond, &ns) ||
        __builtin_add_overflow(ns, static_cast<std::int64_t>(time.tv_nsec), &ns)) {
        return time.tv_sec < 0 ? std::numeric_limits<std::int64_t>::min()
                               : std::numeric_limits<std::int64_t>::max();
    }
    return ns;
}

timespec ToTimespec(std::int64_t ns) {
    // Floor division: the nanosecond field must stay within 0..999999999 before 1970 as well.
    std::int64_t seconds = ns / kNsPerSecond;
    std::int64_t rest = ns % kNsPerSecond;
    if (rest < 0) {
        rest += kNsPerSecond;
        --seconds;
    }
    timespec time{};
    time.tv_sec = static_cast<time_t>(seconds);
    time.tv_nsec = static_cast<long>(rest);
    return time;
}

} // namespace

int CompareFileTime(FileTime first, FileTime second) {
    const auto order = first <=> second;
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

std::chrono::system_clock::time_point ToSystemTime(FileTime time) {
    return std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(time.ns)));
}

FileTime FromSystemTime(std::chrono::system_clock::time_point time) {
    return FileTime{std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count()};
}

std::optional<FileTime> ReadFileWriteTime(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return FileTime{ToNanoseconds(status.st_mtim)};
}

bool WriteFileWriteTime(const std::filesystem::path& path, FileTime time) {
    timespec times[2]{};
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = ToTimespec(time.ns);
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

} // namespace ravlo
