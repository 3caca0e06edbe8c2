#include "protocol/comm_frame_rec.h"

#include "platform/exception.h"
#include "protocol/frame_builders.h"

#include <string>

namespace ravlo {

std::size_t Ravlo_MA_TxDLen(std::size_t frameLen) {
    if (frameLen > TVokFrame::kMaxLen) {
        throw ERangeError("Frame length " + std::to_string(frameLen) + " is out of range");
    }
    return TRavloCommFrameRec::kHeaderLen + frameLen;
}

TRavloCommFrameRec TRavloCommFrameRec::ForFrame(TVokFrame frame) {
    const TVokSendFlags flags = SendFlagsOf(frame.Type());
    return {flags.NoAnswer, flags.TxFlags, std::move(frame)};
}

std::vector<std::uint8_t> TRavloCommFrameRec::Encode() const {
    std::vector<std::uint8_t> out;
    out.reserve(Length());
    EncodeTo(out);
    return out;
}

void TRavloCommFrameRec::EncodeTo(std::vector<std::uint8_t>& out) const {
    // A TVokFrame never exceeds kMaxLen, so its length fits the u16 field.
    const auto frameLen = static_cast<std::uint16_t>(Frame.Length());
    out.push_back(NoAnswer);
    out.push_back(TxFlags);
    out.push_back(static_cast<std::uint8_t>(frameLen & 0xFFu));
    out.push_back(static_cast<std::uint8_t>(frameLen >> 8));
    const auto bytes = Frame.Bytes();
    out.insert(out.end(), bytes.begin(), bytes.end());
}

TFrameParse<TRavloCommFrameRec> TRavloCommFrameRec::Decode(std::span<const std::uint8_t> record) {
    if (record.size() < kHeaderLen) {
        return TFrameFault::Short;
    }
    const std::size_t frameLen = FrameU16(record, kFrameLenAt);
    const std::size_t present = record.size() - kHeaderLen;
    if (frameLen > present) {
        return TFrameFault::Short;
    }
    if (frameLen < present) {
        return TFrameFault::Oversized;
    }
    auto frame = TVokFrame::FromBytes(record.subspan(kHeaderLen));
    if (!frame.Ok()) {
        return frame.Fault();
    }
    return TRavloCommFrameRec{record[0], record[1], frame.Value()};
}

std::string CommFrameRecText(std::span<const std::uint8_t> data) {
    if (data.size() <= TRavloCommFrameRec::kHeaderLen) {
        return "NoRecData";
    }
    return VokFrameName(data[TRavloCommFrameRec::kHeaderLen]);
}

} // namespace ravlo
