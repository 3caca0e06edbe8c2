#include "platform/message_queue.h"
#include "platform/window_messages.h"
#include "support/wait_until.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace ravlo {
namespace {

using namespace std::chrono_literals;

struct Received {
    std::uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    bool operator==(const Received&) const = default;
};

// Records what it receives and answers through an optional reaction.
class RecordingTarget : public MessageTarget {
public:
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        received.push_back({msg, wParam, lParam});
        threads.push_back(std::this_thread::get_id());
        return react ? react(msg, wParam, lParam) : 0;
    }

    std::vector<Received> received;
    std::vector<std::thread::id> threads;
    std::function<std::intptr_t(std::uint32_t, std::uintptr_t, std::intptr_t)> react;
};

class MessageQueueTest : public ::testing::Test {
protected:
    bool PumpUntil(const std::function<bool()>& done) {
        return testing::WaitUntil(done, [this] { queue.WaitAndPump(10ms); });
    }
    bool WaitForPending(std::size_t count) {
        return testing::WaitUntil([&] { return queue.PendingCount() >= count; });
    }

    MessageQueue queue;
    RecordingTarget target;
    const WindowHandle window = queue.Register(target);
};

TEST_F(MessageQueueTest, DeliversInPostOrderOnlyWhenPumped) {
    RecordingTarget second;
    const WindowHandle other = queue.Register(second);
    EXPECT_TRUE(queue.Post(window, wm_ProcMess, 14, 1));
    EXPECT_TRUE(queue.Post(other, wm_VarChanged, 2, 2));
    EXPECT_TRUE(queue.Post(window, wm_Broadcast, 0, 3));
    EXPECT_EQ(queue.PendingCount(), 3u);
    EXPECT_TRUE(target.received.empty());
    EXPECT_EQ(queue.PumpAll(), 3u);
    EXPECT_EQ(target.received, (std::vector<Received>{{wm_ProcMess, 14, 1}, {wm_Broadcast, 0, 3}}));
    EXPECT_EQ(second.received, (std::vector<Received>{{wm_VarChanged, 2, 2}}));
    EXPECT_FALSE(queue.PumpOne());
}

TEST_F(MessageQueueTest, PostsFromManyThreadsArriveInEachThreadsOrderOnTheOwnerThread) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 500;
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
        posters.emplace_back([this, t] {
            for (int i = 0; i < kPerThread; ++i) {
                EXPECT_TRUE(queue.Post(window, WM_USER, static_cast<std::uintptr_t>(t), i));
            }
        });
    }
    EXPECT_TRUE(PumpUntil([&] { return target.received.size() == kThreads * kPerThread; }));
    for (auto& poster : posters) {
        poster.join();
    }
    ASSERT_EQ(target.received.size(), static_cast<std::size_t>(kThreads * kPerThread));
    std::vector<std::intptr_t> next(kThreads, 0);
    for (const Received& message : target.received) {
        EXPECT_EQ(message.lParam, next[message.wParam]++) << "thread " << message.wParam;
    }
    for (const std::thread::id id : target.threads) {
        EXPECT_EQ(id, std::this_thread::get_id());
    }
}

TEST_F(MessageQueueTest, RefusedPostsLeaveThePayloadWithTheCallerAndUndeliverableOnesAreDropped) {
    std::vector<int> dropped;
    const auto drop = [&dropped](int n) {
        return std::function<void()>([&dropped, n] { dropped.push_back(n); });
    };
    EXPECT_FALSE(queue.Post(kNoWindow, WM_USER, 0, 0, drop(0)));
    EXPECT_FALSE(queue.Post(12345, WM_USER, 0, 0, drop(0)));
    EXPECT_FALSE(queue.Send(12345, WM_USER, 0, 0).has_value());
    EXPECT_TRUE(dropped.empty());

    RecordingTarget leaving;
    const WindowHandle gone = queue.Register(leaving);
    queue.Post(gone, WM_USER, 0, 1, drop(1));
    queue.Post(window, WM_USER, 0, 2, drop(2));
    queue.Post(gone, WM_USER, 0, 3, drop(3));
    queue.Unregister(gone);
    EXPECT_EQ(dropped, (std::vector<int>{1, 3}));
    EXPECT_FALSE(queue.Post(gone, WM_USER, 0, 0));
    // A new registration never takes an old handle, so late posts cannot reach the wrong window.
    RecordingTarget later;
    EXPECT_NE(queue.Register(later), gone);
    EXPECT_EQ(queue.PumpAll(), 1u);
    EXPECT_TRUE(leaving.received.empty());
    EXPECT_EQ(dropped.size(), 2u) << "a delivered message is not dropped as well";

    queue.Post(window, WM_USER, 0, 4, drop(4));
    queue.Clear();
    EXPECT_EQ(dropped.back(), 4);
    {
        MessageQueue shortLived;
        shortLived.Post(shortLived.Register(target), WM_USER, 0, 5, drop(5));
    }
    EXPECT_EQ(dropped.back(), 5);
    WindowHandle registered = kNoWindow;
    {
        const WindowRegistration registration(queue, target); // ends with its object
        registered = registration.Handle();
        EXPECT_TRUE(queue.Post(registered, WM_USER, 0, 6, drop(6)));
    }
    EXPECT_FALSE(queue.IsRegistered(registered));
    EXPECT_EQ(dropped.back(), 6);
}

TEST_F(MessageQueueTest, SendIsSynchronousAndReentrant) {
    target.react = [&](std::uint32_t msg, std::uintptr_t wParam, std::intptr_t) -> std::intptr_t {
        if (msg == WM_USER) {
            // Nested send runs at once; the post waits for the pump.
            const auto inner = queue.Send(window, WM_USER + 1, wParam + 1, 0);
            queue.Post(window, WM_USER + 2, 0, 0);
            return inner.value_or(-1) * 10;
        }
        return msg == WM_USER + 1 ? static_cast<std::intptr_t>(wParam) : 0;
    };
    EXPECT_EQ(queue.Send(window, WM_USER, 4, 0), std::optional<std::intptr_t>(50));
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(target.received[1].msg, WM_USER + 1);
    EXPECT_EQ(queue.PendingCount(), 1u);
    queue.PumpAll();
    EXPECT_EQ(target.received.back().msg, WM_USER + 2);
}

TEST_F(MessageQueueTest, PumpAllLeavesWhatHandlersPostForNextTimeAndAHandlerMayUnregisterItsWindow) {
    int dropped = 0;
    target.react = [&](std::uint32_t, std::uintptr_t, std::intptr_t lParam) -> std::intptr_t {
        if (lParam == 0) {
            queue.Post(window, WM_USER, 0, 1); // posts to itself
        } else {
            queue.Unregister(window); // a window that closes itself
        }
        return 0;
    };
    queue.Post(window, WM_USER, 0, 0);
    EXPECT_EQ(queue.PumpAll(), 1u);
    EXPECT_EQ(queue.PendingCount(), 1u);
    queue.Post(window, WM_USER, 0, 2, [&] { ++dropped; });
    EXPECT_EQ(queue.PumpAll(), 1u);
    EXPECT_EQ(target.received.size(), 2u);
    EXPECT_EQ(dropped, 1);
}

TEST_F(MessageQueueTest, WaitAndPumpWakesForAPostFromAnotherThreadWhoseWakeHandlerRuns) {
    std::vector<std::thread::id> wakes;
    queue.SetWakeHandler([&] { wakes.push_back(std::this_thread::get_id()); });
    EXPECT_EQ(queue.WaitAndPump(1ms), 0u);              // nothing comes: the time-out ends the wait
    EXPECT_FALSE(queue.Post(kNoWindow, WM_USER, 0, 0)); // a refused post wakes nobody
    queue.Post(window, WM_USER, 0, 1);
    std::thread::id posterId;
    std::thread poster([&] {
        posterId = std::this_thread::get_id();
        queue.Post(window, wm_VarChanged, 1, 7);
    });
    std::size_t delivered = 0;
    EXPECT_TRUE(testing::WaitUntil([&] { return delivered >= 2; },
                                   [&] { delivered += queue.WaitAndPump(testing::kWaitLimit); }));
    poster.join();
    EXPECT_EQ(target.received.back(), (Received{wm_VarChanged, 1, 7}));
    EXPECT_EQ(wakes, (std::vector<std::thread::id>{std::this_thread::get_id(), posterId}));
    queue.SetWakeHandler(nullptr);
    queue.Post(window, WM_USER, 0, 2);
    EXPECT_EQ(wakes.size(), 2u);
}

TEST_F(MessageQueueTest, SendFromAnotherThreadRunsOnTheOwnerThreadAheadOfPostsOrIsReleasedWhenDropped) {
    target.react = [](std::uint32_t, std::uintptr_t wParam, std::intptr_t) {
        return static_cast<std::intptr_t>(wParam * 2);
    };
    queue.Post(window, WM_USER, 1, 0);
    std::optional<std::intptr_t> answer;
    std::atomic<bool> finished{false};
    std::thread sender([&] {
        answer = queue.Send(window, WM_USER + 1, 21, 0);
        finished = true;
    });
    EXPECT_TRUE(WaitForPending(2));
    EXPECT_TRUE(PumpUntil([&] { return finished.load(); }));
    sender.join();
    EXPECT_EQ(answer, std::optional<std::intptr_t>(42));
    ASSERT_EQ(target.received.size(), 2u);
    EXPECT_EQ(target.received[0].msg, WM_USER + 1); // a sent message goes ahead of posted ones
    EXPECT_EQ(target.threads[0], std::this_thread::get_id());

    std::thread dropped([&] { answer = queue.Send(window, WM_USER, 0, 0); });
    EXPECT_TRUE(WaitForPending(1));
    queue.Unregister(window);
    dropped.join();
    EXPECT_FALSE(answer.has_value()) << "the sender is released without an answer";
    EXPECT_EQ(target.received.size(), 2u);
}

} // namespace
} // namespace ravlo
