#pragma once

#include "channels/chn_collection.h"
#include "channels/chn_com.h"
#include "channels/chn_marbex_l0.h"
#include "framework/debug_mask.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

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

// The serial channel "COMPORTX" on COMn at baud and the link channel "PRTPROTX" (node 255, to node
// 254) over it, for the channel tests, which sit below the communication process and so set the
// channels up by their own texts: nameless channels from the registry, the serial one named and
// registered after its text parsed, the link one finding it through CHT and CHN. Tests of the
// communication process build its own pair (TCommChannels) instead.
struct ChannelStack {
    std::unique_ptr<TChnVirt> Com;
    std::unique_ptr<TChnVirt> Link;

    TComChannel& ComChannel() const { return dynamic_cast<TComChannel&>(*Com); }
    TChnMarbexL0& LinkChannel() const { return dynamic_cast<TChnMarbexL0&>(*Link); }
};

inline ChannelStack BuildChannelStack(int port, std::uint32_t baud) {
    ChannelStack stack;
    stack.Com = ChNewInit("COM", "").Owned;
    stack.Link = ChNewInit("MARBEXL0", "").Owned;
    EXPECT_TRUE(stack.Com && stack.Link);
    if (stack.Com && stack.Link) {
        EXPECT_FALSE(stack.Com->ParseParams("LRB=16384 PAR=O IQU=32768 OQU=32768 COM=" +
                                            std::to_string(port) + " BD=" + std::to_string(baud)));
        stack.Com->Name = "COMPORTX";
        AddChInst(*stack.Com);
        EXPECT_FALSE(stack.Link->ParseParams("LRB=16384 LSB=16384 NOD=255 DNO=254 CHT=COM CHN=COMPORTX"));
        stack.Link->Name = "PRTPROTX";
    }
    return stack;
}

} // namespace ravlo::testing
