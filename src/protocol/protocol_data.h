#pragma once

#include "framework/mem_block.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace ravlo {

// One communication record (TRavloCommFrameRec layout) held by the communication process, one for
// sending and one for receiving.
class TProtocolData : public TMem {
public:
    TProtocolData() = default;

    // The frame length word at offset 2; 0 when the block has fewer than 5 bytes.
    std::uint16_t Length() const;
    // The frame bytes from offset 4, Length() of them; empty when the block has no room for the
    // header or the length word claims more bytes than the block holds.
    std::span<const std::uint8_t> FrameData() const;
    // Writes n at offset 2 and copies the n bytes to offset 4 when the block holds at least n + 4
    // bytes; otherwise changes nothing. Answers whether it wrote.
    bool SetFrameData(std::span<const std::uint8_t> bytes);
    // Replaces the block by n + 4 zero bytes; n of 65532 or more raises ERangeError.
    void SetFrameSize(std::size_t n);
};

} // namespace ravlo
