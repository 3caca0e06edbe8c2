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

std::optional<std::span<const std::uint8_t>>
LinkFrameBuilder::Build(std::uint8_t destination, std::uint8_t source, std::span<const std::uint8_t> data) {
    if (data.size() > 0xFFFF) {
        return std::nullopt;
    }
    const auto length = static_cast<std::uint16_t>(data.size());
    const std::uint16_t crc = LinkFrameCrc(destination, source, data);
    const std::array<std::uint8_t, 4> header = {destination, source, static_cast<std::uint8_t>(length & 0xFF),
                                                static_cast<std::uint8_t>(length >> 8)};
    const std::array<std::uint8_t, 2> trailer = {static_cast<std::uint8_t>(crc & 0xFF),
                                                 static_cast<std::uint8_t>(crc >> 8)};
    const auto doubled = [](auto bytes) {
        return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), kDLE));
    };
    const std::size_t frameLength = 2 + header.size() + data.size() + trailer.size() + 2 +
                                    doubled(std::span(header)) + doubled(data) + doubled(std::span(trailer));
    if (buffer_.size() < 2 || frameLength > buffer_.size() - 2) {
        return std::nullopt;
    }
    std::uint8_t* out = buffer_.data();
    *out++ = kDLE;
    *out++ = kSOH;
    for (const std::uint8_t byte : header) {
        out = PutStuffed(out, byte);
    }
    for (const std::uint8_t byte : data) {
        out = PutStuffed(out, byte);
    }
    for (const std::uint8_t byte : trailer) {
        out = PutStuffed(out, byte);
    }
    *out++ = kDLE;
    *out++ = kETX;
    return std::span<const std::uint8_t>(buffer_.data(), frameLength);
}

} // namespace ravlo
