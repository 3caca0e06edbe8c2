#pragma once

#include "platform/file_time.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// A path longer than n characters as its root ("/" when absolute) + "..." + its last characters,
// n characters in all; when n leaves no room for that, the last n characters. Shorter paths stay.
std::string ShortenPath(std::string_view path, std::size_t n);

// The last-write time of a regular file that can be opened for reading; nothing otherwise.
std::optional<FileTime> GetFileWriteTime(const std::filesystem::path& name);

} // namespace ravlo
