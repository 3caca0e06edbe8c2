#pragma once

#include <cstdint>
#include <string>

namespace ravlo {

// A channel result: bits 12-15 the number of the channel type that produced it (its code base),
// bits 8-11 the kind, bits 0-7 the detail. 0 means no error.
using TChnResCode = std::uint16_t;

inline constexpr TChnResCode res_Ok = 0;

// Kinds, in bits 8-11 of a code.
enum class TChnResKind : std::uint8_t {
    T_Ok = 0x0,
    ChState = 0x1,
    OpOpen = 0x2,
    OpConnect = 0x3,
    OpDisConnect = 0x4,
    OpClose = 0x5,
    Rec = 0x6,
    Tra = 0x7,
    Spec = 0xE,
    Err = 0xF,
};

// Kind and detail of the ChState errors the stack produces itself.
inline constexpr std::uint16_t kChNoClose = 0x101;        // open while not closed
inline constexpr std::uint16_t kChNoOpen = 0x102;         // connect while not open
inline constexpr std::uint16_t kChNoConnect = 0x103;      // I/O or disconnect while not connected
inline constexpr std::uint16_t kChNoReceiveReady = 0x104; // nothing to receive
inline constexpr std::uint16_t kChNoNextChannel = 0x10B;  // no registry for the lower channel
inline constexpr std::uint16_t kChChannelNoExist = 0x10C; // no such lower channel type

constexpr TChnResCode MakeResCode(std::uint16_t codeBase, TChnResKind kind, std::uint8_t detail) {
    return static_cast<TChnResCode>(codeBase | (static_cast<unsigned>(kind) << 8) | detail);
}
constexpr std::uint16_t ResTypeBits(TChnResCode code) {
    return code & 0xF000;
}
constexpr TChnResKind ResKind(TChnResCode code) {
    return static_cast<TChnResKind>((code >> 8) & 0xF);
}
constexpr std::uint8_t ResDetail(TChnResCode code) {
    return static_cast<std::uint8_t>(code & 0xFF);
}

// "T_Ok", "ChState", ... ; a kind without a name "T$" and two hex digits.
std::string ChnKindText(TChnResKind kind);
// Text of a ChState detail ("NoClose" ...); others as DetailHexText.
std::string ChnStateDetailText(std::uint8_t detail);
// "C$" and two hex digits: the text of a detail without a name.
std::string DetailHexText(std::uint8_t detail);

} // namespace ravlo
