#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace ravlo {

// Little-endian fields of the fixed-layout records (messages, frames, dialog records). The span
// must hold the field (callers check lengths before reading).
template <class T>
void PutLE(std::span<std::uint8_t> out, std::size_t offset, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        out[offset + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i));
    }
}

template <class T>
T GetLE(std::span<const std::uint8_t> in, std::size_t offset) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<std::uint64_t>(in[offset + i]) << (8 * i);
    }
    return static_cast<T>(value);
}

// An unsigned field whose width (1 to 4 bytes) is known only at run time.
inline std::uint32_t GetLEWidth(std::span<const std::uint8_t> in, std::size_t offset, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint32_t>(in[offset + i]) << (8 * i);
    }
    return value;
}

inline void PutLEWidth(std::span<std::uint8_t> out, std::size_t offset, std::size_t width,
                       std::uint32_t value) {
    for (std::size_t i = 0; i < width; ++i) {
        out[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

} // namespace ravlo
