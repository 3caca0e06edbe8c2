#pragma once

#include "voksim/board_clock.h"

#include <cstdint>
#include <optional>

namespace ravlo::voksim {

// The board's line: 8 data bits, odd parity, one stop bit, so a byte takes 11 bit times.
inline constexpr int kBitsPerByte = 11;

Ns ByteTime(std::uint32_t baud);
// Rate codes of BdRate: 10 = 4800 up to 15 = 115200.
std::optional<std::uint32_t> BaudOfBoardCode(std::uint8_t code);
bool IsBoardBaud(std::uint32_t baud);

// One direction of the line: bytes leave one after another, each taking a byte time.
class LineThrottle {
public:
    explicit LineThrottle(bool enabled) : enabled_(enabled) {}

    // When a byte that is ready at `ready` has crossed the line; unthrottled, at once.
    Ns Schedule(Ns ready, std::uint32_t baud);

private:
    bool enabled_;
    Ns free_at_{0};
};

} // namespace ravlo::voksim
