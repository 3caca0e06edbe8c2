#include "framework/crc16.h"

namespace ravlo {

void tCrc16::AddByte(std::uint8_t b) {
    const auto x = static_cast<std::uint16_t>((Crc ^ b) & 0xFFU);
    Crc = static_cast<std::uint16_t>(crc16_detail::StepByte(x) ^ (Crc >> 8));
}

std::uint16_t Crc16Block(std::span<const std::uint8_t> data, std::uint16_t start) {
    std::uint16_t crc = start;
    for (const std::uint8_t b : data) {
        crc = static_cast<std::uint16_t>(kCrc16Table[(crc ^ b) & 0xFFU] ^ (crc >> 8));
    }
    return crc;
}

} // namespace ravlo
