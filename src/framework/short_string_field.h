#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// A short string inside a fixed-layout record: a field of N bytes holding a length byte and at most
// N - 1 characters. A length byte beyond the field reads as the whole field, never past it.
std::string GetShortString(std::span<const std::uint8_t> field);

// Writes text, cut to the field, and zeroes the bytes after it, so a record never carries the tail
// of an older, longer text. An empty field is left alone.
void PutShortString(std::span<std::uint8_t> field, std::string_view text);

} // namespace ravlo
