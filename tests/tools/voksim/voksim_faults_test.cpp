// Each fault option of voksim over a real pseudo-terminal.
#include "tools/voksim/sim_process.h"

#include <gtest/gtest.h>

namespace ravlo::voksim::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kRqst = Vok(0xD7);
const Bytes kMem256 = Vok(0xD0, {0x00, 0x00, 0x00, 0x20, 0x00, 0x01}); // 2000:0000, 256 bytes

std::vector<Bytes> Ask(SimProcess& sim, const Bytes& frame, std::size_t answers = 1,
                       std::chrono::milliseconds limit = 1s) {
    sim.Send(frame);
    std::vector<Bytes> data;
    for (const RawFrame& answer : sim.Receive(answers, limit)) {
        data.push_back(answer.data);
    }
    return data;
}

TEST(voksimFaults, MuteForTheFirstRequestsThenForGood) {
    SimProcess first({"--no-throttle", "--mute", "2"});
    EXPECT_TRUE(Ask(first, kRqst, 1, 200ms).empty());
    EXPECT_TRUE(Ask(first, kRqst, 1, 200ms).empty());
    EXPECT_EQ(Ask(first, kRqst), std::vector<Bytes>{Vok(0xFA)});

    SimProcess always({"--no-throttle", "--mute", "all"});
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(Ask(always, kRqst, 1, 150ms).empty());
    }
    EXPECT_EQ(always.Stop(SIGTERM), 0);
    EXPECT_NE(always.Stderr().find("mute 3,"), std::string::npos) << always.Stderr();
}

TEST(voksimFaults, DroppedAndCorruptedBytesAreReproducible) {
    SimProcess drop({"--no-throttle", "--drop-rate", "1"});
    drop.Send(kRqst);
    EXPECT_TRUE(drop.ReadFor(150ms).empty());

    std::vector<Bytes> lines;
    for (int run = 0; run < 2; ++run) {
        SimProcess sim({"--no-throttle", "--corrupt-rate", "0.02", "--seed", "99"});
        for (int i = 0; i < 6; ++i) {
            sim.Send(kMem256);
        }
        lines.push_back(sim.ReadUntilQuiet(300ms));
        // All that the board sent has been read.
        EXPECT_EQ(sim.Stop(SIGTERM), 0);
        EXPECT_NE(sim.Stderr().find(", out " + std::to_string(lines.back().size()) + ";"), std::string::npos)
            << sim.Stderr();
    }
    EXPECT_FALSE(lines[0].empty());
    EXPECT_EQ(lines[0], lines[1]);
    int bad = 0;
    const auto frames = ParseRawFrames(lines[0], &bad);
    EXPECT_LT(frames.size(), 6u * 5);
    EXPECT_GT(bad, 0);
}

TEST(voksimFaults, MemoryAnswersAtAWrongAddressOrEndingEarly) {
    SimProcess wrong({"--no-throttle", "--wrong-address", "1"});
    const auto shifted = Ask(wrong, kMem256, 5);
    ASSERT_EQ(shifted.size(), 5u);
    EXPECT_EQ(Le16(shifted[0], 5), 0x2001); // one paragraph off
    const auto right = Ask(wrong, kMem256, 5);
    ASSERT_EQ(right.size(), 5u);
    EXPECT_EQ(Le16(right[0], 5), 0x2000);

    SimProcess early({"--no-throttle", "--early-meme", "all"});
    const auto half = Ask(early, kMem256, 3);
    ASSERT_EQ(half.size(), 3u); // two MemD of 64 bytes, then MemE
    EXPECT_EQ(half[2], Vok(0xD6));
}

TEST(voksimFaults, WrongAnswersOnDemand) {
    SimProcess sim(
        {"--board", "188", "--no-throttle", "--empthal", "1", "--check-err", "all", "--clock-err", "1:1234"});
    EXPECT_EQ(Ask(sim, kRqst), std::vector<Bytes>{Vok(0xFC)});
    EXPECT_EQ(Ask(sim, kRqst), std::vector<Bytes>{Vok(0xFD)});
    // Zeroed memory sums to 0, yet the answer is CheckErr.
    EXPECT_EQ(Ask(sim, Vok(0xD9, {0x00, 0x00, 0x00, 0x30, 0x01, 0x00})), std::vector<Bytes>{Vok(0xF9)});
    EXPECT_EQ(Ask(sim, Vok(0xE4)), std::vector<Bytes>{Vok(0xDA, {0x34, 0x12})});
    EXPECT_EQ(Ask(sim, Vok(0xE4))[0][0], 0xE3);
}

TEST(voksimFaults, DelayedAnswerComesLate) {
    SimProcess sim({"--no-throttle", "--delay", "400:1"});
    sim.Send(kRqst);
    EXPECT_TRUE(sim.ReadFor(200ms).empty());
    EXPECT_EQ(sim.Receive(1, 2s).size(), 1u);
    EXPECT_EQ(Ask(sim, kRqst).size(), 1u);
    EXPECT_EQ(sim.Stop(SIGTERM), 0);
    EXPECT_NE(sim.Stderr().find("delay 1,"), std::string::npos) << sim.Stderr(); // only the first answer
}

TEST(voksimFaults, UnsolicitedFrameArrivesUnasked) {
    SimProcess sim({"--no-throttle", "--unsolicited", "100:E7"});
    EXPECT_EQ(Ask(sim, kRqst), std::vector<Bytes>{Vok(0xFA)});
    const auto frames = sim.Receive(1, 2s);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, Vok(0xE7));
    EXPECT_EQ(frames[0].dst, 255);
}

} // namespace
} // namespace ravlo::voksim::testing
