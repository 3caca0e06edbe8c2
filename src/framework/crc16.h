#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace ravlo {

// CRC-16/ARC: polynomial 0x8005 taken reflected (0xA001), reflected input and output, no final
// XOR. There is no default start value: every caller chooses its own.

namespace crc16_detail {

constexpr std::uint16_t kReflectedPoly = 0xA001;

// One reflected step over the eight bits of x, starting from register x.
constexpr std::uint16_t StepByte(std::uint16_t x) {
    for (int bit = 0; bit < 8; ++bit) {
        x = (x & 1U) != 0 ? static_cast<std::uint16_t>((x >> 1) ^ kReflectedPoly)
                          : static_cast<std::uint16_t>(x >> 1);
    }
    return x;
}

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i] = StepByte(static_cast<std::uint16_t>(i));
    }
    return table;
}

} // namespace crc16_detail

// Entry i is the CRC of the single byte i from start value 0.
inline constexpr std::array<std::uint16_t, 256> kCrc16Table = crc16_detail::MakeTable();

// Running CRC register fed one byte at a time; computes bit by bit, so it needs no table.
class tCrc16 {
public:
    tCrc16() = default;
    explicit tCrc16(std::uint16_t start) : Crc(start) {}

    void SetCrc(std::uint16_t value) { Crc = value; }
    std::uint16_t GetCrc() const { return Crc; }
    void AddByte(std::uint8_t b);

private:
    std::uint16_t Crc = 0;
};

// Table-driven CRC of a whole block; gives the same result as tCrc16 fed the same bytes.
std::uint16_t Crc16Block(std::span<const std::uint8_t> data, std::uint16_t start);

} // namespace ravlo
