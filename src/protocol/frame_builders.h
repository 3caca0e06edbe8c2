#pragma once

#include "framework/board_address.h"
#include "protocol/vok_frame.h"

#include <cstdint>
#include <span>

namespace ravlo {

// Date and time as the clock window edits them and SetRTC carries them: binary, not BCD.
struct TVokClockRec {
    std::uint16_t Year = 0;
    std::uint8_t Month = 0;
    std::uint8_t Day = 0;
    std::uint8_t Hour = 0;
    std::uint8_t Minute = 0;
    std::uint8_t Second = 0;

    bool operator==(const TVokClockRec&) const = default;
};

// The request frames of the host. Every address goes out as the caller gives it.

// A frame without fields (Rqst, GetID, GetRTC): 3 bytes.
TVokFrame BuildBareFrame(std::uint8_t type);
// _Mem: address, byte count; 9 bytes.
TVokFrame BuildMemFrame(TSegOfsPtr address, std::uint16_t count);
// Chcksum: segment:0000, the length in whole paragraphs; 9 bytes. A length of 1 MB or more has no
// paragraph count that fits the field and raises ERangeError.
TVokFrame BuildChcksumFrame(std::uint16_t segment, std::uint32_t byteLength);
// Go and Run: the address to jump to; 7 bytes.
TVokFrame BuildGoFrame(TSegOfsPtr address);
TVokFrame BuildRunFrame(TSegOfsPtr address);
// Load: address, byte count, the bytes; 9 + n bytes. More data than a frame holds raises ERangeError.
TVokFrame BuildLoadFrame(TSegOfsPtr address, std::span<const std::uint8_t> data);
// cIORd / cIORdW: port, width 1 / 2; 7 bytes.
TVokFrame BuildIORdFrame(std::uint16_t port);
TVokFrame BuildIORdWFrame(std::uint16_t port);
// cIOWr / cIOWrW: port, width 1 / 2, value as a word; 9 bytes.
TVokFrame BuildIOWrFrame(std::uint16_t port, std::uint8_t value);
TVokFrame BuildIOWrWFrame(std::uint16_t port, std::uint16_t value);
// BdRate: the board's code of the rate (an unknown rate gets the 4800 code); 4 bytes.
TVokFrame BuildBdRateFrame(std::uint32_t baud);
// GetRTC: 3 bytes. SetRTC: year word, month, day, hour, minute, second; 10 bytes.
TVokFrame BuildGetRTCFrame();
TVokFrame BuildSetRTCFrame(const TVokClockRec& time);

// How the communication process sends a frame: NoAnswer 1 when no answer is awaited, and TxFlags,
// how many more times such a frame goes out after the first.
struct TVokSendFlags {
    std::uint8_t NoAnswer = 0;
    std::uint8_t TxFlags = 0;

    bool operator==(const TVokSendFlags&) const = default;
};

// cIOWr, cIOWrW: 1, 1; BdRate, Go, Run: 1, 3; every other type 0, 0.
TVokSendFlags SendFlagsOf(std::uint8_t type);

} // namespace ravlo
