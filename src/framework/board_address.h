#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ravlo {

// A real-mode far pointer of a board; packed in one dword with the offset in the low word and
// the segment in the high word.
struct TSegOfsPtr {
    std::uint16_t Ofs = 0;
    std::uint16_t Seg = 0;

    constexpr std::uint32_t Packed() const { return (static_cast<std::uint32_t>(Seg) << 16) | Ofs; }
    static constexpr TSegOfsPtr FromPacked(std::uint32_t packed) {
        return {static_cast<std::uint16_t>(packed), static_cast<std::uint16_t>(packed >> 16)};
    }
    bool operator==(const TSegOfsPtr&) const = default;
};

// Highest linear address of a board's 1 MB space.
inline constexpr std::uint32_t kBoardAddressMax = 0xFFFFF;

constexpr TSegOfsPtr MakeFarPtr(std::uint16_t ofs, std::uint16_t seg) {
    return {ofs, seg};
}

// Normalised: offset = lin and 15, segment = the next 16 bits (higher bits are dropped).
constexpr TSegOfsPtr LinToFarPtr(std::uint32_t lin) {
    return {static_cast<std::uint16_t>(lin & 0xFu), static_cast<std::uint16_t>((lin >> 4) & 0xFFFFu)};
}

// The same, raising ERangeError for an address above kBoardAddressMax.
TSegOfsPtr LinToFarPtrChk(std::uint32_t lin);

// segment * 16 + offset (up to $10FFEF).
constexpr std::uint32_t FarPtrToLin(TSegOfsPtr p) {
    return (static_cast<std::uint32_t>(p.Seg) << 4) + p.Ofs;
}

// Whether a block of length (at least 1) bytes at address runs past the last board address: its far
// pointers would wrap round to address 0.
bool PassesAddressSpaceEnd(TSegOfsPtr address, std::size_t length);

// A typed address: "seg:ofs" (each part hex with or without "$", an empty part 0) or a linear hex
// address; an empty text is 0. err is set, and the result is 0, when a part does not convert, a
// segment or offset is above $FFFF or a linear address above kBoardAddressMax.
TSegOfsPtr StrToFarPtr(std::string_view text, bool& err);

// "$F000:FFF0": the segment with "$", the offset without.
std::string FarPtrToStr(TSegOfsPtr p);

// "$" and five hex digits of the low 20 bits.
std::string LinToStr(std::uint32_t lin);

// The trimmed text read as hex with or without "$" ("" is 0); err is set, and the result is 0,
// when it does not convert or is above $FFFFFFFF.
std::uint32_t HexStrToDWord(std::string_view text, bool& err);

} // namespace ravlo
