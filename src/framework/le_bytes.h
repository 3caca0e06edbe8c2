#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>

namespace ravlo {

// Little-endian fields of the fixed-layout records (messages, frames, dialog and record buffers).
// Every access is bounded by the span it is given: bytes beyond it read as zero and are never
// written, so a field cut short by its buffer can never be overrun. Callers that need the whole
// field check the length first.
template <class T>
void PutLE(std::span<std::uint8_t> out, std::size_t offset, T value) {
    static_assert(std::is_integral_v<T>);
    const auto bits = static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<T>>(value));
    for (std::size_t i = 0; i < sizeof(T) && offset + i < out.size(); ++i) {
        out[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
    }
}

// The integer of type T at offset, zero-extended from the bytes that exist.
template <class T>
T GetLE(std::span<const std::uint8_t> in, std::size_t offset = 0) {
    static_assert(std::is_integral_v<T>);
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T) && offset + i < in.size(); ++i) {
        value |= static_cast<std::uint64_t>(in[offset + i]) << (8 * i);
    }
    return static_cast<T>(static_cast<std::make_unsigned_t<T>>(value));
}

// An unsigned field whose width (1 to 4 bytes) is known only at run time.
inline std::uint32_t GetLEWidth(std::span<const std::uint8_t> in, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width && i < 4 && offset + i < in.size(); ++i) {
        value |= static_cast<std::uint32_t>(in[offset + i]) << (8 * i);
    }
    return value;
}

// The same field (1 to 4 bytes) as a signed or unsigned number; a signed field narrower than 32
// bits carries its sign in its own top bit.
inline std::int64_t GetLEWidthInt(std::span<const std::uint8_t> in, std::size_t offset, std::size_t width,
                                  bool isSigned) {
    const std::uint32_t bits = GetLEWidth(in, offset, width);
    if (!isSigned || width == 0 || width > 4) {
        return std::int64_t{bits};
    }
    const auto shift = static_cast<unsigned>(32 - 8 * width);
    return std::int64_t{static_cast<std::int32_t>(bits << shift) >> shift};
}

inline void PutLEWidth(std::span<std::uint8_t> out, std::size_t offset, std::size_t width,
                       std::uint32_t value) {
    for (std::size_t i = 0; i < width && i < 4 && offset + i < out.size(); ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace ravlo
