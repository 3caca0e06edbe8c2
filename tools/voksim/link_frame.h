#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// The link frame on the serial line: DLE SOH, destination, source, length (u16), data, CRC (u16),
// DLE ETX. Every DLE from the destination through the CRC is doubled; the CRC-16/ARC from 0 covers
// SOH, destination, source, both length bytes and the data. The board keeps its own small framer
// so that the host's link layer is tested against an independent implementation.
namespace ravlo::voksim {

inline constexpr std::uint8_t kDle = 0x10;
inline constexpr std::uint8_t kSoh = 0x01;
inline constexpr std::uint8_t kEtx = 0x03;

struct LinkFrame {
    std::uint8_t dst = 0;
    std::uint8_t src = 0;
    std::vector<std::uint8_t> data;
};

std::vector<std::uint8_t> EncodeLinkFrame(std::uint8_t dst, std::uint8_t src,
                                          std::span<const std::uint8_t> data);

// Assembles frames for one node from line bytes, one byte at a time; frames for other nodes,
// with a bad CRC, too long or badly ended are dropped and hunting for the next DLE SOH goes on.
class LinkDeframer {
public:
    enum class Event { None, Frame, Rejected };

    // own_node 0 accepts every frame; destination 0 reaches every node.
    LinkDeframer(std::uint8_t own_node, std::size_t max_data) : own_node_(own_node), max_data_(max_data) {}

    Event Feed(std::uint8_t byte);
    // The frame completed by the last Feed that returned Frame.
    const LinkFrame& Frame() const { return frame_; }
    // Why the last Rejected frame was dropped.
    std::string_view RejectReason() const { return reason_; }
    // Frames that were addressed to other nodes (skipped quietly).
    std::uint64_t OtherNodeFrames() const { return other_node_frames_; }

private:
    enum class State { Hunt, Dst, Src, LenLo, LenHi, Data, CrcLo, CrcHi, End };

    Event OnData(std::uint8_t byte);
    Event OnControl(std::uint8_t byte);
    Event Reject(std::string_view reason);
    bool CrcMatches() const;

    std::uint8_t own_node_;
    std::size_t max_data_;
    State state_ = State::Hunt;
    bool dle_pending_ = false;
    std::uint16_t length_ = 0;
    std::uint16_t crc_ = 0;
    LinkFrame frame_;
    std::string_view reason_;
    std::uint64_t other_node_frames_ = 0;
};

} // namespace ravlo::voksim
