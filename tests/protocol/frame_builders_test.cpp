#include "platform/exception.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/frame_builders.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

Bytes BytesOf(const TVokFrame& frame) {
    return ToBytes(frame.Bytes());
}

TEST(FrameBuildersTest, BareFramesAreTypeAndTwoZeros) {
    EXPECT_EQ(BytesOf(BuildBareFrame(ft_Rqst)), (Bytes{0xD7, 0x00, 0x00}));
    EXPECT_EQ(BytesOf(BuildBareFrame(ft_GetID)), (Bytes{0xFB, 0x00, 0x00}));
    EXPECT_EQ(BytesOf(BuildGetRTCFrame()), (Bytes{0xE4, 0x00, 0x00}));
}

TEST(FrameBuildersTest, MemCarriesAddressAsGivenAndCount) {
    EXPECT_EQ(BytesOf(BuildMemFrame(MakeFarPtr(0x0105, 0xC800), 256)),
              (Bytes{0xD0, 0x00, 0x00, 0x05, 0x01, 0x00, 0xC8, 0x00, 0x01}));
    EXPECT_EQ(BytesOf(BuildMemFrame(MakeFarPtr(0x00CC, 0xFFF0), 4)),
              (Bytes{0xD0, 0x00, 0x00, 0xCC, 0x00, 0xF0, 0xFF, 0x04, 0x00}));
    EXPECT_EQ(BytesOf(BuildMemFrame(MakeFarPtr(0x000F, 0xC800), 511)),
              (Bytes{0xD0, 0x00, 0x00, 0x0F, 0x00, 0x00, 0xC8, 0xFF, 0x01}));
}

TEST(FrameBuildersTest, ChcksumCountsWholeParagraphs) {
    // 1000 bytes at segment C800: C800:0000 and 62 paragraphs (the 8 bytes left over are dropped).
    EXPECT_EQ(BytesOf(BuildChcksumFrame(0xC800, 1000)),
              (Bytes{0xD9, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC8, 0x3E, 0x00}));
    EXPECT_EQ(BytesOf(BuildChcksumFrame(0xE000, 0x20000)),
              (Bytes{0xD9, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0x00, 0x20}));
    EXPECT_EQ(BytesOf(BuildChcksumFrame(0xF000, 15)),
              (Bytes{0xD9, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x00, 0x00}));
    // The largest count that fits, and the first length whose count does not.
    EXPECT_EQ(BytesOf(BuildChcksumFrame(0, 0xFFFFF)), (Bytes{0xD9, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}));
    EXPECT_THROW(BuildChcksumFrame(0, 0x100000), ERangeError);
}

TEST(FrameBuildersTest, GoAndRunCarryTheAddress) {
    EXPECT_EQ(BytesOf(BuildGoFrame(MakeFarPtr(0xFFF0, 0xF000))),
              (Bytes{0xDF, 0x00, 0x00, 0xF0, 0xFF, 0x00, 0xF0}));
    EXPECT_EQ(BytesOf(BuildRunFrame(MakeFarPtr(0x0010, 0x1234))),
              (Bytes{0xE0, 0x00, 0x00, 0x10, 0x00, 0x34, 0x12}));
}

TEST(FrameBuildersTest, LoadCarriesAddressCountAndData) {
    const Bytes data{0x11, 0x22, 0x33};
    EXPECT_EQ(BytesOf(BuildLoadFrame(MakeFarPtr(0x0100, 0xC800), data)),
              (Bytes{0xE1, 0x00, 0x00, 0x00, 0x01, 0x00, 0xC8, 0x03, 0x00, 0x11, 0x22, 0x33}));
    EXPECT_EQ(BytesOf(BuildLoadFrame(MakeFarPtr(0, 0x2000), {})),
              (Bytes{0xE1, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00}));
}

TEST(FrameBuildersTest, Load256IsA265ByteFrameInA269ByteRecord) {
    Bytes data(256);
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<std::uint8_t>(i);
    }
    const auto rec = TRavloCommFrameRec::ForFrame(BuildLoadFrame(MakeFarPtr(0x0100, 0xC800), data));
    const Bytes encoded = rec.Encode();
    ASSERT_EQ(rec.Frame.Length(), 265u);
    ASSERT_EQ(rec.Length(), 269u);
    ASSERT_EQ(encoded.size(), 269u);
    EXPECT_EQ(Bytes(encoded.begin(), encoded.begin() + 13),
              (Bytes{0x00, 0x00, 0x09, 0x01, 0xE1, 0x00, 0x00, 0x00, 0x01, 0x00, 0xC8, 0x00, 0x01}));
    EXPECT_EQ(Bytes(encoded.begin() + 13, encoded.end()), data);
}

TEST(FrameBuildersTest, LoadRefusesMoreDataThanAFrameHolds) {
    const Bytes largest(TVokFrame::kMaxLen - 9, 0xEE);
    const TVokFrame frame = BuildLoadFrame({}, largest);
    EXPECT_EQ(frame.Length(), TVokFrame::kMaxLen);
    EXPECT_EQ(frame.Bytes()[7], 0xF2); // 65522 = FFF2
    EXPECT_EQ(frame.Bytes()[8], 0xFF);
    EXPECT_THROW(BuildLoadFrame({}, Bytes(largest.size() + 1, 0)), ERangeError);
    EXPECT_THROW(BuildLoadFrame({}, Bytes(70000, 0)), ERangeError);
}

TEST(FrameBuildersTest, IOFramesCarryPortWidthAndValue) {
    EXPECT_EQ(BytesOf(BuildIORdFrame(0xF8A0)), (Bytes{0xD2, 0x00, 0x00, 0xA0, 0xF8, 0x01, 0x00}));
    EXPECT_EQ(BytesOf(BuildIORdWFrame(0x0080)), (Bytes{0xD3, 0x00, 0x00, 0x80, 0x00, 0x02, 0x00}));
    EXPECT_EQ(BytesOf(BuildIOWrFrame(0x0300, 0xA5)),
              (Bytes{0xD4, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0xA5, 0x00}));
    EXPECT_EQ(BytesOf(BuildIOWrWFrame(0x0302, 0xBEEF)),
              (Bytes{0xD5, 0x00, 0x00, 0x02, 0x03, 0x02, 0x00, 0xEF, 0xBE}));
}

TEST(FrameBuildersTest, BdRateCarriesTheBoardCode) {
    EXPECT_EQ(BytesOf(BuildBdRateFrame(115200)), (Bytes{0xDC, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(BytesOf(BuildBdRateFrame(4800)), (Bytes{0xDC, 0x00, 0x00, 0x0A}));
    EXPECT_EQ(BytesOf(BuildBdRateFrame(38400)), (Bytes{0xDC, 0x00, 0x00, 0x0D}));
    // A rate the board does not know gets the 4800 code.
    EXPECT_EQ(BytesOf(BuildBdRateFrame(2400)), (Bytes{0xDC, 0x00, 0x00, 0x0A}));
}

TEST(FrameBuildersTest, SetRTCCarriesBinaryDateAndTime) {
    const TVokClockRec time{2024, 2, 29, 23, 59, 58};
    EXPECT_EQ(BytesOf(BuildSetRTCFrame(time)),
              (Bytes{0xE3, 0x00, 0x00, 0xE8, 0x07, 0x02, 0x1D, 0x17, 0x3B, 0x3A}));
}

TEST(FrameBuildersTest, SendFlagsFollowTheType) {
    EXPECT_EQ(SendFlagsOf(ft_cIOWr), (TVokSendFlags{1, 1}));
    EXPECT_EQ(SendFlagsOf(ft_cIOWrW), (TVokSendFlags{1, 1}));
    EXPECT_EQ(SendFlagsOf(ft_BdRate), (TVokSendFlags{1, 3}));
    EXPECT_EQ(SendFlagsOf(ft_Go), (TVokSendFlags{1, 3}));
    EXPECT_EQ(SendFlagsOf(ft_Run), (TVokSendFlags{1, 3}));
    for (const std::uint8_t type :
         {ft_Mem, ft_cIORd, ft_cIORdW, ft_Rqst, ft_Chcksum, ft_Load, ft_SetRTC, ft_GetRTC, ft_GetID}) {
        EXPECT_EQ(SendFlagsOf(type), (TVokSendFlags{0, 0})) << VokFrameName(type);
    }
}

} // namespace
} // namespace ravlo
