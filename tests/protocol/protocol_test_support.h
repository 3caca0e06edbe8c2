#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
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

inline std::size_t CountContaining(const std::vector<std::string>& lines, std::string_view text) {
    return static_cast<std::size_t>(std::ranges::count_if(
        lines, [text](const std::string& line) { return line.find(text) != std::string::npos; }));
}
inline bool Contains(const std::vector<std::string>& lines, std::string_view text) {
    return CountContaining(lines, text) > 0;
}

} // namespace ravlo::testing
