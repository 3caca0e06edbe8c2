#include "platform/exception.h"
#include "protocol/frame_builders.h"
#include "protocol/vok_frame.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>
#include <string>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

TEST(VokFrameTest, FieldsAreLittleEndianAfterTheReservedBytes) {
    TVokFrame frame(0xD0);
    frame.PutFarPtr(MakeFarPtr(0x1234, 0xC800)).PutU16(0xABCD).PutU8(0x7F);
    const std::uint8_t extra[] = {1, 2};
    frame.PutBytes(extra);
    EXPECT_EQ(ToBytes(frame.Bytes()), (Bytes{0xD0, 0, 0, 0x34, 0x12, 0x00, 0xC8, 0xCD, 0xAB, 0x7F, 1, 2}));
    EXPECT_EQ(frame.Type(), 0xD0);
    EXPECT_EQ(frame.Length(), 12u);
}

TEST(VokFrameTest, RefusesToGrowPastTheLargestFrame) {
    TVokFrame frame(ft_Load);
    const Bytes fill(TVokFrame::kMaxLen - 4, 0x55);
    frame.PutBytes(fill);
    EXPECT_THROW(frame.PutU16(1), ERangeError);
    frame.PutU8(0xAA); // exactly the largest frame
    EXPECT_EQ(frame.Length(), TVokFrame::kMaxLen);
    EXPECT_THROW(frame.PutU8(0), ERangeError);
    EXPECT_THROW(frame.PutFarPtr({}), ERangeError);
    EXPECT_EQ(frame.Length(), TVokFrame::kMaxLen);
}

TEST(VokFrameTest, FromBytesTakesOnlyWholeFramesOfAllowedSize) {
    const Bytes good{0xD6, 0, 0};
    const auto parsed = TVokFrame::FromBytes(good);
    ASSERT_TRUE(parsed.Ok());
    EXPECT_EQ(parsed->Type(), ft_MemE);
    EXPECT_EQ(ToBytes(parsed->Bytes()), good);

    EXPECT_EQ(TVokFrame::FromBytes(Bytes{0xD6, 0}).Fault(), TFrameFault::Short);
    EXPECT_EQ(TVokFrame::FromBytes(Bytes{}).Fault(), TFrameFault::Short);
    EXPECT_TRUE(TVokFrame::FromBytes(Bytes(TVokFrame::kMaxLen, 0xD1)).Ok());
    EXPECT_EQ(TVokFrame::FromBytes(Bytes(TVokFrame::kMaxLen + 1, 0xD1)).Fault(), TFrameFault::Oversized);
    EXPECT_THROW((void)TVokFrame::FromBytes(Bytes{0xD6}).Value(), Exception)
        << "a refused result has no value";
}

TEST(VokFrameTest, FieldReadersStayInsideTheBytes) {
    const Bytes frame{0xD1, 0, 0, 0x0F, 0x00, 0x00, 0xF0, 0x05};
    EXPECT_EQ(FrameU16(frame, 6), 0x05F0);
    EXPECT_EQ(FrameFarPtr(frame, 3), MakeFarPtr(0x000F, 0xF000));
    EXPECT_THROW(FrameU16(frame, 7), ERangeError);
    EXPECT_THROW(FrameU16(frame, 100), ERangeError);
    EXPECT_THROW(FrameFarPtr(frame, 5), ERangeError);
}

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
