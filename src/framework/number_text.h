#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace ravlo {

// Decimal texts, right-aligned with blanks to width (0 or less: no padding, at most 255).
std::string ByteStr(std::uint8_t value, int width = 0);
std::string WordStr(std::uint16_t value, int width = 0);
std::string IntStr(std::int32_t value, int width = 0);
std::string LIntStr(std::int32_t value, int width = 0);
std::string DWordStr(std::uint32_t value, int width = 0);

// Fixed-point text with decimals decimals (rounded half away from zero on the shortest decimal
// form of x), right-aligned to width. When width equals decimals and both are above 0 the text
// has decimals - 1 decimals and is then cut to width characters.
std::string RealStr(double x, int width, int decimals);

// Scientific text: a mantissa with width - 9 decimals (1 to 16), then "E", the exponent's sign
// and its digits without leading zeros but at least two ("1.5E+00", "1.0E-123"); right-aligned
// to width.
std::string RealExpStr(double x, int width);

// The exponent of a scientific text trimmed: of the characters after the first "E" or "e", all
// but the last two lose their "0"s ("E+0012" becomes "E+12", "E-0123" "E-123").
std::string TrimExponent(std::string text);

// Hex digits, upper case, no prefix.
char HexN(unsigned value); // the low 4 bits
std::string HexB(std::uint8_t value);
std::string HexW(std::uint16_t value);
std::string HexDW(std::uint32_t value);
inline std::string HexWord4(std::uint16_t value) {
    return HexW(value);
}

// The first count bytes of buf (no more than buf holds, at most 255) as 2-digit hex without
// separators, cut to 255 characters.
std::string HexBuf(std::span<const std::uint8_t> buf, std::size_t count);

// n mod 100 as two digits.
std::string TwoDigits(unsigned n);

// 10 to the power n; 1 for n <= 0.
double Pow10R(int n);

// How many decimals show x within digits significant digits; 0 for an infinite or NaN x.
int RealDecimals(int digits, double x);

constexpr std::uint8_t MinB(std::uint8_t a, std::uint8_t b) {
    return std::min(a, b);
}
constexpr std::uint8_t MaxB(std::uint8_t a, std::uint8_t b) {
    return std::max(a, b);
}
constexpr std::int32_t MinI(std::int32_t a, std::int32_t b) {
    return std::min(a, b);
}
constexpr std::int32_t MaxI(std::int32_t a, std::int32_t b) {
    return std::max(a, b);
}

// -1, 0 or 1 in unsigned order (high word first, then low word: the same thing).
constexpr int CmpDW(std::uint32_t a, std::uint32_t b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}
constexpr int CmpHiLoW(std::uint32_t a, std::uint32_t b) {
    return CmpDW(a, b);
}

// True when the first len bytes of a and b are equal; false when either holds fewer than len.
// A len of 0 compares equal.
bool SameMem(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t len);
inline bool CompareBuf(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b, std::size_t n) {
    return SameMem(a, b, n);
}

// b0 is the lowest byte.
constexpr std::uint32_t MakeDWord(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return static_cast<std::uint32_t>(b0) | (static_cast<std::uint32_t>(b1) << 8) |
           (static_cast<std::uint32_t>(b2) << 16) | (static_cast<std::uint32_t>(b3) << 24);
}

} // namespace ravlo
