#include "platform/exception.h"
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

} // namespace
} // namespace ravlo
