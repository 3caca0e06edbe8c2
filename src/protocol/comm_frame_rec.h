#pragma once

#include "protocol/vok_frame.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ravlo {

// 4 + frameLen: the length of a communication record carrying a frame of frameLen bytes; a frame
// length of 65532 or more raises ERangeError.
std::size_t Ravlo_MA_TxDLen(std::size_t frameLen);

// The record that carries one board frame to the communication process (RAVLOCOMM_MA_TxD) and back
// (RAVLOCOMM_MA_RxD):
//   0 u8 NoAnswer, 1 u8 TxFlags, 2 u16 frame length n, 4 n bytes of the frame.
struct TRavloCommFrameRec {
    static constexpr std::size_t kNoAnswerAt = 0;
    static constexpr std::size_t kTxFlagsAt = 1;
    static constexpr std::size_t kFrameLenAt = 2;
    static constexpr std::size_t kHeaderLen = 4;

    std::uint8_t NoAnswer = 0;
    std::uint8_t TxFlags = 0;
    TVokFrame Frame;

    // The frame with the send flags of its type.
    static TRavloCommFrameRec ForFrame(TVokFrame frame);

    std::size_t Length() const { return Ravlo_MA_TxDLen(Frame.Length()); }

    std::vector<std::uint8_t> Encode() const;
    // Appends the record to out (a run record puts its operation byte in front).
    void EncodeTo(std::vector<std::uint8_t>& out) const;

    // A record exactly as long as its length field says: Short when the header is incomplete or the
    // frame is cut, Oversized when bytes follow the frame; the frame itself then has to pass
    // TVokFrame::FromBytes.
    static TFrameParse<TRavloCommFrameRec> Decode(std::span<const std::uint8_t> record);

    bool operator==(const TRavloCommFrameRec&) const = default;
};

// The data text of a RAVLOCOMM_MA_TxD or RAVLOCOMM_MA_RxD message: the name of the frame it carries,
// or "NoRecData" when there is no frame in it.
std::string CommFrameRecText(std::span<const std::uint8_t> data);

} // namespace ravlo
