#include "tools/voksim_core/raw_frames.h"
#include "voksim/board_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ravlo::voksim {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using testing::ParseFrames;
using testing::ToBoard;
using testing::Vok;
using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

constexpr HostLine k4800{4800, true};
constexpr HostLine k9600{9600, true};

SessionConfig Config(bool throttle, BoardKind board = BoardKind::B386) {
    SessionConfig config;
    config.board = board;
    config.throttle = throttle;
    return config;
}

// Runs the session up to `until` in steps and returns what reached the host.
Bytes RunUntil(BoardSession& session, Ns until, HostLine line, Ns step = milliseconds(1)) {
    Bytes out;
    for (Ns now = Ns{0}; now <= until; now += step) {
        session.Advance(now);
        const Bytes part = session.TakeOutput(now, line);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

TEST(voksimSession, ThrottledBytesCrossTheLineAtElevenBitsEach) {
    TraceLog trace;
    BoardSession session(Config(true), trace, Ns{0});
    const Bytes request = ToBoard(Vok(0xD7)); // 13 bytes on the line
    ASSERT_EQ(request.size(), 13u);
    session.FromHost(request, Ns{0}, k4800);
    const Ns byte = ByteTime(4800);
    EXPECT_EQ(byte.count(), 2'291'666);

    session.Advance(byte * 13 - Ns{1});
    EXPECT_EQ(session.NextWakeup(), byte * 13); // the last byte is still on its way
    session.Advance(byte * 13);
    // The answer (13 bytes) leaves after the request's last byte, one byte time each.
    EXPECT_TRUE(session.TakeOutput(byte * 14 - Ns{1}, k4800).empty());
    EXPECT_EQ(session.TakeOutput(byte * 14, k4800).size(), 1u);
    EXPECT_EQ(session.TakeOutput(byte * 26 - Ns{1}, k4800).size(), 11u);
    EXPECT_EQ(session.TakeOutput(byte * 26, k4800).size(), 1u);
    EXPECT_FALSE(session.NextWakeup().has_value());
    EXPECT_EQ(session.Stats().bytes_out, 13u);
}

TEST(voksimSession, UnthrottledAnswersAtOnceToTheRequestingNode) {
    TraceLog trace;
    BoardSession session(Config(false, BoardKind::V40), trace, Ns{0});
    session.FromHost(EncodeLinkFrame(254, 17, Vok(0xD7)), Ns{0}, k4800);
    session.Advance(Ns{0});
    const auto frames = ParseFrames(session.TakeOutput(Ns{0}, k4800));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].dst, 17);
    EXPECT_EQ(frames[0].src, 254);
    EXPECT_EQ(frames[0].data, Vok(0xD8));
}

TEST(voksimSession, LineSettingsOtherThanTheBoardsGarbleBothWays) {
    TraceLog trace;
    BoardSession session(Config(false), trace, Ns{0});
    const Bytes rqst = ToBoard(Vok(0xD7));
    session.FromHost(rqst, Ns{0}, k9600);
    session.FromHost(rqst, Ns{0}, HostLine{4800, false});
    EXPECT_TRUE(RunUntil(session, milliseconds(5), k4800).empty());
    EXPECT_EQ(session.Stats().frames_in, 0u);

    // BdRate switches the board after that frame; the host follows only when it sets its port.
    session.FromHost(ToBoard(Vok(0xDC, {11})), milliseconds(10), k4800);
    session.FromHost(rqst, milliseconds(10), k4800);
    EXPECT_TRUE(RunUntil(session, milliseconds(20), k4800).empty());
    EXPECT_EQ(session.Baud(), 9600u);
    session.FromHost(rqst, milliseconds(30), k9600);
    session.Advance(milliseconds(30));
    const Bytes garbled = session.TakeOutput(milliseconds(30), k4800); // the host went back too early
    EXPECT_EQ(garbled.size(), 13u);
    EXPECT_TRUE(ParseFrames(garbled).empty());
    session.FromHost(rqst, milliseconds(40), k9600);
    session.Advance(milliseconds(40));
    EXPECT_EQ(ParseFrames(session.TakeOutput(milliseconds(40), k9600)).size(), 1u);
}

TEST(voksimSession, JumpIsRecordedOncePerBurstAndAnnouncedOnceTheHostHasGoneQuiet) {
    TraceLog trace;
    BoardSession session(Config(false, BoardKind::B188), trace, Ns{0});
    const Bytes go = ToBoard(Vok(0xDF, {0x00, 0x00, 0x00, 0xC8}));
    for (int copy = 0; copy < 4; ++copy) {
        session.FromHost(go, milliseconds(100 * copy), k4800);
        session.Advance(milliseconds(100 * copy));
    }
    EXPECT_TRUE(session.TakeOutput(milliseconds(499), k4800).empty());
    session.Advance(milliseconds(500)); // 200 ms after the fourth copy
    const auto frames = ParseFrames(session.TakeOutput(milliseconds(500), k4800));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].data, Vok(0xFD));
    EXPECT_TRUE(RunUntil(session, milliseconds(1500), k4800, milliseconds(50)).empty());

    session.FromHost(ToBoard(Vok(0xE0, {0x10, 0x00, 0x00, 0xC8})), milliseconds(2000), k4800);
    session.Advance(milliseconds(2000));
    session.FromHost(go, milliseconds(5000), k4800); // the same jump once more, after a pause
    session.Advance(milliseconds(5000));
    const auto& jumps = session.Model().Jumps();
    ASSERT_EQ(jumps.size(), 3u);
    EXPECT_EQ(jumps[0].copies, 4);
    EXPECT_EQ(jumps[1].type, 0xE0);
    EXPECT_EQ(jumps[1].address, (FarPtr{0xC800, 0x0010}));
    EXPECT_THAT(session.Summary(), HasSubstr("jumps: Go C800:0000 (4 copies) Run C800:0010 (1 copies) Go"));
}

TEST(voksimSession, DelayedAnswerAndUnsolicitedFrameFollowTheFirstRequest) {
    SessionConfig config = Config(false);
    config.faults.unsolicited_after = milliseconds(300);
    config.faults.unsolicited_frame = Vok(0xE7);
    config.faults.when[static_cast<std::size_t>(Fault::Delay)] = *ParseFaultWhen("1");
    config.faults.delay = milliseconds(200);
    TraceLog trace;
    BoardSession session(config, trace, Ns{0});
    EXPECT_FALSE(session.NextWakeup().has_value()); // nothing before the host speaks
    session.FromHost(ToBoard(Vok(0xD7)), milliseconds(1000), k4800);
    session.Advance(milliseconds(1000));
    EXPECT_TRUE(session.TakeOutput(milliseconds(1199), k4800).empty()) << "the answer is delayed";
    EXPECT_EQ(ParseFrames(session.TakeOutput(milliseconds(1200), k4800)).size(), 1u);
    EXPECT_EQ(session.NextWakeup(), milliseconds(1300));
    session.Advance(milliseconds(1300));
    const auto frames = ParseFrames(session.TakeOutput(milliseconds(1300), k4800));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].dst, 255);
    EXPECT_EQ(frames[0].data, Vok(0xE7));
    // Only the first answer was delayed.
    session.FromHost(ToBoard(Vok(0xD7)), milliseconds(2000), k4800);
    session.Advance(milliseconds(2000));
    EXPECT_EQ(ParseFrames(session.TakeOutput(milliseconds(2000), k4800)).size(), 1u);
    EXPECT_THAT(session.Summary(), AllOf(HasSubstr(" delay 1,"), HasSubstr("unsolicited frames 1")));
}

Bytes FaultyExchange(std::uint64_t seed, double corrupt_rate, double drop_rate) {
    SessionConfig config = Config(false);
    config.seed = seed;
    config.faults.corrupt_rate = corrupt_rate;
    config.faults.drop_rate = drop_rate;
    TraceLog trace;
    BoardSession session(config, trace, Ns{0});
    for (int i = 0; i < 20; ++i) {
        session.FromHost(ToBoard(Vok(0xD0, {0x00, 0x00, 0x00, 0x20, 0x00, 0x01})), Ns{0}, k4800);
    }
    session.Advance(Ns{0});
    return session.TakeOutput(Ns{0}, k4800);
}

TEST(voksimSession, ByteFaultsAreReproducibleFromTheSeed) {
    const Bytes clean = FaultyExchange(5, 0.0, 0.0);
    EXPECT_EQ(ParseFrames(clean).size(), 20u * 5);
    const Bytes first = FaultyExchange(5, 0.01, 0.0);
    EXPECT_EQ(first, FaultyExchange(5, 0.01, 0.0));
    EXPECT_NE(first, FaultyExchange(6, 0.01, 0.0));
    EXPECT_NE(first, clean);
    int bad = 0;
    EXPECT_LT(ParseFrames(first, &bad).size(), 100u);
    EXPECT_GT(bad, 0);
    EXPECT_TRUE(FaultyExchange(5, 0.0, 1.0).empty());
}

} // namespace
} // namespace ravlo::voksim
