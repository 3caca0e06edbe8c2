#include "protocol/board_answers.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Padded;
using testing::ToBytes;
using Frame = std::span<const std::uint8_t>;

// 2024-02-29 23:59:58, years 1980..2099, in packed BCD.
const Bytes kClockFrame{0xE3, 0x00, 0x00, 0x24, 0x20, 0x02, 0x29, 0x23, 0x59, 0x58, 0x80, 0x19, 0x99, 0x20};

Bytes ClockWith(std::size_t at, std::uint8_t value) {
    Bytes frame = kClockFrame;
    frame[at] = value;
    return frame;
}

template <auto Parse>
TFrameFault FaultOf(Frame frame) {
    return Parse(frame).Fault();
}
TFrameFault MemE(Frame frame) {
    return CheckBareAnswer(frame, ft_MemE);
}
constexpr auto kMemD = &FaultOf<ParseMemD>;
constexpr auto kMemE = &MemE;
constexpr auto kRqst = &FaultOf<ParseRqstAnswer>;
constexpr auto kCheck = &FaultOf<ParseCheckAnswer>;
constexpr auto kIo = &FaultOf<ParseIORead>;
constexpr auto kErr = &FaultOf<ParseErr>;
constexpr auto kClock = &FaultOf<ParseClockAnswer>;

TEST(BoardAnswersTest, EachAnswerIsExactlyTheSizeItsFieldsSay) {
    struct Case {
        const char* What;
        TFrameFault (*Parse)(Frame);
        Bytes Frame;
        TFrameFault Fault;
    };
    using enum TFrameFault;
    const Case cases[] = {
        {"MemD of no data", kMemD, {0xD1, 0, 0, 0, 0, 0, 0xF0, 0, 0}, None},
        // The data is cut: nothing past the frame is read.
        {"MemD counting 4 of 3", kMemD, {0xD1, 0, 0, 0, 0, 0, 0xC8, 0x04, 0x00, 1, 2, 3}, Short},
        {"MemD cut before its count", kMemD, {0xD1, 0, 0, 0, 0, 0, 0xC8, 0x00}, Short},
        {"MemD counting 2 of 3", kMemD, {0xD1, 0, 0, 0, 0, 0, 0xC8, 0x02, 0x00, 1, 2, 3}, Oversized},
        {"MemD past the largest", kMemD, Padded({0xD1, 0, 0, 0, 0, 0, 0xC8, 0xFF, 0xFF}, 65535), Oversized},
        {"MemD that is a MemE", kMemD, {0xD6, 0, 0}, WrongType},
        {"MemE", kMemE, {0xD6, 0, 0}, None},
        {"MemE short", kMemE, {0xD6, 0}, Short},
        {"MemE long", kMemE, {0xD6, 0, 0, 0}, Oversized},
        {"Rqst answer short", kRqst, {0xFA, 0}, Short},
        {"Check long", kCheck, {0xF9, 0, 0, 0}, Oversized},
        {"Check of another type", kCheck, {0xFA, 0, 0}, WrongType},
        {"byte IO without its value", kIo, {0xD2, 0, 0, 0xA0, 0xF8, 0x01, 0x00}, Short},
        {"word IO with half of it", kIo, {0xD3, 0, 0, 0x80, 0x00, 0x02, 0x00, 0x34}, Short},
        {"byte IO carrying a word", kIo, {0xD2, 0, 0, 0xA0, 0xF8, 0x01, 0x00, 0x5A, 0x00}, Oversized},
        {"IO of another type", kIo, {0xD6, 0, 0}, WrongType},
        {"Err short", kErr, {0xDA, 0, 0, 0x31}, Short},
        {"Err of another type", kErr, {0xE3, 0, 0, 0x31, 0x00}, WrongType},
        // Reading only the first 14 bytes.
        {"clock with more", kClock,
         Padded({0xE3, 0, 0, 0x24, 0x20, 2, 0x29, 0x23, 0x59, 0x58, 0x80, 0x19, 0x99, 0x20}, 2), None},
        {"clock without the highest year", kClock, Bytes(kClockFrame.begin(), kClockFrame.end() - 1), Short},
        {"our own 10-byte SetRTC", kClock, Bytes(kClockFrame.begin(), kClockFrame.begin() + 10), Short},
        {"clock past the largest", kClock, Padded({0xE3, 0, 0}, TVokFrame::kMaxLen - 2, 0x11), Oversized},
        {"clock with a minute of $5A", kClock, ClockWith(8, 0x5A), NotBcd},
        {"clock of another type", kClock, {0xDA, 0, 0, 0x31, 0x00}, WrongType},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.Parse(c.Frame), c.Fault) << c.What;
    }
}

// The other answers' fields are checked where the board master reads them from the fake board.
TEST(BoardAnswersTest, ClockAnswerCarriesTheBiosYearsAndItsRawBytes) {
    Bytes longer = kClockFrame;
    longer.push_back(0xFF);
    const auto clock = ParseClockAnswer(longer);
    ASSERT_TRUE(clock.Ok());
    EXPECT_EQ(clock->Time, (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    EXPECT_EQ(clock->MinYear, 1980);
    EXPECT_EQ(clock->MaxYear, 2099);
    EXPECT_EQ(Bytes(clock->Raw.begin(), clock->Raw.end()), kClockFrame);
}

TEST(BiosIdTest, TextEndsAtTheFirstZeroAndThe386sFlashCodeFollowsIt) {
    EXPECT_EQ(ParseBiosIdText(Bytes{'V', 'O', 'K', '-', 'v', '2', '1', 0, 'x', 'y'}).Value(), "VOK-v21");
    EXPECT_EQ(ParseBiosIdText(Bytes{0}).Value(), "");
    EXPECT_EQ(ParseBiosIdText(Bytes{'A', 'B'}).Fault(), TFrameFault::NoTerminator);
    EXPECT_EQ(ParseBiosIdText(Bytes{}).Fault(), TFrameFault::NoTerminator);

    const auto id = ParseBiosId386(Bytes{'3', '8', '6', '2', '3', '<', 'V', 'O', 'K', '>', 0, 0xD5, 0});
    ASSERT_TRUE(id.Ok());
    EXPECT_EQ(id->Text, "38623<VOK>");
    EXPECT_EQ(id->FlashCode, 0xD5);
    // The data ends at the terminator: no flash code to read.
    EXPECT_EQ(ParseBiosId386(Bytes{'3', '8', '6', 0}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseBiosId386(Bytes{'3', '8', '6'}).Fault(), TFrameFault::NoTerminator);
}

} // namespace
} // namespace ravlo
