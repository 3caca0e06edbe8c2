#pragma once

#include <filesystem>
#include <string_view>

namespace ravlo {

// Renames a file unless the new name is taken: 0 on success, otherwise the errno value (EEXIST
// when the new name exists). Atomic where the file system supports it; elsewhere the new name is
// tested first.
int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes all bytes to a descriptor, resuming after interruptions: 0, or the errno value of the
// write that failed.
int WriteAll(int fd, std::string_view bytes);

} // namespace ravlo
