#include "platform/input_wake.h"
#include "support/nonblocking_pipe.h"
#include "support/wait_until.h"

#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace ravlo {
namespace {

// A wait ending on this means the wake did not come; it also keeps a broken wake from hanging the run.
constexpr auto kHangGuardMs = static_cast<std::uint32_t>(testing::kWaitLimit.count() * 1000);

using Pipe = testing::NonBlockingPipe;

// Starts a wait on another thread and returns once it watches its descriptors.
std::future<InputWaitEnd> WaitOnThread(InputWakeRegistry& registry, InputWaiter& waiter, std::uint32_t ms) {
    const std::size_t before = registry.WatchingWaits();
    auto result = std::async(std::launch::async, [&waiter, ms] { return waiter.WaitForInputOrTimeout(ms); });
    EXPECT_TRUE(testing::WaitUntil([&] { return registry.WatchingWaits() != before; }));
    return result;
}

class InputWakeTest : public ::testing::Test {
protected:
    InputWakeRegistry registry;
    InputWaiter waiter{registry};
};

TEST_F(InputWakeTest, WithoutInputTheWaitRunsOutAndAnInterruptEndsTheCurrentOrTheNextWait) {
    EXPECT_EQ(waiter.WaitForInputOrTimeout(0), InputWaitEnd::TimedOut);
    Pipe pipe;
    const InputWakeRegistration reg(pipe.ReadEnd(), registry);
    EXPECT_EQ(waiter.WaitForInputOrTimeout(2), InputWaitEnd::TimedOut);
    EXPECT_TRUE(waiter.LastReady().empty());

    auto wait = WaitOnThread(registry, waiter, kHangGuardMs);
    waiter.Interrupt();
    EXPECT_EQ(wait.get(), InputWaitEnd::Interrupted);

    waiter.Interrupt();
    EXPECT_EQ(waiter.WaitForInputOrTimeout(kHangGuardMs), InputWaitEnd::Interrupted);
    EXPECT_EQ(waiter.WaitForInputOrTimeout(1), InputWaitEnd::TimedOut) << "an interrupt counts once";
}

TEST_F(InputWakeTest, InputLeftUnreadNeitherEndsTheFollowingWaitsNorHidesInputElsewhere) {
    Pipe stuck;
    Pipe live;
    const InputWakeRegistration stuckReg(stuck.ReadEnd(), registry);
    const InputWakeRegistration liveReg(live.ReadEnd(), registry);
    auto wait = WaitOnThread(registry, waiter, kHangGuardMs);
    ASSERT_TRUE(stuck.Put());
    ASSERT_EQ(wait.get(), InputWaitEnd::InputReady);
    // Nobody reads the pipe: every further wait runs its full time, however many there are.
    int early = 0;
    for (int round = 0; round < 50; ++round) {
        early += waiter.WaitForInputOrTimeout(1) != InputWaitEnd::TimedOut ? 1 : 0;
    }
    EXPECT_EQ(early, 0);

    auto again = WaitOnThread(registry, waiter, kHangGuardMs);
    ASSERT_TRUE(live.Put());
    EXPECT_EQ(again.get(), InputWaitEnd::InputReady);
    EXPECT_EQ(waiter.LastReady(), std::vector<int>{live.ReadEnd()});
    EXPECT_EQ(waiter.InputWakeups(), 2u);
    // Once drained, new input wakes again.
    stuck.Drain();
    live.Drain();
    auto third = WaitOnThread(registry, waiter, kHangGuardMs);
    ASSERT_TRUE(stuck.Put());
    EXPECT_EQ(third.get(), InputWaitEnd::InputReady);
}

TEST_F(InputWakeTest, UnregisteringTakesTheDescriptorOutOfTheWaitUnderWay) {
    Pipe first;
    Pipe second;
    InputWakeRegistration firstReg(first.ReadEnd(), registry);

    auto wait = WaitOnThread(registry, waiter, kHangGuardMs);
    // Returns only once the wait has let go of the descriptor.
    firstReg.Reset();
    EXPECT_FALSE(registry.IsRegistered(first.ReadEnd()));
    ASSERT_TRUE(first.Put());
    // A descriptor registered meanwhile is watched by the same wait.
    const InputWakeRegistration secondReg(second.ReadEnd(), registry);
    ASSERT_TRUE(testing::WaitUntil([&] { return registry.WatchingWaits() != 0; }));
    ASSERT_TRUE(second.Put());
    EXPECT_EQ(wait.get(), InputWaitEnd::InputReady);
    EXPECT_EQ(waiter.LastReady(), std::vector<int>{second.ReadEnd()});
}

TEST_F(InputWakeTest, RegistrationsCountAndMove) {
    {
        InputWakeRegistration a(5, registry);
        InputWakeRegistration b(5, registry);
        InputWakeRegistration moved(std::move(a));
        EXPECT_FALSE(a.Active());
        b.Reset();
        EXPECT_TRUE(registry.IsRegistered(5)) << "registered twice, unregistered once";
        b = std::move(moved);
        EXPECT_EQ(registry.Count(), 1u);
    }
    EXPECT_FALSE(registry.IsRegistered(5));
}

} // namespace
} // namespace ravlo
