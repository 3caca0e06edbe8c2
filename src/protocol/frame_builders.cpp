#include "protocol/frame_builders.h"

#include "framework/baud_code.h"
#include "platform/exception.h"

#include <string>

namespace ravlo {
namespace {

constexpr std::uint16_t kByteWidth = 1;
constexpr std::uint16_t kWordWidth = 2;
constexpr std::uint32_t kParagraph = 16;

TVokFrame AddressFrame(std::uint8_t type, TSegOfsPtr address) {
    TVokFrame frame(type);
    frame.PutFarPtr(address);
    return frame;
}

TVokFrame PortFrame(std::uint8_t type, std::uint16_t port, std::uint16_t width) {
    TVokFrame frame(type);
    frame.PutU16(port).PutU16(width);
    return frame;
}

} // namespace

TVokFrame BuildBareFrame(std::uint8_t type) {
    return TVokFrame(type);
}

TVokFrame BuildMemFrame(TSegOfsPtr address, std::uint16_t count) {
    TVokFrame frame = AddressFrame(ft_Mem, address);
    frame.PutU16(count);
    return frame;
}

TVokFrame BuildChcksumFrame(std::uint16_t segment, std::uint32_t byteLength) {
    const std::uint32_t paragraphs = byteLength / kParagraph;
    if (paragraphs > 0xFFFFu) {
        throw ERangeError("Chcksum: module length " + std::to_string(byteLength) +
                          " bytes does not fit the paragraph count");
    }
    TVokFrame frame = AddressFrame(ft_Chcksum, MakeFarPtr(0, segment));
    frame.PutU16(static_cast<std::uint16_t>(paragraphs));
    return frame;
}

TVokFrame BuildGoFrame(TSegOfsPtr address) {
    return AddressFrame(ft_Go, address);
}

TVokFrame BuildRunFrame(TSegOfsPtr address) {
    return AddressFrame(ft_Run, address);
}

TVokFrame BuildLoadFrame(TSegOfsPtr address, std::span<const std::uint8_t> data) {
    constexpr std::size_t kMaxData = TVokFrame::kMaxLen - kBlockFrameHeaderLen;
    if (data.size() > kMaxData) {
        throw ERangeError("Load: " + std::to_string(data.size()) + " bytes exceed the " +
                          std::to_string(kMaxData) + " a frame holds");
    }
    TVokFrame frame = AddressFrame(ft_Load, address);
    frame.PutU16(static_cast<std::uint16_t>(data.size())).PutBytes(data);
    return frame;
}

TVokFrame BuildIORdFrame(std::uint16_t port) {
    return PortFrame(ft_cIORd, port, kByteWidth);
}

TVokFrame BuildIORdWFrame(std::uint16_t port) {
    return PortFrame(ft_cIORdW, port, kWordWidth);
}

TVokFrame BuildIOWrFrame(std::uint16_t port, std::uint8_t value) {
    TVokFrame frame = PortFrame(ft_cIOWr, port, kByteWidth);
    frame.PutU16(value);
    return frame;
}

TVokFrame BuildIOWrWFrame(std::uint16_t port, std::uint16_t value) {
    TVokFrame frame = PortFrame(ft_cIOWrW, port, kWordWidth);
    frame.PutU16(value);
    return frame;
}

TVokFrame BuildBdRateFrame(std::uint32_t baud) {
    TVokFrame frame(ft_BdRate);
    frame.PutU8(BaudToBoardCode(baud));
    return frame;
}

TVokFrame BuildGetRTCFrame() {
    return TVokFrame(ft_GetRTC);
}

TVokFrame BuildSetRTCFrame(const TVokClockRec& time) {
    TVokFrame frame(ft_SetRTC);
    frame.PutU16(time.Year)
        .PutU8(time.Month)
        .PutU8(time.Day)
        .PutU8(time.Hour)
        .PutU8(time.Minute)
        .PutU8(time.Second);
    return frame;
}

TVokSendFlags SendFlagsOf(std::uint8_t type) {
    switch (type) {
    case ft_cIOWr:
    case ft_cIOWrW:
        return {1, 1};
    case ft_BdRate:
    case ft_Go:
    case ft_Run:
        return {1, 3};
    default:
        return {0, 0};
    }
}

} // namespace ravlo
