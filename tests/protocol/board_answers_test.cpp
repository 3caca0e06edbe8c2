#include "protocol/board_answers.h"
#include "protocol_test_support.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Padded;
using testing::ToBytes;

TEST(MemDAnswerTest, ReadsAddressAndExactlyTheCountedBytes) {
    const Bytes frame{0xD1, 0x00, 0x00, 0x0F, 0x01, 0x00, 0xC8, 0x03, 0x00, 0xAA, 0xBB, 0xCC};
    const auto answer = ParseMemD(frame);
    ASSERT_TRUE(answer.Ok());
    EXPECT_EQ(answer->Address, MakeFarPtr(0x010F, 0xC800));
    EXPECT_EQ(ToBytes(answer->Data), (Bytes{0xAA, 0xBB, 0xCC}));
    // No data at all is a valid (empty) piece.
    const auto empty = ParseMemD(Bytes{0xD1, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x00, 0x00});
    ASSERT_TRUE(empty.Ok());
    EXPECT_TRUE(empty->Data.empty());
}

TEST(MemDAnswerTest, RefusesACountThatDisagreesWithTheFrame) {
    // The count says 4, three bytes came: the data is cut, nothing past the frame is read.
    EXPECT_EQ(ParseMemD(Bytes{0xD1, 0, 0, 0, 0, 0, 0xC8, 0x04, 0x00, 1, 2, 3}).Fault(), TFrameFault::Short);
    // The count says 256 of a short frame.
    EXPECT_EQ(ParseMemD(Bytes{0xD1, 0, 0, 0, 0, 0, 0xC8, 0x00, 0x01, 1}).Fault(), TFrameFault::Short);
    // Header cut before the count.
    EXPECT_EQ(ParseMemD(Bytes{0xD1, 0, 0, 0, 0, 0, 0xC8, 0x00}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseMemD(Bytes{}).Fault(), TFrameFault::Short);
    // More bytes than counted.
    EXPECT_EQ(ParseMemD(Bytes{0xD1, 0, 0, 0, 0, 0, 0xC8, 0x02, 0x00, 1, 2, 3}).Fault(),
              TFrameFault::Oversized);
    EXPECT_EQ(ParseMemD(Padded({0xD1, 0, 0, 0, 0, 0, 0xC8, 0xFF, 0xFF}, 65535)).Fault(),
              TFrameFault::Oversized);
    EXPECT_EQ(ParseMemD(Bytes{0xD6, 0, 0}).Fault(), TFrameFault::WrongType);
}

TEST(BareAnswerTest, IsExactlyTheTypeAndTwoBytes) {
    EXPECT_EQ(CheckBareAnswer(Bytes{0xD6, 0x00, 0x00}, ft_MemE), TFrameFault::None);
    EXPECT_EQ(CheckBareAnswer(Bytes{0xD6, 0x00}, ft_MemE), TFrameFault::Short);
    EXPECT_EQ(CheckBareAnswer(Bytes{}, ft_MemE), TFrameFault::Short);
    EXPECT_EQ(CheckBareAnswer(Bytes{0xD6, 0x00, 0x00, 0x00}, ft_MemE), TFrameFault::Oversized);
    EXPECT_EQ(CheckBareAnswer(Bytes{0xD1, 0x00, 0x00}, ft_MemE), TFrameFault::WrongType);
}

TEST(RqstAnswerTest, NamesTheBoardKind) {
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xD8, 0, 0}).Value(), DEV_VokV40);
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xFA, 0, 0}).Value(), DEV_Vok386);
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xFD, 0, 0}).Value(), DEV_Vok188);
    // EmptHAL and any other answer: a board the host does not know.
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xFC, 0, 0}).Value(), DEV_Unknown);
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xD1, 0, 0, 0, 0, 0, 0, 0, 0}).Value(), DEV_Unknown);

    EXPECT_EQ(ParseRqstAnswer(Bytes{0xFA, 0}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xFC}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseRqstAnswer(Bytes{0xFA, 0, 0, 0}).Fault(), TFrameFault::Oversized);
}

TEST(CheckAnswerTest, TellsIntactFromDiffering) {
    EXPECT_TRUE(ParseCheckAnswer(Bytes{0xF8, 0, 0}).Value());
    EXPECT_FALSE(ParseCheckAnswer(Bytes{0xF9, 0, 0}).Value());
    EXPECT_EQ(ParseCheckAnswer(Bytes{0xF8, 0}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseCheckAnswer(Bytes{}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseCheckAnswer(Bytes{0xF9, 0, 0, 0}).Fault(), TFrameFault::Oversized);
    EXPECT_EQ(ParseCheckAnswer(Bytes{0xFA, 0, 0}).Fault(), TFrameFault::WrongType);
}

TEST(IOReadAnswerTest, ReadsPortAndByteOrWordValue) {
    const auto byteAnswer = ParseIORead(Bytes{0xD2, 0, 0, 0xA0, 0xF8, 0x01, 0x00, 0x5A});
    ASSERT_TRUE(byteAnswer.Ok());
    EXPECT_EQ(byteAnswer->Port, 0xF8A0);
    EXPECT_EQ(byteAnswer->Width, 1);
    EXPECT_EQ(byteAnswer->Value, 0x5A);

    const auto wordAnswer = ParseIORead(Bytes{0xD3, 0, 0, 0x80, 0x00, 0x02, 0x00, 0x34, 0x12});
    ASSERT_TRUE(wordAnswer.Ok());
    EXPECT_EQ(wordAnswer->Port, 0x0080);
    EXPECT_EQ(wordAnswer->Width, 2);
    EXPECT_EQ(wordAnswer->Value, 0x1234);
}

TEST(IOReadAnswerTest, RefusesFramesOfTheWrongSize) {
    // A byte answer without its value, a word answer with half of it.
    EXPECT_EQ(ParseIORead(Bytes{0xD2, 0, 0, 0xA0, 0xF8, 0x01, 0x00}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseIORead(Bytes{0xD3, 0, 0, 0x80, 0x00, 0x02, 0x00, 0x34}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseIORead(Bytes{}).Fault(), TFrameFault::Short);
    // A byte answer carrying a word.
    EXPECT_EQ(ParseIORead(Bytes{0xD2, 0, 0, 0xA0, 0xF8, 0x01, 0x00, 0x5A, 0x00}).Fault(),
              TFrameFault::Oversized);
    EXPECT_EQ(ParseIORead(Bytes{0xD3, 0, 0, 0x80, 0x00, 0x02, 0x00, 0x34, 0x12, 0}).Fault(),
              TFrameFault::Oversized);
    EXPECT_EQ(ParseIORead(Bytes{0xD6, 0, 0}).Fault(), TFrameFault::WrongType);
}

TEST(ErrAnswerTest, ReadsTheErrorValue) {
    EXPECT_EQ(ParseErr(Bytes{0xDA, 0, 0, 0x31, 0x00}).Value(), 0x31);
    EXPECT_EQ(ParseErr(Bytes{0xDA, 0, 0, 0x31}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseErr(Bytes{0xDA, 0, 0, 0x31, 0x00, 0x00}).Fault(), TFrameFault::Oversized);
    EXPECT_EQ(ParseErr(Bytes{0xE3, 0, 0, 0x31, 0x00}).Fault(), TFrameFault::WrongType);
}

// 2024-02-29 23:59:58, years 1980..2099, in packed BCD.
const Bytes kClockFrame{0xE3, 0x00, 0x00, 0x24, 0x20, 0x02, 0x29, 0x23, 0x59, 0x58, 0x80, 0x19, 0x99, 0x20};

TEST(ClockAnswerTest, DecodesTheBcdFields) {
    const auto answer = ParseClockAnswer(kClockFrame);
    ASSERT_TRUE(answer.Ok());
    EXPECT_EQ(answer->Time, (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    EXPECT_EQ(answer->MinYear, 1980);
    EXPECT_EQ(answer->MaxYear, 2099);
    EXPECT_EQ(Bytes(answer->Raw.begin(), answer->Raw.end()), kClockFrame);
}

TEST(ClockAnswerTest, ReadsOnlyTheFirst14Bytes) {
    Bytes longer = kClockFrame;
    longer.insert(longer.end(), {0xFF, 0xEE});
    const auto answer = ParseClockAnswer(longer);
    ASSERT_TRUE(answer.Ok());
    EXPECT_EQ(Bytes(answer->Raw.begin(), answer->Raw.end()), kClockFrame);
    EXPECT_EQ(answer->MaxYear, 2099);
}

TEST(ClockAnswerTest, RefusesShortOversizedAndNonBcdFrames) {
    // Without the highest year; our own 10-byte request frame.
    EXPECT_EQ(ParseClockAnswer(Bytes(kClockFrame.begin(), kClockFrame.end() - 1)).Fault(),
              TFrameFault::Short);
    EXPECT_EQ(ParseClockAnswer(Bytes(kClockFrame.begin(), kClockFrame.begin() + 10)).Fault(),
              TFrameFault::Short);
    EXPECT_EQ(ParseClockAnswer(Bytes{}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseClockAnswer(Padded({0xE3, 0, 0}, TVokFrame::kMaxLen - 2, 0x11)).Fault(),
              TFrameFault::Oversized);
    // A minute of $5A, and a year nibble of $F.
    Bytes badMinute = kClockFrame;
    badMinute[8] = 0x5A;
    EXPECT_EQ(ParseClockAnswer(badMinute).Fault(), TFrameFault::NotBcd);
    Bytes badYear = kClockFrame;
    badYear[13] = 0xF0;
    EXPECT_EQ(ParseClockAnswer(badYear).Fault(), TFrameFault::NotBcd);
    EXPECT_EQ(ParseClockAnswer(Bytes{0xDA, 0, 0, 0x31, 0x00}).Fault(), TFrameFault::WrongType);
}

TEST(BiosIdTest, TextEndsAtTheFirstZero) {
    const Bytes data{'V', 'O', 'K', '-', 'v', '2', '1', 0, 'x', 'y'};
    EXPECT_EQ(ParseBiosIdText(data).Value(), "VOK-v21");
    EXPECT_EQ(ParseBiosIdText(Bytes{0}).Value(), "");
    EXPECT_EQ(ParseBiosIdText(Bytes{'A', 'B'}).Fault(), TFrameFault::NoTerminator);
    EXPECT_EQ(ParseBiosIdText(Bytes{}).Fault(), TFrameFault::NoTerminator);
}

TEST(BiosIdTest, Vok386FlashCodeFollowsTheTerminator) {
    const auto id = ParseBiosId386(Bytes{'3', '8', '6', '2', '3', '<', 'V', 'O', 'K', '>', 0, 0xD5, 0});
    ASSERT_TRUE(id.Ok());
    EXPECT_EQ(id->Text, "38623<VOK>");
    EXPECT_EQ(id->FlashCode, 0xD5);
    // The data ends at the terminator: no flash code to read.
    EXPECT_EQ(ParseBiosId386(Bytes{'3', '8', '6', 0}).Fault(), TFrameFault::Short);
    EXPECT_EQ(ParseBiosId386(Bytes{'3', '8', '6'}).Fault(), TFrameFault::NoTerminator);
}

TEST(BiosIdTest, FlashTypeTexts) {
    EXPECT_EQ(FlashTypeText(0x5B, false), "ATMEL 29C010");
    EXPECT_EQ(FlashTypeText(0xA4, true), "ATMEL 29C020");
    EXPECT_EQ(FlashTypeText(0xD5, false), "ATMEL 29C040");
    EXPECT_EQ(FlashTypeText(0xDA, true), "ATMEL 29C040A");
    EXPECT_EQ(FlashTypeText(0x00, true), "Eprom xxx");
    EXPECT_EQ(FlashTypeText(0x00, false), "Eprom ???");
}

} // namespace
} // namespace ravlo
