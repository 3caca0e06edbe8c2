#include "records/real48.h"

#include <cmath>

namespace ravlo {
namespace {

constexpr int kBias = 129;
constexpr int kMantissaBits = 39;
constexpr std::uint64_t kMantissaMask = (std::uint64_t{1} << kMantissaBits) - 1;

TReal48 Pack(int exponent, std::uint64_t mantissa, bool negative) {
    TReal48 bytes{};
    bytes[0] = static_cast<std::uint8_t>(exponent);
    for (std::size_t i = 1; i < kReal48Size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(mantissa >> (8 * (i - 1)));
    }
    if (negative) {
        bytes[5] |= 0x80;
    }
    return bytes;
}

} // namespace

double Real48ToDouble(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kReal48Size || bytes[0] == 0) {
        return 0.0;
    }
    std::uint64_t mantissa = 0;
    for (std::size_t i = 1; i < kReal48Size; ++i) {
        mantissa |= static_cast<std::uint64_t>(bytes[i]) << (8 * (i - 1));
    }
    mantissa &= kMantissaMask;
    const double magnitude = std::ldexp(static_cast<double>(mantissa | (std::uint64_t{1} << kMantissaBits)),
                                        bytes[0] - kBias - kMantissaBits);
    return (bytes[5] & 0x80) != 0 ? -magnitude : magnitude;
}

std::optional<TReal48> DoubleToReal48(double x) {
    if (!std::isfinite(x)) {
        return std::nullopt;
    }
    if (x == 0.0) {
        return TReal48{};
    }
    int exp2 = 0;
    // |x| = fraction * 2^exp2 with fraction in [0.5, 1): the hidden 1 is the fraction's top bit.
    const double fraction = std::frexp(std::fabs(x), &exp2);
    auto scaled = static_cast<std::uint64_t>(std::nearbyint(std::ldexp(fraction, kMantissaBits + 1)));
    int exponent = exp2 - 1 + kBias;
    if (scaled >> (kMantissaBits + 1) != 0) {
        // Rounding carried into a new top bit.
        scaled >>= 1;
        ++exponent;
    }
    if (exponent > 255) {
        return std::nullopt;
    }
    if (exponent < 1) {
        return TReal48{};
    }
    return Pack(exponent, scaled & kMantissaMask, x < 0);
}

TReal48 DoubleToReal48Clamped(double x) {
    if (std::isnan(x)) {
        return TReal48{};
    }
    if (const auto real = DoubleToReal48(x)) {
        return *real;
    }
    return Pack(255, kMantissaMask, x < 0);
}

} // namespace ravlo
