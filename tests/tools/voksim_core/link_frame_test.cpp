#include "tools/voksim_core/raw_frames.h"
#include "voksim/link_frame.h"

#include <gtest/gtest.h>

namespace ravlo::voksim {
namespace {

using testing::FeedAll;
using testing::ParseFrames;
using Bytes = std::vector<std::uint8_t>;

TEST(voksimLinkFrame, EncodesFramesWorkedOutByHandAndDecodesThemBack) {
    // CRC-16/ARC from 0 over SOH, header and data; every 0x10 from the destination on doubled.
    const std::vector<std::tuple<std::uint8_t, Bytes, Bytes>> cases{
        {0xFE, {}, {0x10, 0x01, 0xFE, 0xFF, 0x00, 0x00, 0x3C, 0x18, 0x10, 0x03}},
        {0xFE,
         {0x10, 0x20, 0x10},
         {0x10, 0x01, 0xFE, 0xFF, 0x03, 0x00, 0x10, 0x10, 0x20, 0x10, 0x10, 0x97, 0xC5, 0x10, 0x03}},
        {0xFE,
         {0xFD, 0x47},
         {0x10, 0x01, 0xFE, 0xFF, 0x02, 0x00, 0xFD, 0x47, 0x10, 0x10, 0x10, 0x10, 0x10, 0x03}},
        {0x10, {0x41}, {0x10, 0x01, 0x10, 0x10, 0xFF, 0x01, 0x00, 0x41, 0x61, 0xF6, 0x10, 0x03}},
    };
    for (const auto& [dst, data, line] : cases) {
        EXPECT_EQ(EncodeLinkFrame(dst, 0xFF, data), line);
        const auto frames = ParseFrames(line);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].data, data);
    }
    // Data that looks like frame control, and a length of 0x10, which is doubled too.
    const Bytes control{0x10, 0x01, 0x10, 0x10, 0x03};
    EXPECT_EQ(ParseFrames(EncodeLinkFrame(254, 255, control)).at(0).data, control);
    const Bytes sixteen = EncodeLinkFrame(254, 255, Bytes(16, 0xAA));
    EXPECT_EQ(Bytes(sixteen.begin(), sixteen.begin() + 7), (Bytes{0x10, 0x01, 0xFE, 0xFF, 0x10, 0x10, 0x00}));
    EXPECT_EQ(ParseFrames(sixteen).at(0).data, Bytes(16, 0xAA));
}

TEST(voksimLinkFrame, AcceptsOwnNodeAndBroadcastAndSkipsOthers) {
    LinkDeframer deframer(254, 64);
    Bytes line;
    for (const std::uint8_t dst : {254, 12, 0}) {
        const Bytes frame = EncodeLinkFrame(dst, 255, Bytes{dst});
        line.insert(line.end(), frame.begin(), frame.end());
    }
    const auto frames = FeedAll(deframer, line);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].dst, 254);
    EXPECT_EQ(frames[0].src, 255);
    EXPECT_EQ(frames[1].dst, 0);
    EXPECT_EQ(deframer.OtherNodeFrames(), 1u);

    LinkDeframer any(0, 64);
    EXPECT_EQ(FeedAll(any, line).size(), 3u);
}

TEST(voksimLinkFrame, DropsBrokenFramesAndRecoversAtTheNextStart) {
    LinkDeframer deframer(254, 8);
    const Bytes data{1, 2, 3};
    Bytes bad_crc = EncodeLinkFrame(254, 255, data);
    bad_crc[bad_crc.size() - 4] ^= 0x01;
    Bytes cut = EncodeLinkFrame(254, 255, data);
    cut.resize(cut.size() - 4);   // a new start arrives in the middle of it
    Bytes line{0x55, 0x10, 0x03}; // noise before anything
    for (const Bytes& part : {bad_crc, cut, EncodeLinkFrame(254, 255, Bytes(9, 7)) /* too long */,
                              EncodeLinkFrame(254, 255, Bytes(8, 7)), EncodeLinkFrame(254, 255, data)}) {
        line.insert(line.end(), part.begin(), part.end());
    }
    int rejected = 0;
    const auto frames = FeedAll(deframer, line, &rejected);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].data.size(), 8u);
    EXPECT_EQ(frames[1].data, data);
    EXPECT_EQ(rejected, 3);
}

} // namespace
} // namespace ravlo::voksim
