#pragma once

#include <cstdint>

namespace ravlo {

// Packed BCD as the boards' clock and setup records hold it (tens in the high nibble).

// 0..99 -> one BCD byte; anything else raises ERangeError
// "ByteToBCD Error, byte <n> is not BCD convertable".
std::uint8_t ByteToBCD(int n);

// 0..9999 -> four BCD digits; anything else raises ERangeError
// "WordToBCD Error, word <n> is not BCD convertable".
std::uint16_t WordToBCD(int n);

// The nibbles are not checked: $FF gives 165.
constexpr std::uint8_t BCDToByte(std::uint8_t bcd) {
    return static_cast<std::uint8_t>((bcd & 0x0Fu) + (bcd >> 4) * 10u);
}
constexpr std::uint16_t BCDToWord(std::uint16_t bcd) {
    return static_cast<std::uint16_t>((bcd >> 12) * 1000u + ((bcd >> 8) & 0x0Fu) * 100u +
                                      ((bcd >> 4) & 0x0Fu) * 10u + (bcd & 0x0Fu));
}

} // namespace ravlo
