#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace ravlo {

// The named objects' access to INI files; sections, keys and values are code page 1250 texts.

// The key's value, empty when the key or the file is missing.
std::string IniReadStr(const std::filesystem::path& file, std::string_view section, std::string_view key);

// Writes the key; nothing is written (and true answered) when section is empty. A write that fails
// writes an error line to writer channel 0 and answers false.
bool IniWriteStr(const std::filesystem::path& file, std::string_view section, std::string_view key,
                 std::string_view value);

// How many keys the section holds; 0 when it or the file is missing.
std::size_t IniSectionKeyCount(const std::filesystem::path& file, std::string_view section);

} // namespace ravlo
