#include "voksim/line_throttle.h"

#include <algorithm>
#include <array>

namespace ravlo::voksim {

namespace {
constexpr std::array<std::uint32_t, 6> kBoardRates{4800, 9600, 19200, 38400, 57600, 115200};
constexpr std::uint8_t kFirstRateCode = 10;
} // namespace

Ns ByteTime(std::uint32_t baud) {
    return Ns{std::int64_t{kBitsPerByte} * 1'000'000'000 / std::max<std::uint32_t>(baud, 1)};
}

std::optional<std::uint32_t> BaudOfBoardCode(std::uint8_t code) {
    if (code < kFirstRateCode || code >= kFirstRateCode + kBoardRates.size()) {
        return std::nullopt;
    }
    return kBoardRates[code - kFirstRateCode];
}

bool IsBoardBaud(std::uint32_t baud) {
    return std::find(kBoardRates.begin(), kBoardRates.end(), baud) != kBoardRates.end();
}

Ns LineThrottle::Schedule(Ns ready, std::uint32_t baud) {
    if (!enabled_) {
        return ready;
    }
    free_at_ = std::max(ready, free_at_) + ByteTime(baud);
    return free_at_;
}

} // namespace ravlo::voksim
