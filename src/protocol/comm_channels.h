#pragma once

#include "channels/chn_virt.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ravlo {

// The parameter texts the communication process gives its two channels: the serial channel
// (8 data bits, odd parity, one stop bit) and the link channel over the registered "COMPORTX".
std::string CommComParamText(std::uint8_t port, std::uint32_t baud);
std::string CommLinkParamText(std::uint8_t nod, std::uint8_t dno);

// The channel stack of the communication process: the serial channel "COMPORTX" (registered, so
// that the link channel finds it by CHT and CHN) under the link channel "PRTPROTX" (not
// registered). Both are owned here; the link goes first, so it never holds a freed lower channel.
class TCommChannels {
public:
    enum class BuildResult { Ok, ComParamsFailed, LinkParamsFailed };

    static constexpr std::string_view kComName = "COMPORTX";
    static constexpr std::string_view kLinkName = "PRTPROTX";

    TCommChannels() = default;
    ~TCommChannels() { Free(); }
    TCommChannels(const TCommChannels&) = delete;
    TCommChannels& operator=(const TCommChannels&) = delete;

    // Frees what exists, then builds both channels from their texts (the channel types must be
    // registered). On a failure nothing is left built.
    BuildResult Build(std::uint8_t port, std::uint32_t baud, std::uint8_t nod, std::uint8_t dno);
    // Frees the link channel, then the serial channel (closing the port when it is open).
    void Free();

    bool Exists() const { return link_ != nullptr; }
    TChnVirt* Link() const { return link_.get(); }
    TChnVirt* Com() const { return com_.get(); }

private:
    std::unique_ptr<TChnVirt> com_;
    std::unique_ptr<TChnVirt> link_;
};

} // namespace ravlo
