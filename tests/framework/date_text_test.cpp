#include "framework/date_text.h"
#include "framework/text_settings.h"

#include <gtest/gtest.h>
#include <limits>
#include <regex>

namespace ravlo {
namespace {

class DateTextTest : public ::testing::Test {
protected:
    void SetUp() override { ResetTextFormatSettings(); }
    void TearDown() override { ResetTextFormatSettings(); }
};

TEST_F(DateTextTest, TextsFollowTheSettingsAndShowUnknownFields) {
    EXPECT_EQ(TimeRecStr(TDTRec{0, 0, 0, 123, 0, 0}), "123:00:00");
    EXPECT_EQ(DTRecStr(TDTRec{2024, 3, 7, 13, 45, 58}), "07/03/2024 13:45:58");
    EXPECT_EQ(DateRecStr(TDTRec{999, 3, 7}), "07/03/ 999");
    EXPECT_EQ(DateRecStr(TDTRec{0, 3, 7}), "07/03/????");
    EXPECT_EQ(DateRecStr(TDTRec{2024, 13, 0}), "?\?/?\?/2024");
    Year4 = false;
    EXPECT_EQ(DateRecStr(TDTRec{2000, 3, 7}), "07/03/00");
    EXPECT_EQ(DateRecStr(TDTRec{0, 3, 7}), "07/03/??");
    Year4 = true;
    const TDTRec r = TDTRec{2024, 3, 7};
    DateOrder = kDateOrderMonthDayYear;
    EXPECT_EQ(DateRecStr(r), "03/07/2024");
    DateOrder = kDateOrderYearMonthDay;
    DateSep = '-';
    EXPECT_EQ(DateRecStr(r), "2024-03-07");
    DateOrder = 9; // unknown: day, month, year
    EXPECT_EQ(DateRecStr(r), "07-03-2024");
    TimeSep = '.';
    EXPECT_EQ(TimeRecStr(TDTRec{0, 0, 0, 5, 7, 9}), "05.07.09");
}

TEST_F(DateTextTest, DosFileDateRoundTrip) {
    const TDTRec r = TDTRec{2024, 3, 7, 13, 45, 58};
    const std::int32_t packed = DTRecToFileDate(r);
    EXPECT_EQ(static_cast<std::uint32_t>(packed), 0x58676DBDu);
    EXPECT_EQ(FileDateToDTRec(packed), r);
    EXPECT_EQ(FileDateStr(packed), "07/03/2024 13:45:58");
    // Two-second steps: an odd second comes back one lower.
    EXPECT_EQ(FileDateToDTRec(DTRecToFileDate(TDTRec{2024, 3, 7, 13, 45, 59})).Sec, 58);
    for (const TDTRec& edge : {TDTRec{1980, 1, 1}, TDTRec{2107, 12, 31, 23, 59, 58}}) {
        EXPECT_EQ(FileDateToDTRec(DTRecToFileDate(edge)), edge);
    }
    EXPECT_EQ(DateRecStr(FileDateToDTRec(0)), "?\?/?\?/1980");
    // Dates the DOS form cannot hold pack to zero.
    for (const TDTRec& outside :
         {TDTRec{1979, 12, 31}, TDTRec{2108, 1, 1}, TDTRec{2024, 0, 1}, TDTRec{2024, 13, 1},
          TDTRec{2024, 1, 0}, TDTRec{2024, 1, 32}, TDTRec{2024, 1, 1, 24}, TDTRec{2024, 1, 1, 0, 60},
          TDTRec{2024, 1, 1, 0, 0, 60}}) {
        EXPECT_EQ(DTRecToFileDate(outside), 0) << DTRecStr(outside);
    }
}

TEST_F(DateTextTest, SecondsAsTimeAndNowAsAPlausibleLocalTime) {
    EXPECT_EQ(SecsToTimeStr(90000), "25:00:00");
    EXPECT_EQ(SecsToTimeStr(-61), "00:01:01");
    EXPECT_EQ(SgnSecsToStr(-3661), "-01:01:01");
    EXPECT_EQ(SgnSecsToStr(0), "+00:00:00");
    EXPECT_EQ(SgnSecsToStr(std::numeric_limits<std::int64_t>::min()), "-2562047788015215:30:08");
    EXPECT_GE(NowDTRec().Year, 2024);
    EXPECT_TRUE(std::regex_match(NowStr(), std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)"))) << NowStr();
}

} // namespace
} // namespace ravlo
