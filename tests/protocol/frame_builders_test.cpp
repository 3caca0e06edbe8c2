#include "platform/exception.h"
#include "protocol/frame_builders.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::ToBytes;

TEST(FrameBuildersTest, EachFrameOnTheLine) {
    struct Case {
        const char* What;
        TVokFrame Frame;
        Bytes Line;
    };
    const Case cases[] = {
        {"Rqst", BuildBareFrame(ft_Rqst), {0xD7, 0x00, 0x00}},
        {"GetRTC", BuildGetRTCFrame(), {0xE4, 0x00, 0x00}},
        {"Mem: address as given, count",
         BuildMemFrame(MakeFarPtr(0x0105, 0xC800), 256),
         {0xD0, 0x00, 0x00, 0x05, 0x01, 0x00, 0xC8, 0x00, 0x01}},
        {"Mem at the top",
         BuildMemFrame(MakeFarPtr(0x00CC, 0xFFF0), 4),
         {0xD0, 0x00, 0x00, 0xCC, 0x00, 0xF0, 0xFF, 0x04, 0x00}},
        // 1000 bytes at segment C800: 62 paragraphs (the 8 bytes left over are dropped).
        {"Chcksum", BuildChcksumFrame(0xC800, 1000), {0xD9, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC8, 0x3E, 0x00}},
        {"Chcksum of 128 KiB",
         BuildChcksumFrame(0xE000, 0x20000),
         {0xD9, 0, 0, 0, 0, 0x00, 0xE0, 0x00, 0x20}},
        {"Chcksum under a paragraph", BuildChcksumFrame(0xF000, 15), {0xD9, 0, 0, 0, 0, 0x00, 0xF0, 0, 0}},
        {"Chcksum, largest count", BuildChcksumFrame(0, 0xFFFFF), {0xD9, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF}},
        {"Go", BuildGoFrame(MakeFarPtr(0xFFF0, 0xF000)), {0xDF, 0x00, 0x00, 0xF0, 0xFF, 0x00, 0xF0}},
        {"Run", BuildRunFrame(MakeFarPtr(0x0010, 0x1234)), {0xE0, 0x00, 0x00, 0x10, 0x00, 0x34, 0x12}},
        {"Load",
         BuildLoadFrame(MakeFarPtr(0x0100, 0xC800), Bytes{0x11, 0x22, 0x33}),
         {0xE1, 0x00, 0x00, 0x00, 0x01, 0x00, 0xC8, 0x03, 0x00, 0x11, 0x22, 0x33}},
        {"empty Load", BuildLoadFrame(MakeFarPtr(0, 0x2000), {}), {0xE1, 0, 0, 0, 0, 0x00, 0x20, 0, 0}},
        {"IORd", BuildIORdFrame(0xF8A0), {0xD2, 0x00, 0x00, 0xA0, 0xF8, 0x01, 0x00}},
        {"IORdW", BuildIORdWFrame(0x0080), {0xD3, 0x00, 0x00, 0x80, 0x00, 0x02, 0x00}},
        {"IOWr", BuildIOWrFrame(0x0300, 0xA5), {0xD4, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, 0xA5, 0x00}},
        {"IOWrW", BuildIOWrWFrame(0x0302, 0xBEEF), {0xD5, 0x00, 0x00, 0x02, 0x03, 0x02, 0x00, 0xEF, 0xBE}},
        {"BdRate 115200", BuildBdRateFrame(115200), {0xDC, 0x00, 0x00, 0x0F}},
        {"BdRate 4800", BuildBdRateFrame(4800), {0xDC, 0x00, 0x00, 0x0A}},
        {"BdRate 38400", BuildBdRateFrame(38400), {0xDC, 0x00, 0x00, 0x0D}},
        {"BdRate of a rate the board does not know", BuildBdRateFrame(2400), {0xDC, 0x00, 0x00, 0x0A}},
        {"SetRTC in binary",
         BuildSetRTCFrame(TVokClockRec{2024, 2, 29, 23, 59, 58}),
         {0xE3, 0x00, 0x00, 0xE8, 0x07, 0x02, 0x1D, 0x17, 0x3B, 0x3A}},
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
