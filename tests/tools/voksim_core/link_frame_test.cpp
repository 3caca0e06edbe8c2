#include "tools/voksim_core/raw_frames.h"
#include "voksim/link_frame.h"

#include <gtest/gtest.h>

namespace ravlo::voksim {
namespace {

using testing::RawCrc;
using testing::RawLinkFrame;

std::vector<LinkFrame> FeedAll(LinkDeframer& deframer, std::span<const std::uint8_t> line,
                               int* rejected = nullptr) {
    std::vector<LinkFrame> frames;
    for (const std::uint8_t byte : line) {
        const auto event = deframer.Feed(byte);
        if (event == LinkDeframer::Event::Frame) {
            frames.push_back(deframer.Frame());
        } else if (event == LinkDeframer::Event::Rejected && rejected != nullptr) {
            ++*rejected;
        }
    }
    return frames;
}

TEST(voksimLinkFrame, EncodesLikeTheLineFormatIncludingDoubledDlesAndDecodesItBack) {
    const std::vector<std::uint8_t> plain{0xD7, 0x00, 0x00};
    const std::vector<std::uint8_t> with_dles{0x10, 0x01, 0x10, 0x10, 0x03};
    const std::vector<std::uint8_t> dle_crc{0xFD, 0x47}; // from 255 to 254 its CRC is 0x1010
    ASSERT_EQ(RawCrc(std::vector<std::uint8_t>{0x01, 254, 255, 2, 0, 0xFD, 0x47}), 0x1010);
    for (const auto& data : {plain, with_dles, dle_crc, std::vector<std::uint8_t>{}}) {
        const auto line = EncodeLinkFrame(254, 255, data);
        EXPECT_EQ(line, RawLinkFrame(254, 255, data));
        LinkDeframer deframer(254, 64);
        const auto frames = FeedAll(deframer, line);
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].data, data);
    }
    // Node 0x10 and a length of 0x10 are doubled too.
    const std::vector<std::uint8_t> sixteen(16, 0xAA);
    const auto line = EncodeLinkFrame(0x10, 254, sixteen);
    EXPECT_EQ(line, RawLinkFrame(0x10, 254, sixteen));
    EXPECT_EQ((std::vector<std::uint8_t>(line.begin(), line.begin() + 7)),
              (std::vector<std::uint8_t>{0x10, 0x01, 0x10, 0x10, 254, 0x10, 0x10}));
}

TEST(voksimLinkFrame, AcceptsOwnNodeAndBroadcastAndSkipsOthers) {
    LinkDeframer deframer(254, 64);
    std::vector<std::uint8_t> line;
    for (const std::uint8_t dst : {254, 12, 0}) {
        const auto frame = RawLinkFrame(dst, 255, std::vector<std::uint8_t>{dst});
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
    const std::vector<std::uint8_t> data{1, 2, 3};
    auto bad_crc = RawLinkFrame(254, 255, data);
    bad_crc[bad_crc.size() - 4] ^= 0x01;
    auto cut = RawLinkFrame(254, 255, data);
    cut.resize(cut.size() - 4); // a new start arrives in the middle of it
    const auto too_long = RawLinkFrame(254, 255, std::vector<std::uint8_t>(9, 7));
    const auto exactly_max = RawLinkFrame(254, 255, std::vector<std::uint8_t>(8, 7));
    const auto good = RawLinkFrame(254, 255, data);

    std::vector<std::uint8_t> line{0x55, 0x10, 0x03}; // noise before anything
    for (const std::vector<std::uint8_t>* part : std::initializer_list<const std::vector<std::uint8_t>*>{
             &bad_crc, &cut, &too_long, &exactly_max, &good}) {
        line.insert(line.end(), part->begin(), part->end());
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
