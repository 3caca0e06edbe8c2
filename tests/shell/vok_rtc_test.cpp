#include "protocol/ma_messages.h"
#include "protocol/vok_frame.h"
#include "shell/vok_rtc.h"
#include "support/box_recorder.h"
#include "support/fake_tool_board.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

constexpr WindowHandle kWindow = 5;
const TDTRec kNow{2025, 3, 14, 15, 9, 26};

// The board's answer in BCD, as the master copies it into the read buffer.
TClockBuffer Answer(std::uint16_t year, std::uint8_t month, std::uint8_t day,
                    std::uint16_t maxYear = 0x2099) {
    using B = std::uint8_t;
    return {ft_SetRTC, 0,    0,    B(year), B(year >> 8), month,      day,
            0x23,      0x59, 0x58, 0x80,    0x19,         B(maxYear), B(maxYear >> 8)};
}

TEST(CheckClockDate, CorrectsEachValueToTheBoundItBroke) {
    struct Case {
        TVokClockRec in;
        TVokClockRec corrected;
    };
    const Case cases[] = {
        {{2000, 2, 29}, {2000, 2, 29}}, {{2024, 2, 29}, {2024, 2, 29}},   {{2100, 2, 29}, {2100, 2, 28}},
        {{2023, 2, 29}, {2023, 2, 28}}, {{2024, 4, 31}, {2024, 4, 30}},   {{2024, 13, 0}, {2024, 1, 1}},
        {{1979, 1, 32}, {1980, 1, 1}},  {{2300, 12, 31}, {2199, 12, 31}},
    };
    for (const Case& c : cases) {
        TVokClockRec time = c.in;
        EXPECT_EQ(CheckClockDate(time, 1980, 2199, false), c.in == c.corrected)
            << c.in.Year << "-" << +c.in.Month;
        EXPECT_EQ(time, c.in) << "unchanged without correction";
        CheckClockDate(time, 1980, 2199, true);
        EXPECT_EQ(time, c.corrected) << c.in.Year << "-" << +c.in.Month << "-" << +c.in.Day;
    }
}

class VokRTCTest : public ::testing::Test {
protected:
    VokRTCTest() { rtc.Open(kNow); }
    // The latest read's answer arrives.
    void Answered(const TClockBuffer& answer) {
        *board.Reads.back() = answer;
        rtc.HandleMessage(wm_RTCRdOk, 0, 0);
    }

    testing::FakeToolBoard board;
    testing::BoxRecorder boxes;
    TVokRTC rtc{board, kWindow};
};

TEST_F(VokRTCTest, TheReadTimeIsShownInBinaryWithTheBiosYears) {
    ASSERT_EQ(board.Reads.size(), 1U) << "the window asks at once";
    EXPECT_TRUE(rtc.Reading());
    Answered(Answer(0x2024, 0x02, 0x29));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    EXPECT_EQ(rtc.YearMin(), 1980);
    EXPECT_EQ(rtc.YearMax(), 2099);
    EXPECT_FALSE(rtc.Reading());
    EXPECT_EQ(rtc.Status(), "Status: Read Time Ok");
    EXPECT_TRUE(boxes.texts.empty());
    rtc.SetMonth(1);
    rtc.SetDay(31);
    rtc.SetMonth(4);
    EXPECT_EQ(rtc.EditTime().Day, 30);
    rtc.SetTime();
    EXPECT_EQ(board.Writes.back(), (TVokClockRec{2024, 4, 30, 23, 59, 58}))
        << "binary, as the board takes it";
    rtc.SetTimeAsPC();
    EXPECT_EQ(board.Writes.back(), (TVokClockRec{2025, 3, 14, 15, 9, 26}));
}

TEST_F(VokRTCTest, ImpossibleAnswersAreToldAndCorrected) {
    Answered(Answer(0x2024, 0x02, 0x29, 0x2069));
    EXPECT_EQ(boxes.Take(), "Incorrect Max Year (2069) in BIOS!");
    EXPECT_EQ(rtc.YearMax(), 2069) << "applied all the same";
    rtc.GetTime();
    Answered(Answer(0x2023, 0x02, 0x29));
    EXPECT_EQ(boxes.Take(), "Incorrect Date, make correction!");
    EXPECT_EQ(rtc.EditTime().Day, 28);
    rtc.GetTime();
    Answered(Answer(0x2023, 0x1A, 0x01));
    EXPECT_EQ(rtc.Status(), "Status: Read Err") << "a time that is not BCD";
}

TEST_F(VokRTCTest, AnAnswerToAnEarlierReadWaitsForTheLatest) {
    const auto first = board.Reads.front();
    rtc.GetTime();
    *first = Answer(0x2001, 0x01, 0x01);
    rtc.HandleMessage(wm_RTCRdOk, 0, 0);
    EXPECT_TRUE(rtc.Reading());
    Answered(Answer(0x2002, 0x02, 0x02));
    EXPECT_EQ(rtc.EditTime().Year, 2002);
}

TEST_F(VokRTCTest, ErrorsShowTheirStatusForFourSeconds) {
    const std::pair<std::uintptr_t, const char*> statuses[] = {
        {2, "Status: Write Err"}, {0x31, "Status: Read Err"}, {0x1234, "Status: Unknown Err No 1234h"}};
    for (const auto& [error, status] : statuses) {
        rtc.HandleMessage(wm_RTCErr, error, 0);
        EXPECT_EQ(rtc.Status(), status);
    }
    EXPECT_EQ(boxes.texts.back(), "Unknown Err No 1234h");
    TDTRec now = kNow;
    EXPECT_FALSE(rtc.TimerTick(now)) << "the same second";
    for (int second = 1; second <= 4; ++second) {
        EXPECT_FALSE(rtc.Status().empty());
        now.Sec = static_cast<std::uint16_t>(kNow.Sec + second);
        EXPECT_TRUE(rtc.TimerTick(now));
    }
    EXPECT_EQ(rtc.Status(), "");
}

} // namespace
} // namespace ravlo
