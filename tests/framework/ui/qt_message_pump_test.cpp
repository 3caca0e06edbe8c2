#include "framework/ui/qt_message_pump.h"
#include "platform/window_messages.h"
#include "qt_test_app.h"

#include <QEventLoop>
#include <QTimer>
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
            AppMessageQueue().Post(registration.Handle(), kChain, wParam - 1, 0);
        }
        if (msg == kFail) {
            throw std::runtime_error("handler failed");
        }
        if (onMessage) {
            onMessage();
        }
        return static_cast<std::intptr_t>(wParam * 2);
    }

    WindowRegistration registration{AppMessageQueue(), *this};
    std::vector<std::thread::id> threads;
    std::vector<std::uintptr_t> values;
    std::function<void()> onMessage;
};

TEST(QtMessagePump, DeliversAMessagePostedFromAnotherThreadWhileTheQtLoopRuns) {
    QtMessagePump pump;
    Recorder target;
    QEventLoop loop;
    target.onMessage = [&loop] {
        loop.quit();
    };
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(5000);

    std::thread poster([&target] { AppMessageQueue().Post(target.registration.Handle(), kPing, 7, 0); });
    loop.exec();
    poster.join();

    ASSERT_EQ(target.values, (std::vector<std::uintptr_t>{7}));
    EXPECT_EQ(target.threads.front(), std::this_thread::get_id()) << "delivered on the GUI thread";
}

TEST(QtMessagePump, AnswersASendFromAnotherThread) {
    QtMessagePump pump;
    Recorder target;
    std::atomic<std::intptr_t> answer{-1};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        answer = AppMessageQueue().Send(target.registration.Handle(), kPing, 21, 0).value_or(0);
        done = true;
    });
    EXPECT_TRUE(testing::ProcessEventsUntil([&done] { return done.load(); }));
    sender.join();
    EXPECT_EQ(answer.load(), 42);
}

TEST(QtMessagePump, KeepsPumpingWhileHandlersPostMore) {
    QtMessagePump pump;
    Recorder target;
    AppMessageQueue().Post(target.registration.Handle(), kChain, 5, 0);
    EXPECT_TRUE(testing::ProcessEventsUntil([&target] { return target.values.size() == 6; }));
    EXPECT_EQ(target.values, (std::vector<std::uintptr_t>{5, 4, 3, 2, 1, 0}));
}

TEST(QtMessagePump, AFailingHandlerDoesNotStopTheMessagesBehindIt) {
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
    AppMessageQueue().Post(target.registration.Handle(), kFail, 1, 0);
    AppMessageQueue().Post(target.registration.Handle(), kPing, 2, 0);
    EXPECT_TRUE(testing::ProcessEventsUntil([&target] { return target.values.size() == 2; }));
    EXPECT_EQ(errors, (std::vector<std::string>{"handler failed"}));
}

TEST(QtMessagePump, APumpThatIsGoneLeavesPostsQueuedForTheNextOne) {
    Recorder target;
    { QtMessagePump pump; }
    std::thread poster([&target] { AppMessageQueue().Post(target.registration.Handle(), kPing, 9, 0); });
    poster.join();
    testing::ProcessPendingEvents();
    EXPECT_TRUE(target.values.empty());
    QtMessagePump next; // delivers what was queued before it was bound
    EXPECT_TRUE(testing::ProcessEventsUntil([&target] { return !target.values.empty(); }));
    EXPECT_EQ(target.values, (std::vector<std::uintptr_t>{9}));
}

} // namespace
} // namespace ravlo
