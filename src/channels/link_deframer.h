#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ravlo {

// One byte from the channel below the deframer.
enum class RawRead { Byte, Nothing, Error };

class LinkByteSource {
public:
    virtual ~LinkByteSource() = default;
    // The next byte; Nothing when none has arrived, Error when the channel reported a receive error.
    virtual RawRead ReadRaw(std::uint8_t& byte) = 0;
};

// What the unstuffing read finds.
enum class LinkRead {
    Data,    // a byte other than DLE, or DLE DLE (0x10)
    Control, // DLE and a byte other than SOH and DLE (that byte)
    Start,   // DLE SOH
    Nothing, // no byte now (a DLE waiting for its partner is kept)
    Error,   // the channel below reported a receive error
};

// The resumable receiver of link frames: each Poll reads what has arrived and goes on where the
// last one stopped, so a frame may arrive in any number of pieces, a DLE pair split among them.
// Data are written straight into the caller's buffer; only a frame for this node with the right
// length, CRC and end marker completes (state 0). Others are dropped without an error, and DLE SOH
// anywhere starts a new frame.
class LinkDeframer {
public:
    // States, in the channel's receive-state word.
    static constexpr std::uint16_t kComplete = 0;
    static constexpr std::uint16_t kInactive = 1;
    static constexpr std::uint16_t kHunting = 2;
    static constexpr std::uint16_t kDestination = 3;
    static constexpr std::uint16_t kSource = 4;
    static constexpr std::uint16_t kLengthLow = 5;
    static constexpr std::uint16_t kLengthHigh = 6;
    static constexpr std::uint16_t kData = 7;
    static constexpr std::uint16_t kCrcLow = 8;
    static constexpr std::uint16_t kCrcHigh = 9;
    static constexpr std::uint16_t kEndMarker = 10;

    std::uint16_t State() const { return state_; }
    // Hunting for the next frame once a complete one is taken.
    void Resume() { state_ = kHunting; }
    // Hunting afresh, a pending DLE forgotten.
    void Restart() {
        state_ = kHunting;
        dlePending_ = false;
    }

    // Reads until it must wait for bytes, has a complete frame, or gives up on the frame it reads.
    // ownNode 0 accepts every destination; destination 0 reaches every node.
    void Poll(LinkByteSource& source, std::span<std::uint8_t> buffer, std::uint16_t ownNode);

    // The frame being received or the last one received.
    std::uint16_t FrameLength() const { return length_; }
    std::uint8_t Destination() const { return destination_; }
    std::uint8_t Source() const { return source_; }
    bool DlePending() const { return dlePending_; }

private:
    LinkRead ReadStuffed(LinkByteSource& source, std::uint8_t& byte);
    // One data byte in the current state.
    void TakeData(std::uint8_t byte, std::span<std::uint8_t> buffer, std::uint16_t ownNode, bool& wait);

    std::uint16_t state_ = kInactive;
    bool dlePending_ = false;
    std::uint8_t destination_ = 0;
    std::uint8_t source_ = 0;
    std::uint8_t lengthLow_ = 0;
    std::uint16_t length_ = 0;
    std::uint16_t index_ = 0;
    std::uint16_t crc_ = 0;
};

// Bytes from memory as the deframer's source, for tests and measurements.
class MemoryByteSource final : public LinkByteSource {
public:
    void Append(std::span<const std::uint8_t> bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    // The next read reports a receive error instead of a byte.
    void FailNextRead() { failNext_ = true; }
    // Reads from the start again.
    void Rewind() { position_ = 0; }
    std::size_t Remaining() const { return bytes_.size() - position_; }

    RawRead ReadRaw(std::uint8_t& byte) override {
        if (failNext_) {
            failNext_ = false;
            return RawRead::Error;
        }
        if (position_ == bytes_.size()) {
            return RawRead::Nothing;
        }
        byte = bytes_[position_++];
        return RawRead::Byte;
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
    bool failNext_ = false;
};

} // namespace ravlo
