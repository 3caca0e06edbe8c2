#include "records/ttc_time.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

constexpr std::uint32_t Stamp(std::uint32_t day, bool afternoon, std::uint32_t seconds) {
    return (seconds << 16) | (day * 2) | (afternoon ? 1 : 0);
}

TEST(TTCTimeTest, PacksDatesAtTheLimitsAndBack) {
    const struct {
        TDTRec rec;
        std::uint32_t stamp;
    } cases[] = {
        {{1992, 1, 1, 0, 0, 0}, 0},
        {{1992, 1, 1, 12, 0, 0}, 1},
        {{1992, 1, 1, 13, 0, 1}, Stamp(0, true, 3601)},
        {{1992, 2, 29, 11, 59, 59}, Stamp(59, false, 43199)},
        {{1993, 3, 1, 0, 0, 0}, Stamp(425, false, 0)},
        {{2000, 2, 29, 23, 59, 59}, Stamp(2981, true, 43199)},
        {{2080, 12, 31, 23, 59, 58}, Stamp(32507, true, 43198)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rec.Year << "-" << c.rec.Month << "-" << c.rec.Day);
        EXPECT_EQ(PackTTCTime(c.rec), c.stamp);
        EXPECT_EQ(UnpackTTCTime(c.stamp), c.rec);
    }
}

TEST(TTCTimeTest, RefusesDatesAndTimesOutOfRange) {
    const TDTRec refused[] = {
        {1991, 12, 31, 0, 0, 0}, {2081, 1, 1, 0, 0, 0},  {1992, 0, 1, 0, 0, 0},  {1992, 13, 1, 0, 0, 0},
        {1992, 1, 0, 0, 0, 0},   {1993, 2, 29, 0, 0, 0}, {1992, 2, 30, 0, 0, 0}, {1992, 4, 31, 0, 0, 0},
        {1992, 1, 1, 24, 0, 0},  {1992, 1, 1, 0, 60, 0}, {1992, 1, 1, 0, 0, 60},
    };
    for (const TDTRec& rec : refused) {
        EXPECT_EQ(PackTTCTime(rec), std::nullopt) << rec.Year << "-" << rec.Month << "-" << rec.Day << " "
                                                  << rec.Hour << ":" << rec.Min << ":" << rec.Sec;
    }
}

} // namespace
} // namespace ravlo
