#pragma once

#include <cstdint>
#include <limits>
#include <optional>

namespace ravlo {

// now + ms, or nullopt when the sum passes the wrap of the 32-bit tick count. The timed-message
// queue does not follow the tick count across its wrap: a wrapped due tick comes at the next pass,
// so callers make that plain (due at once) and say so.
inline std::optional<std::uint32_t> DueTickBeforeWrap(std::uint32_t now, std::uint32_t ms) {
    if (ms > std::numeric_limits<std::uint32_t>::max() - now) {
        return std::nullopt;
    }
    return now + ms;
}

} // namespace ravlo
