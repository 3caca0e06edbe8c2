#pragma once

// Board frames as the tests write them, in link frames of the simulator's own framer (which
// voksimLinkFrame holds against frames worked out by hand).

#include "voksim/link_frame.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace ravlo::voksim::testing {

inline std::vector<std::uint8_t> ToBoard(std::span<const std::uint8_t> data) {
    return EncodeLinkFrame(254, 255, data);
}

// A board frame: type, two reserved zero bytes, then the fields.
inline std::vector<std::uint8_t> Vok(std::uint8_t type, std::initializer_list<std::uint8_t> fields = {}) {
    std::vector<std::uint8_t> frame{type, 0, 0};
    frame.insert(frame.end(), fields.begin(), fields.end());
    return frame;
}

// _Mem: seg:off (offset first) and a byte count.
inline std::vector<std::uint8_t> MemRequest(std::uint16_t seg, std::uint16_t off, std::uint16_t count) {
    return Vok(0xD0, {static_cast<std::uint8_t>(off), static_cast<std::uint8_t>(off >> 8),
                      static_cast<std::uint8_t>(seg), static_cast<std::uint8_t>(seg >> 8),
                      static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)});
}

// Load: seg:off, the byte count and the bytes.
inline std::vector<std::uint8_t> LoadRequest(std::uint16_t seg, std::uint16_t off,
                                             const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> frame = MemRequest(seg, off, static_cast<std::uint16_t>(data.size()));
    frame[0] = 0xE1;
    frame.insert(frame.end(), data.begin(), data.end());
    return frame;
}

// The frames a deframer takes from a stretch of line bytes; *rejected counts those it dropped.
inline std::vector<LinkFrame> FeedAll(LinkDeframer& deframer, std::span<const std::uint8_t> line,
                                      int* rejected = nullptr) {
    std::vector<LinkFrame> frames;
    for (const std::uint8_t byte : line) {
        const auto event = deframer.Feed(byte);
        if (event == LinkDeframer::Event::Frame) {
            frames.push_back(deframer.Frame());
        } else if (event == LinkDeframer::Event::Rejected && rejected != nullptr) {
            ++*rejected;
        }
    }
    return frames;
}

// Every good frame, whatever its destination.
inline std::vector<LinkFrame> ParseFrames(std::span<const std::uint8_t> line, int* rejected = nullptr) {
    LinkDeframer deframer(0, 0xFFFF);
    return FeedAll(deframer, line, rejected);
}

inline std::uint16_t Le16(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

} // namespace ravlo::voksim::testing
