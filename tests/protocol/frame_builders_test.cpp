#include "platform/exception.h"
#include "protocol/frame_builders.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

// Each frame's bytes are checked where the board master sends it, against the fake board; these are
// the edges of what the fields can carry.
TEST(FrameBuildersTest, FieldsAtTheirEdges) {
    struct Case {
        const char* What;
        TVokFrame Frame;
        Bytes Line;
    };
    const Case cases[] = {
        {"Chcksum of 128 KiB",
         BuildChcksumFrame(0xE000, 0x20000),
         {0xD9, 0, 0, 0, 0, 0x00, 0xE0, 0x00, 0x20}},
        {"Chcksum under a paragraph", BuildChcksumFrame(0xF000, 15), {0xD9, 0, 0, 0, 0, 0x00, 0xF0, 0, 0}},
        {"Chcksum, largest count", BuildChcksumFrame(0, 0xFFFFF), {0xD9, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}},
        {"BdRate of a rate the board does not know", BuildBdRateFrame(2400), {0xDC, 0x00, 0x00, 0x0A}},
        {"empty Load", BuildLoadFrame(MakeFarPtr(0, 0x2000), {}), {0xE1, 0, 0, 0, 0, 0x00, 0x20, 0, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToBytes(c.Frame.Bytes()), c.Line) << c.What;
    }
}

TEST(FrameBuildersTest, RefusesWhatAFrameCannotCarry) {
    EXPECT_THROW(BuildChcksumFrame(0, 0x100000), ERangeError) << "a count past 16 bits";
    const Bytes largest(TVokFrame::kMaxLen - 9, 0xEE);
    const TVokFrame frame = BuildLoadFrame({}, largest);
    EXPECT_EQ(frame.Length(), TVokFrame::kMaxLen);
    EXPECT_EQ(FrameU16(frame.Bytes(), 7), 65522);
    EXPECT_THROW(BuildLoadFrame({}, Bytes(largest.size() + 1, 0)), ERangeError);
    EXPECT_THROW(BuildLoadFrame({}, Bytes(70000, 0)), ERangeError);
}

} // namespace
} // namespace ravlo
