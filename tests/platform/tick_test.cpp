#include "platform/tick.h"

#include <gtest/gtest.h>
#include <limits>

namespace ravlo {
namespace {

constexpr std::uint64_t kEndOfTime = std::numeric_limits<std::uint64_t>::max();

// The real clock keeps the contract the program relies on: time never runs backwards, and the
// 32-bit count is the low half of the 64-bit one.
TEST(Tick, TheSteadyClockNeverRunsBackwardsAndItsCountIsTheLowHalf) {
    std::uint64_t previous = TickMs();
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t now = TickMs();
        EXPECT_GE(now, previous);
        previous = now;
    }
    const std::uint32_t count = GetTickCount();
    EXPECT_LE(TickElapsed(count, static_cast<std::uint32_t>(previous)), TickMs() - previous);
}

TEST(Tick, ScopedSourceIsRestored) {
    ManualTickSource outer(1000);
    ManualTickSource inner(5);
    {
        const ScopedTickSource installOuter(outer);
        { const ScopedTickSource installInner(inner); }
        EXPECT_EQ(TickMs(), 1000u);
    }
    EXPECT_NE(dynamic_cast<SteadyTickSource*>(SetTickSource(nullptr)), nullptr) << "back on the real clock";
}

TEST(Tick, CountWrapsWhileDueTimesDoNotAndSaturateAtTheEndOfTime) {
    ManualTickSource clock(0xFFFF'FFF0u);
    const ScopedTickSource installed(clock);
    const std::uint32_t stamp = GetTickCount();
    const std::uint64_t due = DueTickMs(100);
    EXPECT_EQ(due, 0x1'0000'0054u);
    clock.Advance(99);
    EXPECT_FALSE(TickDue(due));
    EXPECT_EQ(GetTickCount(), 0x53u); // wrapped
    EXPECT_EQ(TickElapsed(GetTickCount(), stamp), 99u);
    EXPECT_FALSE(TickReached(GetTickCount(), stamp + 100));
    clock.Advance(1);
    EXPECT_TRUE(TickDue(due));
    EXPECT_TRUE(TickReached(GetTickCount(), stamp + 100));
    EXPECT_FALSE(TickReached(stamp, GetTickCount())) << "a count just after the wrap is later";

    clock.Set(kEndOfTime - 10);
    EXPECT_EQ(DueTickMs(10), kEndOfTime);
    EXPECT_EQ(DueTickMs(kEndOfTime), kEndOfTime);
    EXPECT_FALSE(TickDue(DueTickMs(11)));
}

} // namespace
} // namespace ravlo
