#pragma once

#include "channels/chn_collection.h"
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "framework/debug_mask.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

namespace ravlo::testing {

// A fresh channel registry with the channel types, freed afterwards (with the debug mask reset).
class ChannelRegistry {
public:
    ChannelRegistry() {
        FreeChnCollection();
        RegisterChannelTypes();
    }
    ~ChannelRegistry() {
        FreeChnCollection();
        SetDebugMask(0);
    }
    ChannelRegistry(const ChannelRegistry&) = delete;
    ChannelRegistry& operator=(const ChannelRegistry&) = delete;
};

// The serial channel "COMPORTX" and the link channel "PRTPROTX" over it, built from their
// parameter texts the way the communication process builds them: nameless channels from the
// registry, the serial one named and registered after its text parsed, the link one finding it
// through CHT and CHN.
struct ChannelStack {
    std::unique_ptr<TChnVirt> Com;
    std::unique_ptr<TChnVirt> Link;

    TComChannel& ComChannel() const { return dynamic_cast<TComChannel&>(*Com); }
    TChnMarbexL0& LinkChannel() const { return dynamic_cast<TChnMarbexL0&>(*Link); }
};

inline ChannelStack BuildChannelStack(std::string_view comParams, std::string_view linkParams) {
    ChannelStack stack;
    stack.Com = ChNewInit("COM", "").Owned;
    EXPECT_NE(stack.Com, nullptr);
    if (!stack.Com) {
        return stack;
    }
    EXPECT_FALSE(stack.Com->ParseParams(comParams)) << comParams;
    stack.Com->Name = "COMPORTX";
    AddChInst(*stack.Com);
    stack.Link = ChNewInit("MARBEXL0", "").Owned;
    EXPECT_NE(stack.Link, nullptr);
    if (stack.Link) {
        EXPECT_FALSE(stack.Link->ParseParams(std::string(linkParams) + " CHT=COM CHN=COMPORTX "))
            << linkParams;
        stack.Link->Name = "PRTPROTX";
    }
    return stack;
}

// The texts the communication process gives the two channels.
inline std::string CommComParams(int port, std::uint32_t baud) {
    return "UPD=0 ALL=0 DWN=0 LRB=16384 BIT=8 PAR=O IQU=32768 OQU=32768 COM=" + std::to_string(port) +
           " BD =" + std::to_string(baud);
}
inline std::string CommLinkParams(int nod, int dno) {
    return "UPD=0 ALL=0 DWN=0 LRB=16384 LSB=16384 NOD=" + std::to_string(nod) + " DNO=" + std::to_string(dno);
}

} // namespace ravlo::testing
