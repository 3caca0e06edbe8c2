#pragma once

#include <cstdint>

namespace ravlo {

// The board's code of a baud rate; a rate the board does not know gets the 4800 code.
constexpr std::uint8_t BaudToBoardCode(std::uint32_t baud) {
    switch (baud) {
    case 9600:
        return 11;
    case 19200:
        return 12;
    case 38400:
        return 13;
    case 57600:
        return 14;
    case 115200:
        return 15;
    default:
        return 10;
    }
}

} // namespace ravlo
