#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// Finds an existing file or folder whose name matches `name` with ASCII case ignored, as names written
// on a case-blind platform expect. An exact match is preferred; among several names that differ only in
// case the smallest (byte order) is taken. `name` may be a relative path of several parts ("BIN/ROM0.BIN");
// each part is matched in turn. nullopt when nothing matches or `name` is empty.
std::optional<std::filesystem::path> FindFileNoCase(const std::filesystem::path& dir, std::string_view name);

// A path stored by the program's original platform, with "\" between its parts, in the form this
// platform uses ("/").
std::string NormalizeStoredPath(std::string_view stored);

} // namespace ravlo
