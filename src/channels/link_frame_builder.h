#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ravlo {

// Markers of the link frame.
inline constexpr std::uint8_t kDLE = 0x10;
inline constexpr std::uint8_t kSOH = 0x01;
inline constexpr std::uint8_t kETX = 0x03;

// The CRC of a link frame: CRC-16/ARC from 0 over SOH, destination, source, the two length bytes
// (low first) and the data, all unstuffed.
std::uint16_t LinkFrameCrc(std::uint8_t destination, std::uint8_t source, std::span<const std::uint8_t> data);

// The bytes the link frame of one block takes on the line, markers and doubled DLEs included: what
// sets how long the frame needs to cross the line.
std::size_t LinkFrameWireSize(std::uint8_t destination, std::uint8_t source,
                              std::span<const std::uint8_t> data);

// Builds link frames, DLE SOH dst src len-lo len-hi data crc-lo crc-hi DLE ETX with every 0x10 from
// dst through the CRC sent twice, in a send buffer of a fixed capacity. A frame may be at most
// capacity - 2 bytes long on the line; a capacity of 0 refuses every frame.
class LinkFrameBuilder {
public:
    explicit LinkFrameBuilder(std::size_t capacity) : buffer_(capacity) {}

    std::size_t Capacity() const { return buffer_.size(); }
    // A buffer of the new size; 0 leaves none.
    void SetCapacity(std::size_t capacity) { buffer_ = std::vector<std::uint8_t>(capacity); }

    // The frame of one block, valid until the next call; nullopt when it does not fit.
    std::optional<std::span<const std::uint8_t>> Build(std::uint8_t destination, std::uint8_t source,
                                                       std::span<const std::uint8_t> data);

private:
    std::vector<std::uint8_t> buffer_;
};

} // namespace ravlo
