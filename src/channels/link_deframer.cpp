#include "channels/link_deframer.h"

#include "channels/link_frame_builder.h"

namespace ravlo {

LinkRead LinkDeframer::ReadStuffed(LinkByteSource& source, std::uint8_t& byte) {
    if (!dlePending_) {
        const RawRead first = source.ReadRaw(byte);
        if (first != RawRead::Byte) {
            return first == RawRead::Nothing ? LinkRead::Nothing : LinkRead::Error;
        }
        if (byte != kDLE) {
            return LinkRead::Data;
        }
    }
    const RawRead second = source.ReadRaw(byte);
    if (second == RawRead::Nothing) {
        dlePending_ = true;
        return LinkRead::Nothing;
    }
    dlePending_ = false;
    if (second == RawRead::Error) {
        return LinkRead::Error;
    }
    return byte == kDLE ? LinkRead::Data : (byte == kSOH ? LinkRead::Start : LinkRead::Control);
}

void LinkDeframer::Poll(LinkByteSource& source, std::span<std::uint8_t> buffer, std::uint16_t ownNode) {
    for (;;) {
        if (state_ == kComplete || state_ == kInactive) {
            return;
        }
        if (state_ > kEndMarker) {
            dlePending_ = false;
            state_ = kHunting;
        }
        std::uint8_t byte = 0;
        switch (ReadStuffed(source, byte)) {
        case LinkRead::Nothing:
            return;
        case LinkRead::Start:
            if (state_ == kDestination) {
                return; // a new frame in place of the one just begun
            }
            state_ = kDestination;
            break;
        case LinkRead::Error:
            if (state_ == kHunting) {
                return;
            }
            if (state_ != kDestination) {
                state_ = kHunting;
                return;
            }
            state_ = kHunting;
            break;
        case LinkRead::Control:
            if (state_ == kEndMarker) {
                state_ = byte == kETX ? kComplete : kHunting;
                return;
            }
            state_ = kHunting;
            break;
        case LinkRead::Data: {
            bool wait = false;
            TakeData(byte, buffer, ownNode, wait);
            if (wait) {
                return;
            }
            break;
        }
        }
    }
}

void LinkDeframer::TakeData(std::uint8_t byte, std::span<std::uint8_t> buffer, std::uint16_t ownNode,
                            bool& wait) {
    switch (state_) {
    case kDestination:
        destination_ = byte;
        state_ = ownNode == 0 || byte == ownNode || byte == 0 ? kSource : kHunting;
        break;
    case kSource:
        source_ = byte;
        state_ = kLengthLow;
        break;
    case kLengthLow:
        lengthLow_ = byte;
        state_ = kLengthHigh;
        break;
    case kLengthHigh:
        length_ = static_cast<std::uint16_t>(lengthLow_ | (byte << 8));
        if (length_ > buffer.size()) {
            state_ = kHunting;
            wait = true;
        } else if (length_ == 0) {
            state_ = kCrcLow;
        } else {
            index_ = 0;
            state_ = kData;
        }
        break;
    case kData:
        if (index_ >= buffer.size()) {
            state_ = kHunting; // the buffer was replaced by a smaller one under the frame
            break;
        }
        buffer[index_] = byte;
        if (index_ + 1 == length_) {
            state_ = kCrcLow;
        } else {
            ++index_;
        }
        break;
    case kCrcLow:
        if (length_ > buffer.size()) {
            state_ = kHunting;
            break;
        }
        crc_ = LinkFrameCrc(destination_, source_, buffer.first(length_));
        state_ = byte == (crc_ & 0xFF) ? kCrcHigh : kHunting;
        break;
    case kCrcHigh:
        state_ = byte == (crc_ >> 8) ? kEndMarker : kHunting;
        break;
    default: // kHunting skips data; after the CRC only the end marker may follow
        state_ = kHunting;
        break;
    }
}

} // namespace ravlo
