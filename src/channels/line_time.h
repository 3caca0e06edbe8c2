#pragma once

#include <cstddef>
#include <cstdint>

namespace ravlo {

// A byte on the line is a start bit, 8 data bits, the parity bit and one stop bit.
inline constexpr std::uint32_t kLineBitsPerByte = 11;
// The line's default rate, which also stands in while no port is open (rate 0).
inline constexpr std::uint32_t kLineDefaultBaud = 4800;

// Milliseconds count bytes need on the line at baud, rounded up.
std::uint32_t LineTimeMs(std::size_t count, std::uint32_t baud);

} // namespace ravlo
