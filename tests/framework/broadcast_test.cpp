#include "framework/broadcast.h"
#include "framework/main_window.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace ravlo {
namespace {

// Who received what, in order, across all the forms of a test.
struct Trace {
    std::vector<std::string> calls;
};

// A child form: unwraps wm_Broadcast like every broadcast form and answers the inner message with
// a fixed value.
class FakeForm : public BroadcastNode, public MessageTarget {
public:
    FakeForm(Trace& trace, std::string name, std::uint32_t answer)
        : trace_(trace), name_(std::move(name)), answer_(answer), registration_(AppMessageQueue(), *this) {}

    WindowHandle Handle() const { return registration_.Handle(); }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (msg == wm_Broadcast) {
            return FormBroadcast(*this, wParam, lParam);
        }
        return 0;
    }
    std::uint32_t DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) override {
        trace_.calls.push_back(name_);
        last = {msg, wParam, lParam, 0};
        return answer_;
    }
    bool BroadcastToCtrls() const override { return toCtrls; }
    std::uint32_t DispatchToControls(const TBroadcastMsg&) override {
        trace_.calls.push_back(name_ + ".ctrls");
        return controlsAnswer;
    }

    bool toCtrls = false;
    std::uint32_t controlsAnswer = 0;
    TBroadcastMsg last{};

private:
    Trace& trace_;
    std::string name_;
    std::uint32_t answer_;
    WindowRegistration registration_;
};

class FakeMain : public MainBroadcastNode, public MessageTarget {
public:
    FakeMain(Trace& trace, std::uint32_t answer)
        : trace_(trace), answer_(answer), registration_(AppMessageQueue(), *this) {}

    WindowHandle Handle() const { return registration_.Handle(); }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        return msg == wm_Broadcast ? MainFormFanOut(*this, wParam, lParam) : 0;
    }
    std::uint32_t DispatchInner(std::uint32_t, std::uint32_t, std::uintptr_t) override {
        trace_.calls.push_back("main");
        return answer_;
    }
    bool BroadcastToCtrls() const override { return toCtrls; }
    std::uint32_t DispatchToControls(const TBroadcastMsg&) override {
        trace_.calls.push_back("main.ctrls");
        return 0;
    }
    bool SkipSelf() const override { return skipSelf; }
    std::vector<WindowHandle> MdiChildWindows() const override { return children; }
    WindowHandle GetBroadcastWnd(int index) const override {
        askedIndexes.push_back(index);
        return static_cast<std::size_t>(index) < extras.size() ? extras[static_cast<std::size_t>(index)]
                                                               : kNoWindow;
    }

    bool toCtrls = false;
    bool skipSelf = false;
    std::vector<WindowHandle> children;
    std::vector<WindowHandle> extras;
    mutable std::vector<int> askedIndexes;

private:
    Trace& trace_;
    std::uint32_t answer_;
    WindowRegistration registration_;
};

class BroadcastTest : public ::testing::Test {
protected:
    void SetUp() override { AppMessageQueue().BindToCurrentThread(); }
    void TearDown() override { SetMainFormWindow(kNoWindow); }

    std::intptr_t Wrap(TBroadcastMsg& message) { return reinterpret_cast<std::intptr_t>(&message); }

    Trace trace;
};

TEST_F(BroadcastTest, FormIgnoresMessagesThatFailTheGuard) {
    FakeForm form(trace, "form", 1);
    TBroadcastMsg message{wm_VarChanged, 4, 0x1000, 0};
    EXPECT_EQ(FormBroadcast(form, 15, Wrap(message)), 0u);
    EXPECT_EQ(FormBroadcast(form, 16, 0), 0u);
    FakeMain main(trace, 1);
    EXPECT_EQ(MainFormFanOut(main, 32, Wrap(message)), 0u);
    EXPECT_EQ(MainFormFanOut(main, 16, 0), 0u);
    EXPECT_TRUE(trace.calls.empty());
}

TEST_F(BroadcastTest, FormOrsItsAnswerIntoTheCarriedResultAndPassesTheInnerMessage) {
    FakeForm form(trace, "form", 0x01);
    form.toCtrls = true;
    form.controlsAnswer = 0x04;
    int field = 7;
    TBroadcastMsg message{wm_VarChanged, sizeof field, reinterpret_cast<std::uintptr_t>(&field), 0x10};
    EXPECT_EQ(FormBroadcast(form, kBroadcastMsgSize, Wrap(message)), 0x15u);
    EXPECT_EQ(form.last.Msg, wm_VarChanged);
    EXPECT_EQ(form.last.WParam, sizeof field);
    EXPECT_EQ(reinterpret_cast<const int*>(form.last.LParam), &field);
    EXPECT_EQ(message.Result, 0x10u) << "the sender's record is read, not written";
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"form", "form.ctrls"}));
}

TEST_F(BroadcastTest, ControlsGetNothingUnlessAsked) {
    FakeForm form(trace, "form", 0);
    TBroadcastMsg message{wm_VarChanged, 1, 1, 0};
    FormBroadcast(form, kBroadcastMsgSize, Wrap(message));
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"form"}));
}

TEST_F(BroadcastTest, MainFormReachesSelfControlsChildrenThenExtrasInOrder) {
    FakeMain main(trace, 0x100);
    main.toCtrls = true;
    FakeForm first(trace, "child1", 1);
    FakeForm second(trace, "child2", 2);
    FakeForm extra(trace, "extra", 0x40);
    main.children = {first.Handle(), second.Handle()};
    main.extras = {extra.Handle()};
    SetMainFormWindow(main.Handle());
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 2, 0x2000), 0x143u);
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"main", "main.ctrls", "child1", "child2", "extra"}));
    EXPECT_EQ(main.askedIndexes, (std::vector<int>{0, 1}));
    EXPECT_EQ(first.last.LParam, 0x2000u);
    EXPECT_EQ(second.last.WParam, 2u);
}

TEST_F(BroadcastTest, TwoChildrenAnsweringOneAndTwoGiveThree) {
    FakeMain main(trace, 0);
    FakeForm first(trace, "child1", 1);
    FakeForm second(trace, "child2", 2);
    main.children = {first.Handle(), second.Handle()};
    SetMainFormWindow(main.Handle());
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 1, 0x10), 3u);
}

TEST_F(BroadcastTest, SkipSelfStillReachesEveryChild) {
    FakeMain main(trace, 0x80);
    main.skipSelf = true;
    main.toCtrls = true;
    FakeForm child(trace, "child", 1);
    main.children = {child.Handle()};
    SetMainFormWindow(main.Handle());
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 1, 0x10), 1u);
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"main.ctrls", "child"}));
}

TEST_F(BroadcastTest, ExtraWindowsAreAskedForUntilNoneAndGoneOnesAnswerNothing) {
    FakeMain main(trace, 0);
    FakeForm a(trace, "a", 1);
    WindowHandle gone = kNoWindow;
    {
        FakeForm closed(trace, "closed", 8);
        gone = closed.Handle();
    }
    FakeForm b(trace, "b", 4);
    main.extras = {a.Handle(), gone, b.Handle()};
    EXPECT_EQ(WndBroadcast(main.Handle(), wm_VarChanged, 1, 0), 5u);
    EXPECT_EQ(main.askedIndexes, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(trace.calls, (std::vector<std::string>{"main", "a", "b"}));
}

TEST_F(BroadcastTest, NoWindowAnswersZeroWithoutSending) {
    FakeForm form(trace, "form", 1);
    EXPECT_EQ(GetMainFormWindow(), kNoWindow);
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 1, 0x10), 0u);
    EXPECT_EQ(WndBroadcast(kNoWindow, wm_VarChanged, 1, 0x10), 0u);
    EXPECT_TRUE(trace.calls.empty());
    EXPECT_EQ(WndBroadcast(form.Handle(), wm_VarChanged, 1, 0x10), 1u);
}

TEST_F(BroadcastTest, BroadcastFromAnotherThreadWaitsForTheCombinedAnswer) {
    FakeMain main(trace, 0);
    FakeForm first(trace, "child1", 1);
    FakeForm second(trace, "child2", 2);
    main.children = {first.Handle(), second.Handle()};
    SetMainFormWindow(main.Handle());
    std::atomic<std::uint32_t> answer{0xFFFF};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        answer = MainFormBroadcast(wm_VarChanged, 1, 0x10);
        done = true;
    });
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done && std::chrono::steady_clock::now() < limit) {
        AppMessageQueue().WaitAndPump(std::chrono::milliseconds(10));
    }
    sender.join();
    EXPECT_EQ(answer.load(), 3u);
}

TEST(TransferBuffObj, ClearDropsOwnedDataAndLeavesBorrowedDataAlone) {
    TTransferBuffObj buffer;
    EXPECT_EQ(buffer.Data(), nullptr);
    buffer.Own({1, 2, 3});
    ASSERT_NE(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Size(), 3u);
    EXPECT_FALSE(buffer.Borrowed());
    EXPECT_EQ(static_cast<std::uint8_t*>(buffer.Data())[2], 3);
    buffer.Clear();
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Size(), 0u);

    std::uint8_t lent[4] = {9, 9, 9, 9};
    buffer.Borrow(lent, sizeof lent);
    EXPECT_TRUE(buffer.Borrowed());
    EXPECT_EQ(buffer.Data(), lent);
    EXPECT_EQ(buffer.Size(), 4u);
    buffer.Own({5});
    EXPECT_FALSE(buffer.Borrowed()) << "owning new data ends the loan";
    EXPECT_EQ(lent[0], 9);
    EXPECT_EQ(buffer.Size(), 1u);
}

} // namespace
} // namespace ravlo
