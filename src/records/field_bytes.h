#pragma once

#include "framework/le_bytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace ravlo {

// Bytes and short strings inside the bytes of one record field (its numbers go through the bounded
// GetLE and PutLE). Every access is bounded by the span it is given: what lies beyond it reads as
// zero and is never written, so a field narrower than its value can never be overrun.

// The bytes of source copied into target at offset, as many as fit.
inline void PutBytes(std::span<std::uint8_t> target, std::span<const std::uint8_t> source,
                     std::size_t offset = 0) {
    if (offset >= target.size()) {
        return;
    }
    const std::size_t count = std::min(source.size(), target.size() - offset);
    if (count > 0) {
        std::memcpy(target.data() + offset, source.data(), count);
    }
}

// The bytes from offset on, none when there are not that many.
template <class T>
std::span<T> SpanFrom(std::span<T> bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes.subspan(offset) : std::span<T>();
}

// The short string a field holds: its length byte, cut to the characters the field has room for.
inline std::string GetShortString(std::span<const std::uint8_t> field) {
    if (field.empty()) {
        return {};
    }
    const std::size_t length = std::min<std::size_t>(field[0], field.size() - 1);
    return {reinterpret_cast<const char*>(field.data()) + 1, length};
}

// Writes text as a short string, cut to the field's room (at most 255 characters); a field of no
// bytes is left alone.
inline void PutShortString(std::span<std::uint8_t> field, std::string_view text) {
    if (field.empty()) {
        return;
    }
    const std::size_t length = std::min({text.size(), field.size() - 1, std::size_t{255}});
    field[0] = static_cast<std::uint8_t>(length);
    PutBytes(field, {reinterpret_cast<const std::uint8_t*>(text.data()), length}, 1);
}

} // namespace ravlo
