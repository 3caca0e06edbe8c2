#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace ravlo {

// A file's last-write time in nanoseconds since the Unix epoch, at the file system's full resolution.
struct FileTime {
    std::int64_t ns = 0;
    auto operator<=>(const FileTime&) const = default;
};

// -1, 0 or 1 as the first time is earlier than, equal to or later than the second.
int CompareFileTime(FileTime first, FileTime second);

std::chrono::system_clock::time_point ToSystemTime(FileTime time);
FileTime FromSystemTime(std::chrono::system_clock::time_point time);

// nullopt when the file does not exist or cannot be examined. A symbolic link reports its target.
std::optional<FileTime> ReadFileWriteTime(const std::filesystem::path& path);

// Sets the last-write time and leaves the last-access time alone; false when that fails.
bool WriteFileWriteTime(const std::filesystem::path& path, FileTime time);

} // namespace ravlo
