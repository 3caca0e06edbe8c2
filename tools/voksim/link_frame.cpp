#include "voksim/link_frame.h"

#include "framework/crc16.h"

#include <array>

namespace ravlo::voksim {

namespace {

std::uint16_t FrameCrc(std::uint8_t dst, std::uint8_t src, std::span<const std::uint8_t> data) {
    const auto length = static_cast<std::uint16_t>(data.size());
    const std::array<std::uint8_t, 5> header{kSoh, dst, src, static_cast<std::uint8_t>(length & 0xFF),
                                             static_cast<std::uint8_t>(length >> 8)};
    return Crc16Block(data, Crc16Block(header, 0));
}

void PutStuffed(std::vector<std::uint8_t>& out, std::uint8_t byte) {
    out.push_back(byte);
    if (byte == kDle) {
        out.push_back(kDle);
    }
}

} // namespace

std::vector<std::uint8_t> EncodeLinkFrame(std::uint8_t dst, std::uint8_t src,
                                          std::span<const std::uint8_t> data) {
    const auto length = static_cast<std::uint16_t>(data.size());
    const std::uint16_t crc = FrameCrc(dst, src, data);
    std::vector<std::uint8_t> out{kDle, kSoh};
    out.reserve(data.size() + 12);
    for (const std::uint8_t byte :
         {dst, src, static_cast<std::uint8_t>(length & 0xFF), static_cast<std::uint8_t>(length >> 8)}) {
        PutStuffed(out, byte);
    }
    for (const std::uint8_t byte : data) {
        PutStuffed(out, byte);
    }
    PutStuffed(out, static_cast<std::uint8_t>(crc & 0xFF));
    PutStuffed(out, static_cast<std::uint8_t>(crc >> 8));
    out.push_back(kDle);
    out.push_back(kEtx);
    return out;
}

LinkDeframer::Event LinkDeframer::Feed(std::uint8_t byte) {
    if (dle_pending_) {
        dle_pending_ = false;
        if (byte == kDle) {
            return OnData(kDle);
        }
        if (byte == kSoh) {
            // A start marker always begins a new frame, even in the middle of another one.
            const bool broken = state_ != State::Hunt;
            state_ = State::Dst;
            frame_.data.clear();
            if (broken) {
                reason_ = "new frame started inside a frame";
                return Event::Rejected;
            }
            return Event::None;
        }
        return OnControl(byte);
    }
    if (byte == kDle) {
        dle_pending_ = true;
        return Event::None;
    }
    return OnData(byte);
}

LinkDeframer::Event LinkDeframer::OnData(std::uint8_t byte) {
    switch (state_) {
    case State::Hunt:
        return Event::None;
    case State::Dst:
        frame_.dst = byte;
        if (own_node_ != 0 && byte != own_node_ && byte != 0) {
            ++other_node_frames_;
            state_ = State::Hunt;
            return Event::None;
        }
        state_ = State::Src;
        return Event::None;
    case State::Src:
        frame_.src = byte;
        state_ = State::LenLo;
        return Event::None;
    case State::LenLo:
        length_ = byte;
        state_ = State::LenHi;
        return Event::None;
    case State::LenHi:
        length_ = static_cast<std::uint16_t>(length_ | (byte << 8));
        if (length_ > max_data_) {
            return Reject("frame longer than the receive buffer");
        }
        state_ = length_ == 0 ? State::CrcLo : State::Data;
        return Event::None;
    case State::Data:
        frame_.data.push_back(byte);
        if (frame_.data.size() == length_) {
            state_ = State::CrcLo;
        }
        return Event::None;
    case State::CrcLo:
        crc_ = byte;
        state_ = State::CrcHi;
        return Event::None;
    case State::CrcHi:
        crc_ = static_cast<std::uint16_t>(crc_ | (byte << 8));
        if (!CrcMatches()) {
            return Reject("CRC error");
        }
        state_ = State::End;
        return Event::None;
    case State::End:
        return Reject("no end marker");
    }
    return Event::None;
}

LinkDeframer::Event LinkDeframer::OnControl(std::uint8_t byte) {
    if (state_ == State::End && byte == kEtx) {
        state_ = State::Hunt;
        return Event::Frame;
    }
    if (state_ == State::Hunt) {
        return Event::None;
    }
    return Reject("control byte inside a frame");
}

LinkDeframer::Event LinkDeframer::Reject(std::string_view reason) {
    reason_ = reason;
    state_ = State::Hunt;
    return Event::Rejected;
}

bool LinkDeframer::CrcMatches() const {
    return FrameCrc(frame_.dst, frame_.src, frame_.data) == crc_;
}

} // namespace ravlo::voksim
