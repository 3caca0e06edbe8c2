#pragma once

#include "channels/chn_virt.h"
#include "channels/link_deframer.h"
#include "channels/link_frame_builder.h"

#include <cstdint>
#include <span>
#include <string>

namespace ravlo {

// Debug-mask bit of the sent and received frame traces.
inline constexpr std::uint32_t kChnTraceL0Mess = 0x200;

// The link layer (type "MARBEXL0") over a lower byte channel named by CHT and CHN: CHSend wraps one
// block into one DLE-framed frame with CRC-16 (destination DNO, source NOD) and hands it down
// whole; CHRecEmpty runs the resumable deframer, which reads the lower channel byte by byte and
// puts the data of a good frame for this node into the receive buffer. There is no
// acknowledgement, repetition or time-out here: the communication process repeats whole exchanges.
//
// The receive side starts hunting after the first successful CHReceFlush. The user's receive loop
// is CHReady, CHRecEmpty, and on 0 CHRece followed by GetRecNodes.
class TChnMarbexL0 : public TChnVirt {
public:
    static constexpr std::string_view kClassName = "TChnMarbexL0";
    static constexpr std::string_view kTypeName = "MARBEXL0";
    static constexpr std::uint16_t kDefaultLsb = 8191;
    // Frame refused: it does not fit the send buffer.
    static constexpr std::uint16_t kSpecBufferOverflow = 0xE01;

    explicit TChnMarbexL0(std::string_view name);
    ~TChnMarbexL0() override;

    std::string_view ClassName() const override { return kClassName; }
    bool ParseKeyword(std::string_view keyword) override;
    std::optional<std::string> GetParamText(std::string_view keyword) const override;
    std::string ParamsToText() const override;

    void CHSend(std::span<const std::uint8_t> block) override;
    void PollRece() override;
    std::uint16_t CHRece() override;
    void CHReceFlush() override;
    void GetRecNodes(std::uint16_t& source, std::uint16_t& destination) override;
    std::string ErrText(TChnResCode code) const override;

    std::uint16_t LSB() const { return static_cast<std::uint16_t>(builder_.Capacity()); }
    const LinkDeframer& Deframer() const { return deframer_; }

protected:
    std::uint16_t ReceiveState() const override { return deframer_.State(); }

private:
    void TraceFrame(std::string_view direction, std::uint8_t destination, std::uint8_t source,
                    std::span<const std::uint8_t> block) const;

    LinkFrameBuilder builder_{kDefaultLsb};
    LinkDeframer deframer_;
};

// A block as the frame traces show it: the first byte's bit fields 7-6, 5-3 and 2-0 as one hex
// digit each followed by "|", then the other bytes in hex; empty for an empty block.
std::string LinkBlockText(std::span<const std::uint8_t> block);

} // namespace ravlo
