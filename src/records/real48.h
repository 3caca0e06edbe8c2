#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace ravlo {

// The 6-byte real of stored records: byte 0 is the exponent with bias 129 (0 means the value 0),
// bytes 1..5 a 39-bit mantissa with a hidden leading 1 (byte 1 lowest), the sign in bit 7 of
// byte 5. So 1.0 is 81 00 00 00 00 00 and 10.0 is 84 00 00 00 00 20.
using TReal48 = std::array<std::uint8_t, 6>;

inline constexpr std::size_t kReal48Size = 6;
// The largest magnitude, (2 - 2^-39) * 2^126, and the smallest above zero, 2^-128.
inline constexpr double kReal48Max = 0x1.FFFFFFFFFEp+126;
inline constexpr double kReal48MinPositive = 0x1p-128;

// The value of the first six bytes (0 when fewer are given).
double Real48ToDouble(std::span<const std::uint8_t> bytes);

// x rounded to the nearest 6-byte real; a magnitude below the smallest becomes 0. nullopt for a
// NaN, an infinity or a magnitude beyond the largest.
std::optional<TReal48> DoubleToReal48(double x);

// The same, with a magnitude beyond the largest held at the largest (NaN gives 0).
TReal48 DoubleToReal48Clamped(double x);

} // namespace ravlo
