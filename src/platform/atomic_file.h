#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// The whole file as bytes; nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's contents so that a reader sees either the old or the new file, never a part:
// the bytes go to a temporary file in the same folder, which is flushed to disk and renamed over
// the file. An existing file keeps its permission bits; a symbolic link keeps pointing at the file it
// names. On failure the original is untouched, no temporary file is left and false is answered.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);
// The same, the file then having exactly the permission bits mode (e.g. 0600 for a private file)
// from the moment it appears under its name.
bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes, unsigned mode);

} // namespace ravlo
