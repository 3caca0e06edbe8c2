#include "protocol/board_answers.h"

#include "framework/bcd.h"

#include <algorithm>
#include <initializer_list>

namespace ravlo {
namespace {

constexpr std::size_t kIOReadByteLen = 8;
constexpr std::size_t kIOReadWordLen = 9;
constexpr std::size_t kValueAt = 7;
constexpr std::size_t kErrLen = 5;

// A frame of the type with minLen to maxLen bytes.
TFrameFault CheckLength(std::span<const std::uint8_t> frame, std::uint8_t type, std::size_t minLen,
                        std::size_t maxLen) {
    if (frame.empty()) {
        return TFrameFault::Short;
    }
    if (frame[0] != type) {
        return TFrameFault::WrongType;
    }
    if (frame.size() < minLen) {
        return TFrameFault::Short;
    }
    if (frame.size() > maxLen) {
        return TFrameFault::Oversized;
    }
    return TFrameFault::None;
}

// A frame of the type whose layout has exactly len bytes.
TFrameFault CheckFixed(std::span<const std::uint8_t> frame, std::uint8_t type, std::size_t len) {
    return CheckLength(frame, type, len, len);
}

bool IsBcd(std::uint8_t value) {
    return (value & 0x0Fu) <= 9 && (value >> 4) <= 9;
}

DEV_VokType BoardOfAnswer(std::uint8_t type) {
    switch (type) {
    case ft_EmptV40:
        return DEV_VokV40;
    case ft_Empt386:
        return DEV_Vok386;
    case ft_Empt188:
        return DEV_Vok188;
    default:
        return DEV_Unknown;
    }
}

} // namespace

TFrameFault CheckBareAnswer(std::span<const std::uint8_t> frame, std::uint8_t type) {
    return CheckFixed(frame, type, TVokFrame::kHeaderLen);
}

TFrameParse<TMemDAnswer> ParseMemD(std::span<const std::uint8_t> frame) {
    if (const TFrameFault fault = CheckLength(frame, ft_MemD, kBlockFrameHeaderLen, TVokFrame::kMaxLen);
        fault != TFrameFault::None) {
        return fault;
    }
    const std::size_t count = FrameU16(frame, kBlockFrameCountAt);
    const std::size_t present = frame.size() - kBlockFrameHeaderLen;
    if (count > present) {
        return TFrameFault::Short;
    }
    if (count < present) {
        return TFrameFault::Oversized;
    }
    return TMemDAnswer{FrameFarPtr(frame, kBlockFrameAddressAt), frame.subspan(kBlockFrameHeaderLen)};
}

TFrameParse<DEV_VokType> ParseRqstAnswer(std::span<const std::uint8_t> frame) {
    if (frame.size() < TVokFrame::kHeaderLen) {
        return TFrameFault::Short;
    }
    const DEV_VokType board = BoardOfAnswer(frame[0]);
    if (board != DEV_Unknown) {
        if (const TFrameFault fault = CheckBareAnswer(frame, frame[0]); fault != TFrameFault::None) {
            return fault;
        }
    }
    return board;
}

TFrameParse<bool> ParseCheckAnswer(std::span<const std::uint8_t> frame) {
    if (frame.empty()) {
        return TFrameFault::Short;
    }
    if (frame[0] != ft_CheckOk && frame[0] != ft_CheckErr) {
        return TFrameFault::WrongType;
    }
    if (const TFrameFault fault = CheckBareAnswer(frame, frame[0]); fault != TFrameFault::None) {
        return fault;
    }
    return frame[0] == ft_CheckOk;
}

TFrameParse<TIOReadAnswer> ParseIORead(std::span<const std::uint8_t> frame) {
    if (frame.empty()) {
        return TFrameFault::Short;
    }
    const bool word = frame[0] == ft_cIORdW;
    if (!word && frame[0] != ft_cIORd) {
        return TFrameFault::WrongType;
    }
    if (const TFrameFault fault = CheckFixed(frame, frame[0], word ? kIOReadWordLen : kIOReadByteLen);
        fault != TFrameFault::None) {
        return fault;
    }
    TIOReadAnswer answer;
    answer.Port = FrameU16(frame, 3);
    answer.Width = word ? 2 : 1;
    answer.Value = word ? FrameU16(frame, kValueAt) : frame[kValueAt];
    return answer;
}

TFrameParse<std::uint16_t> ParseErr(std::span<const std::uint8_t> frame) {
    if (const TFrameFault fault = CheckFixed(frame, ft_Err, kErrLen); fault != TFrameFault::None) {
        return fault;
    }
    return FrameU16(frame, 3);
}

TFrameParse<TVokClockAnswer> ParseClockAnswer(std::span<const std::uint8_t> frame) {
    if (const TFrameFault fault = CheckLength(frame, ft_SetRTC, kClockAnswerLen, TVokFrame::kMaxLen);
        fault != TFrameFault::None) {
        return fault;
    }
    const auto fields = frame.subspan(3, kClockAnswerLen - 3);
    if (!std::all_of(fields.begin(), fields.end(), IsBcd)) {
        return TFrameFault::NotBcd;
    }
    TVokClockAnswer answer;
    std::copy_n(frame.begin(), kClockAnswerLen, answer.Raw.begin());
    answer.Time.Year = BCDToWord(FrameU16(frame, 3));
    answer.Time.Month = BCDToByte(frame[5]);
    answer.Time.Day = BCDToByte(frame[6]);
    answer.Time.Hour = BCDToByte(frame[7]);
    answer.Time.Minute = BCDToByte(frame[8]);
    answer.Time.Second = BCDToByte(frame[9]);
    answer.MinYear = BCDToWord(FrameU16(frame, 10));
    answer.MaxYear = BCDToWord(FrameU16(frame, 12));
    return answer;
}

TFrameParse<std::string> ParseBiosIdText(std::span<const std::uint8_t> data) {
    const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    if (end == data.end()) {
        return TFrameFault::NoTerminator;
    }
    return std::string(data.begin(), end);
}

TFrameParse<TBiosIdData> ParseBiosId386(std::span<const std::uint8_t> data) {
    auto text = ParseBiosIdText(data);
    if (!text.Ok()) {
        return text.Fault();
    }
    const std::size_t flashAt = text.Value().size() + 1;
    if (flashAt >= data.size()) {
        return TFrameFault::Short;
    }
    return TBiosIdData{text.Value(), data[flashAt]};
}

bool AnswersRequest(std::uint8_t request, std::uint8_t answer) {
    const auto oneOf = [answer](std::initializer_list<std::uint8_t> types) {
        return std::find(types.begin(), types.end(), answer) != types.end();
    };
    switch (request) {
    case ft_Mem:
    case ft_GetID:
        return oneOf({ft_MemD, ft_MemE});
    case ft_cIORd:
    case ft_cIORdW:
        return oneOf({ft_cIORd, ft_cIORdW, ft_MemE});
    case ft_Chcksum:
        return oneOf({ft_CheckOk, ft_CheckErr});
    case ft_Load:
        return oneOf({ft_EmptV40, ft_Empt386, ft_Empt188});
    case ft_SetRTC:
        return oneOf({ft_EmptV40, ft_Empt386, ft_Empt188, ft_Err});
    case ft_GetRTC:
        return oneOf({ft_SetRTC, ft_Err});
    case ft_Rqst:
        return !oneOf({ft_MemD, ft_MemE, ft_cIORd, ft_cIORdW, ft_CheckOk, ft_CheckErr, ft_Err, ft_SetRTC});
    default:
        return true;
    }
}

std::string FlashTypeText(std::uint8_t code, bool vok386) {
    switch (code) {
    case 0x5B:
        return "ATMEL 29C010";
    case 0xA4:
        return "ATMEL 29C020";
    case 0xD5:
        return "ATMEL 29C040";
    case 0xDA:
        return "ATMEL 29C040A";
    default:
        return vok386 ? "Eprom xxx" : "Eprom ???";
    }
}

std::string_view DeviceName(std::uint8_t device) {
    switch (device) {
    case DEV_VokV40:
        return "VokV40";
    case DEV_Vok386:
        return "Vok386";
    case DEV_Vok188:
        return "Vok188";
    default:
        return {};
    }
}

} // namespace ravlo
