#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

// Renames a file unless the new name is taken: 0 on success, otherwise the errno value (EEXIST
// when the new name exists). Atomic where the file system supports it; elsewhere the new name is
// tested first.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes all bytes to a descriptor, resuming after interruptions: 0, or the errno value of the
// write that failed.
int WriteAll(int fd, std::string_view bytes);

// Reads a regular file of at most maxBytes into bytes: 0, or the errno value of what failed, with
// bytes empty: EINVAL for anything but a regular file, EFBIG for a larger one. The open never
// waits, so a pipe or a device in the file's place is refused, not read.
int ReadRegularFile(const std::filesystem::path& path, std::size_t maxBytes, std::string& bytes);

} // namespace ravlo
