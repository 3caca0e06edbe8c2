#pragma once

// The board master's unit tests: the master among fakes, with an identified Vok188.

#include "support/ma_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace ravlo::testing {

using Lines = std::vector<std::string>;

inline std::uint32_t LinOf(const Bytes& frame) {
    return FarPtrToLin(FrameFarPtr(frame, 3));
}

// Type, address and count of each frame sent (frames that carry an address and a count).
using Shape = std::tuple<int, std::uint32_t, int>;
inline std::vector<Shape> Shapes(const Frames& frames) {
    std::vector<Shape> shapes;
    for (const Bytes& frame : frames) {
        shapes.emplace_back(frame[0], LinOf(frame), FrameU16(frame, 7));
    }
    return shapes;
}

class IdentifiedMaTest : public ::testing::Test {
protected:
    IdentifiedMaTest() = default;
    explicit IdentifiedMaTest(std::string_view maSettings) : rig(maSettings) {}
    void SetUp() override { rig.ConnectAndIdentify(DEV_Vok188); }
    // Lets the answers the fake communication process held back go up.
    void Release() {
        rig.comm->Hold = false;
        rig.comm->ReleaseHeld();
    }
    bool UntilIdle() {
        return rig.AdvanceUntil([this] { return rig.ma->ConState == cs_idle; });
    }

    MaRig rig;
};

} // namespace ravlo::testing
