#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Board frames: a type byte, two reserved zero bytes, then the fields of the type (little-endian).
namespace ravlo::voksim {

namespace vok {
// `_Mem` is spelled Mem here: a name with a leading underscore and a capital is reserved in C++.
inline constexpr std::uint8_t Mem = 0xD0;
inline constexpr std::uint8_t MemD = 0xD1;
inline constexpr std::uint8_t cIORd = 0xD2;
inline constexpr std::uint8_t cIORdW = 0xD3;
inline constexpr std::uint8_t cIOWr = 0xD4;
inline constexpr std::uint8_t cIOWrW = 0xD5;
inline constexpr std::uint8_t MemE = 0xD6;
inline constexpr std::uint8_t Rqst = 0xD7;
inline constexpr std::uint8_t EmptV40 = 0xD8;
inline constexpr std::uint8_t Chcksum = 0xD9;
inline constexpr std::uint8_t Err = 0xDA;
inline constexpr std::uint8_t BdRate = 0xDC;
inline constexpr std::uint8_t Go = 0xDF;
inline constexpr std::uint8_t Run = 0xE0;
inline constexpr std::uint8_t Load = 0xE1;
inline constexpr std::uint8_t SetRTC = 0xE3;
inline constexpr std::uint8_t GetRTC = 0xE4;
inline constexpr std::uint8_t CheckOk = 0xF8;
inline constexpr std::uint8_t CheckErr = 0xF9;
inline constexpr std::uint8_t Empt386 = 0xFA;
inline constexpr std::uint8_t GetID = 0xFB;
inline constexpr std::uint8_t EmptHAL = 0xFC;
inline constexpr std::uint8_t Empt188 = 0xFD;
} // namespace vok

inline constexpr std::size_t kFrameHeader = 3;
inline constexpr std::uint32_t kAddressSpace = 0x100000;

// A real-mode segment:offset address as frames carry it (offset first).
struct FarPtr {
    std::uint16_t seg = 0;
    std::uint16_t off = 0;

    // Linear address; wraps at 1 MB like the boards' real-mode address bus.
    std::uint32_t Lin() const { return ((std::uint32_t{seg} << 4) + off) % kAddressSpace; }
    static FarPtr FromLin(std::uint32_t lin);
    // The address delta bytes further: same segment while the offset does not overflow.
    FarPtr Plus(std::uint32_t delta) const;
    bool operator==(const FarPtr&) const = default;
};

std::uint16_t GetU16(std::span<const std::uint8_t> frame, std::size_t at);
FarPtr GetFar(std::span<const std::uint8_t> frame, std::size_t at);
void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void PutFar(std::vector<std::uint8_t>& out, FarPtr address);

// A frame of the type with its reserved bytes and no fields.
std::vector<std::uint8_t> BareFrame(std::uint8_t type);

// "_Mem", "MemD", ...; unnamed types as "???_$" and two hex digits.
std::string FrameName(std::uint8_t type);
// One readable line for the trace: the name and the fields of the frame.
std::string DescribeFrame(std::span<const std::uint8_t> frame);
std::string FarText(FarPtr address);

} // namespace ravlo::voksim
