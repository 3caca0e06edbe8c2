#include "channels/link_frame_builder.h"

#include "framework/crc16.h"

#include <algorithm>
#include <array>

namespace ravlo {
namespace {

// Appends a byte, doubling a DLE.
std::uint8_t* PutStuffed(std::uint8_t* out, std::uint8_t byte) {
    *out++ = byte;
    if (byte == kDLE) {
        *out++ = kDLE;
    }
    return out;
}

// The stuffed fields around the data: nodes and length before, the CRC after.
struct FrameParts {
    std::array<std::uint8_t, 4> Header;
    std::array<std::uint8_t, 2> Trailer;
};

FrameParts PartsOf(std::uint8_t destination, std::uint8_t source, std::span<const std::uint8_t> data) {
    const auto length = static_cast<std::uint16_t>(data.size());
    const std::uint16_t crc = LinkFrameCrc(destination, source, data);
    return {{destination, source, static_cast<std::uint8_t>(length & 0xFF),
             static_cast<std::uint8_t>(length >> 8)},
            {static_cast<std::uint8_t>(crc & 0xFF), static_cast<std::uint8_t>(crc >> 8)}};
}

std::size_t Doubled(std::span<const std::uint8_t> bytes) {
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), kDLE));
}

std::size_t WireSizeOf(const FrameParts& parts, std::span<const std::uint8_t> data) {
    return 2 + parts.Header.size() + data.size() + parts.Trailer.size() + 2 + Doubled(parts.Header) +
           Doubled(data) + Doubled(parts.Trailer);
}

} // namespace

std::uint16_t LinkFrameCrc(std::uint8_t destination, std::uint8_t source,
                           std::span<const std::uint8_t> data) {
    const auto length = static_cast<std::uint16_t>(data.size());
    const std::array<std::uint8_t, 5> header = {kSOH, destination, source,
                                                static_cast<std::uint8_t>(length & 0xFF),
                                                static_cast<std::uint8_t>(length >> 8)};
    tCrc16 crc(0);
    for (const std::uint8_t byte : header) {
        crc.AddByte(byte);
    }
    return data.empty() ? crc.GetCrc() : Crc16Block(data, crc.GetCrc());
}

std::size_t LinkFrameWireSize(std::uint8_t destination, std::uint8_t source,
                              std::span<const std::uint8_t> data) {
    return WireSizeOf(PartsOf(destination, source, data), data);
}

std::optional<std::span<const std::uint8_t>>
LinkFrameBuilder::Build(std::uint8_t destination, std::uint8_t source, std::span<const std::uint8_t> data) {
    if (data.size() > 0xFFFF) {
        return std::nullopt;
    }
    const FrameParts parts = PartsOf(destination, source, data);
    const std::size_t frameLength = WireSizeOf(parts, data);
    if (buffer_.size() < 2 || frameLength > buffer_.size() - 2) {
        return std::nullopt;
    }
    std::uint8_t* out = buffer_.data();
    *out++ = kDLE;
    *out++ = kSOH;
    for (const std::uint8_t byte : parts.Header) {
        out = PutStuffed(out, byte);
    }
    for (const std::uint8_t byte : data) {
        out = PutStuffed(out, byte);
    }
    for (const std::uint8_t byte : parts.Trailer) {
        out = PutStuffed(out, byte);
    }
    *out++ = kDLE;
    *out++ = kETX;
    return std::span<const std::uint8_t>(buffer_.data(), frameLength);
}

} // namespace ravlo
