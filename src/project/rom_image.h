#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ravlo {

// Pieces of a .BIN ROM image: the board finds a module by its $55 $AA signature, reads its length in
// 512-byte blocks from byte 2, and expects its bytes to add up to 0 modulo 256.

inline constexpr std::size_t kRomHeaderSize = 16;
inline constexpr std::size_t kLoaderHeaderSize = 96;
inline constexpr std::uint32_t kRomBlockSize = 512;
inline constexpr std::uint32_t kParagraphsPerBlock = kRomBlockSize / 16;

// The block count byte for an image of that many paragraphs before its trailer (P div 32 + 1);
// nothing when it does not fit a byte.
std::optional<std::uint8_t> RomBlockCount(std::uint32_t paragraphs);

// $55 $AA, the block count, $CB (a far return), then $FF.
std::array<std::uint8_t, kRomHeaderSize> RomHeader(std::uint8_t blockCount);

// The values the start-up loader is patched with.
struct TLoaderFields {
    std::uint8_t BlockCount = 0;
    // The INITCODE copy, when RAM code is used; without it the first copy is replaced by two NOPs.
    bool CopyInitCode = false;
    std::uint16_t InitCodeSource = 0;
    std::uint16_t InitCodeDest = 0;
    std::uint16_t InitCodeLength = 0;
    std::uint16_t InitDataSource = 0;
    std::uint16_t DataSegment = 0;
    std::uint16_t InitDataLength = 0;
    std::uint16_t StackSegment = 0;
    std::uint16_t StackPointer = 0;
    std::uint16_t HeapSegment = 0;
    std::uint16_t HeapEndSegment = 0;
    std::uint16_t EntrySegment = 0;
    std::uint16_t EntryOffset = 0;
};

// The 96-byte real-mode loader: the ROM entry hooks interrupt $19 to the code at offset $12, which
// copies INITCODE and INITDATA into RAM, sets DS, SS:SP, BX and CX and jumps to the program's entry.
std::array<std::uint8_t, kLoaderHeaderSize> LoaderHeader(const TLoaderFields& fields);

// The bytes of one image with the running sum the checksum byte is made from.
class TRomImage {
public:
    void Append(std::span<const std::uint8_t> bytes);
    // $FF up to the next 512-byte boundary (a whole block when already on one), the last byte being
    // the one that makes the byte sum 0 modulo 256.
    void AppendTrailer();

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::uint32_t Size() const { return static_cast<std::uint32_t>(bytes_.size()); }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint32_t sum_ = 0;
};

} // namespace ravlo
