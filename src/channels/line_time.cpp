#include "channels/line_time.h"

#include <algorithm>

namespace ravlo {

std::uint32_t LineTimeMs(std::size_t count, std::uint32_t baud) {
    const std::uint64_t bits = static_cast<std::uint64_t>(count) * kLineBitsPerByte * 1000;
    const std::uint64_t rate = baud == 0 ? kLineDefaultBaud : baud;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>((bits + rate - 1) / rate, 0xFFFFFFFFu));
}

} // namespace ravlo
