#include "protocol/comm_channels.h"

#include "channels/chn_collection.h"

namespace ravlo {

std::string CommComParamText(std::uint8_t port, std::uint32_t baud) {
    return "UPD=0 ALL=0 DWN=0 LRB=16384 BIT=8 PAR=O IQU=32768 OQU=32768 COM=" + std::to_string(port) +
           " BD =" + std::to_string(baud);
}

std::string CommLinkParamText(std::uint8_t nod, std::uint8_t dno) {
    return "UPD=0 ALL=0 DWN=0 LRB=16384 LSB=16384 NOD=" + std::to_string(nod) +
           " DNO=" + std::to_string(dno) + " CHT=COM CHN=" + std::string(TCommChannels::kComName) + " ";
}

TCommChannels::BuildResult TCommChannels::Build(std::uint8_t port, std::uint32_t baud, std::uint8_t nod,
                                                std::uint8_t dno) {
    Free();
    // Nameless channels read no INI key; their texts say everything.
    com_ = ChNewInit("COM", "").Owned;
    if (!com_ || com_->ParseParams(CommComParamText(port, baud))) {
        com_.reset();
        return BuildResult::ComParamsFailed;
    }
    com_->Name = std::string(kComName);
    AddChInst(*com_);
    link_ = ChNewInit("MARBEXL0", "").Owned;
    if (!link_ || link_->ParseParams(CommLinkParamText(nod, dno)) || link_->Lower() != com_.get()) {
        Free();
        return BuildResult::LinkParamsFailed;
    }
    link_->Name = std::string(kLinkName);
    return BuildResult::Ok;
}

void TCommChannels::Free() {
    link_.reset();
    com_.reset();
}

} // namespace ravlo
