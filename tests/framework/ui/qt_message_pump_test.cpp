#include "framework/ui/qt_message_pump.h"
#include "platform/window_messages.h"
#include "qt_test_app.h"

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace ravlo {
namespace {

constexpr std::uint32_t kPing = WM_USER + 1;
constexpr std::uint32_t kChain = WM_USER + 2;
constexpr std::uint32_t kFail = WM_USER + 3;

class Recorder : public MessageTarget {
public:
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t) override {
        threads.push_back(std::this_thread::get_id());
        values.push_back(wParam);
        if (msg == kChain && wParam > 0) {
            Post(kChain, wParam - 1);
        }
        if (msg == kFail) {
            throw std::runtime_error("handler failed");
        }
        return static_cast<std::intptr_t>(wParam * 2);
    }
    void Post(std::uint32_t msg, std::uintptr_t wParam) {
        AppMessageQueue().Post(registration.Handle(), msg, wParam, 0);
    }
    bool Got(std::size_t count) {
        return testing::ProcessEventsUntil([this, count] { return values.size() >= count; });
    }

    WindowRegistration registration{AppMessageQueue(), *this};
    std::vector<std::thread::id> threads;
    std::vector<std::uintptr_t> values;
};

TEST(QtMessagePump, DeliversPostsAndAnswersSendsFromAnotherThreadOnTheGuiThread) {
    QtMessagePump pump;
    Recorder target;
    std::thread([&target] { target.Post(kPing, 7); }).join();
    ASSERT_TRUE(target.Got(1));
    EXPECT_EQ(target.values, (std::vector<std::uintptr_t>{7}));
    EXPECT_EQ(target.threads.front(), std::this_thread::get_id()) << "delivered on the GUI thread";
    std::atomic<std::intptr_t> answer{-1};
    std::thread sender(
        [&] { answer = AppMessageQueue().Send(target.registration.Handle(), kPing, 21, 0).value_or(0); });
    EXPECT_TRUE(testing::ProcessEventsUntil([&answer] { return answer.load() != -1; }));
    sender.join();
    EXPECT_EQ(answer.load(), 42);
}

TEST(QtMessagePump, KeepsPumpingWhileHandlersPostMoreAndAfterAHandlerFailed) {
    QtMessagePump pump;
    std::vector<std::string> errors;
    pump.SetErrorHandler([&errors](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            errors.emplace_back(e.what());
        }
    });
    Recorder target;
    target.Post(kFail, 9);
    target.Post(kChain, 3);
    EXPECT_TRUE(target.Got(5));
    EXPECT_EQ(target.values, (std::vector<std::uintptr_t>{9, 3, 2, 1, 0}));
    EXPECT_EQ(errors, (std::vector<std::string>{"handler failed"}));
}

TEST(QtMessagePump, APumpThatIsGoneLeavesPostsQueuedForTheNextOne) {
    Recorder target;
    { QtMessagePump pump; }
    std::thread([&target] { target.Post(kPing, 9); }).join();
    testing::ProcessPendingEvents();
    EXPECT_TRUE(target.values.empty());
    QtMessagePump next; // delivers what was queued before it was bound
    EXPECT_TRUE(target.Got(1));
    EXPECT_EQ(target.values, (std::vector<std::uintptr_t>{9}));
}

} // namespace
} // namespace ravlo
