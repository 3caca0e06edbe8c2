#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace ravlo::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(std::span<const std::uint8_t> span) {
    return Bytes(span.begin(), span.end());
}

// The bytes followed by count copies of fill.
inline Bytes Padded(std::initializer_list<std::uint8_t> head, std::size_t count, std::uint8_t fill = 0) {
    Bytes out(head);
    out.insert(out.end(), count, fill);
    return out;
}

} // namespace ravlo::testing
