#include "protocol/vok_frame.h"

#include "framework/le_bytes.h"
#include "framework/number_text.h"
#include "platform/exception.h"

#include <array>

namespace ravlo {
namespace {

constexpr std::uint8_t kFirstNamed = 0xD0;

// Indexed by type - 0xD0; nullptr where a type has no name.
constexpr std::array<const char*, 0x2E> kFrameNames = [] {
    std::array<const char*, 0x2E> names{};
    const auto set = [&names](std::uint8_t type, const char* name) {
        names[type - kFirstNamed] = name;
    };
    set(ft_Mem, "_Mem");
    set(ft_MemD, "MemD");
    set(ft_cIORd, "cIORd");
    set(ft_cIORdW, "cIORdW");
    set(ft_cIOWr, "cIOWr");
    set(ft_cIOWrW, "cIOWrW");
    set(ft_MemE, "MemE");
    set(ft_Rqst, "Rqst");
    set(ft_EmptV40, "EmptV40");
    set(ft_Chcksum, "Chcksum");
    set(ft_Err, "Err");
    set(ft_ErrVal, "ErrVal");
    set(ft_BdRate, "BdRate");
    set(ft_ActRq, "ActRq");
    set(ft_ActAck, "ActAck");
    set(ft_Go, "Go");
    set(ft_Run, "Run");
    set(ft_Load, "Load");
    set(ft_SetRTC, "SetRTC");
    set(ft_GetRTC, "GetRTC");
    set(ft_CheckOk, "CheckOk");
    set(ft_CheckErr, "CheckErr");
    set(ft_Empt386, "Empt386");
    set(ft_GetID, "GetID");
    set(ft_EmptHAL, "EmptHAL");
    set(ft_Empt188, "Empt188");
    return names;
}();

void CheckField(std::span<const std::uint8_t> frame, std::size_t offset, std::size_t width) {
    if (offset > frame.size() || frame.size() - offset < width) {
        throw ERangeError("Frame field at " + std::to_string(offset) + " lies past the frame end (" +
                          std::to_string(frame.size()) + " bytes)");
    }
}

} // namespace

std::string VokFrameName(std::uint8_t type) {
    if (type >= kFirstNamed && type - kFirstNamed < static_cast<int>(kFrameNames.size())) {
        if (const char* name = kFrameNames[type - kFirstNamed]) {
            return name;
        }
    }
    return "???_$" + HexB(type);
}

std::string FrameFaultText(TFrameFault fault) {
    switch (fault) {
    case TFrameFault::None:
        return "no fault";
    case TFrameFault::Short:
        return "frame too short";
    case TFrameFault::Oversized:
        return "frame too long";
    case TFrameFault::WrongType:
        return "unexpected frame type";
    case TFrameFault::NotBcd:
        return "clock field is not BCD";
    case TFrameFault::NoTerminator:
        return "identification text has no end";
    }
    return "unknown frame fault";
}

void ThrowFrameFault(TFrameFault fault) {
    throw Exception("Frame refused: " + FrameFaultText(fault));
}

TVokFrame::TVokFrame(std::uint8_t type) : bytes_{type, 0, 0} {}

TFrameParse<TVokFrame> TVokFrame::FromBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kHeaderLen) {
        return TFrameFault::Short;
    }
    if (bytes.size() > kMaxLen) {
        return TFrameFault::Oversized;
    }
    TVokFrame frame;
    frame.bytes_.assign(bytes.begin(), bytes.end());
    return frame;
}

void TVokFrame::CheckRoom(std::size_t count) const {
    if (count > kMaxLen - bytes_.size()) {
        throw ERangeError("Board frame " + VokFrameName(Type()) + " would exceed " + std::to_string(kMaxLen) +
                          " bytes");
    }
}

TVokFrame& TVokFrame::PutU8(std::uint8_t value) {
    CheckRoom(1);
    bytes_.push_back(value);
    return *this;
}

TVokFrame& TVokFrame::PutU16(std::uint16_t value) {
    CheckRoom(2);
    bytes_.push_back(static_cast<std::uint8_t>(value & 0xFFu));
    bytes_.push_back(static_cast<std::uint8_t>(value >> 8));
    return *this;
}

TVokFrame& TVokFrame::PutFarPtr(TSegOfsPtr address) {
    CheckRoom(4);
    PutU16(address.Ofs);
    return PutU16(address.Seg);
}

TVokFrame& TVokFrame::PutBytes(std::span<const std::uint8_t> data) {
    CheckRoom(data.size());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
}

std::uint16_t FrameU16(std::span<const std::uint8_t> frame, std::size_t offset) {
    CheckField(frame, offset, 2);
    return GetLE<std::uint16_t>(frame, offset);
}

TSegOfsPtr FrameFarPtr(std::span<const std::uint8_t> frame, std::size_t offset) {
    CheckField(frame, offset, 4);
    return MakeFarPtr(FrameU16(frame, offset), FrameU16(frame, offset + 2));
}

} // namespace ravlo
