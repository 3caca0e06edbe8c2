#include "framework/broadcast.h"
#include "framework/main_window.h"
#include "platform/message_queue.h"
#include "platform/window_messages.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ravlo {
namespace {

using Calls = std::vector<std::string>;

// A form on the program's queue that answers the inner message with a fixed value. As a child it
// unwraps wm_Broadcast like every broadcast form; as the main form it fans the message out.
class FakeForm : public MainBroadcastNode, public MessageTarget {
public:
    FakeForm(Calls& calls, std::string name, std::uint32_t answer, bool main = false)
        : calls_(calls), name_(std::move(name)), answer_(answer), main_(main) {}

    WindowHandle Handle() const { return registration_.Handle(); }

    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (msg != wm_Broadcast) {
            return 0;
        }
        return main_ ? MainFormFanOut(*this, wParam, lParam) : FormBroadcast(*this, wParam, lParam);
    }
    std::uint32_t DispatchInner(std::uint32_t msg, std::uint32_t wParam, std::uintptr_t lParam) override {
        calls_.push_back(name_);
        last = {msg, wParam, lParam, 0};
        return answer_;
    }
    bool BroadcastToCtrls() const override { return toCtrls; }
    std::uint32_t DispatchToControls(const TBroadcastMsg&) override {
        calls_.push_back(name_ + ".ctrls");
        return controlsAnswer;
    }
    bool SkipSelf() const override { return skipSelf; }
    std::vector<WindowHandle> MdiChildWindows() const override { return children; }
    WindowHandle GetBroadcastWnd(int index) const override {
        askedIndexes.push_back(index);
        return static_cast<std::size_t>(index) < extras.size() ? extras[static_cast<std::size_t>(index)]
                                                               : kNoWindow;
    }

    bool toCtrls = false;
    std::uint32_t controlsAnswer = 0;
    bool skipSelf = false;
    std::vector<WindowHandle> children;
    std::vector<WindowHandle> extras;
    mutable std::vector<int> askedIndexes;
    TBroadcastMsg last{};

private:
    Calls& calls_;
    std::string name_;
    std::uint32_t answer_;
    bool main_;
    WindowRegistration registration_{AppMessageQueue(), *this};
};

class BroadcastTest : public ::testing::Test {
protected:
    void SetUp() override { AppMessageQueue().BindToCurrentThread(); }
    void TearDown() override { SetMainFormWindow(kNoWindow); }

    static std::intptr_t Wrap(TBroadcastMsg& message) { return reinterpret_cast<std::intptr_t>(&message); }

    Calls calls;
};

TEST_F(BroadcastTest, AFormOrsItsAnswerAndItsControlsOnlyWhenAskedIntoTheCarriedResult) {
    FakeForm form(calls, "form", 0x01);
    form.controlsAnswer = 0x04;
    int field = 7;
    TBroadcastMsg message{wm_VarChanged, sizeof field, reinterpret_cast<std::uintptr_t>(&field), 0x10};
    EXPECT_EQ(FormBroadcast(form, kBroadcastMsgSize, Wrap(message)), 0x11u);
    EXPECT_EQ(calls, Calls{"form"});
    form.toCtrls = true;
    EXPECT_EQ(FormBroadcast(form, kBroadcastMsgSize, Wrap(message)), 0x15u);
    EXPECT_EQ(calls, (Calls{"form", "form", "form.ctrls"}));
    EXPECT_EQ(
        std::tuple(form.last.Msg, form.last.WParam, form.last.LParam),
        std::tuple(wm_VarChanged, std::uint32_t{sizeof field}, reinterpret_cast<std::uintptr_t>(&field)));
    EXPECT_EQ(message.Result, 0x10u) << "the sender's record is read, not written";
    // Messages that fail the guard: another size, or no record.
    calls.clear();
    FakeForm main(calls, "main", 1, true);
    EXPECT_EQ(FormBroadcast(form, 15, Wrap(message)), 0u);
    EXPECT_EQ(FormBroadcast(form, 16, 0), 0u);
    EXPECT_EQ(MainFormFanOut(main, 32, Wrap(message)), 0u);
    EXPECT_EQ(MainFormFanOut(main, 16, 0), 0u);
    EXPECT_TRUE(calls.empty());
}

TEST_F(BroadcastTest, MainFormReachesSelfControlsChildrenThenExtrasInOrderUnlessItSkipsItself) {
    FakeForm main(calls, "main", 0x100, true);
    main.toCtrls = true;
    FakeForm first(calls, "child1", 1);
    FakeForm second(calls, "child2", 2);
    FakeForm extra(calls, "extra", 0x40);
    main.children = {first.Handle(), second.Handle()};
    main.extras = {extra.Handle()};
    SetMainFormWindow(main.Handle());
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 2, 0x2000), 0x143u);
    EXPECT_EQ(calls, (Calls{"main", "main.ctrls", "child1", "child2", "extra"}));
    EXPECT_EQ(main.askedIndexes, (std::vector<int>{0, 1}));
    EXPECT_EQ(first.last.LParam, 0x2000u);
    EXPECT_EQ(second.last.WParam, 2u);
    calls.clear();
    main.skipSelf = true;
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 1, 0x10), 0x43u);
    EXPECT_EQ(calls, (Calls{"main.ctrls", "child1", "child2", "extra"}));
}

TEST_F(BroadcastTest, ExtraWindowsAreAskedForUntilNoneAndGoneOrNoWindowsAnswerNothing) {
    FakeForm main(calls, "main", 0, true);
    FakeForm a(calls, "a", 1);
    WindowHandle gone = kNoWindow;
    {
        FakeForm closed(calls, "closed", 8);
        gone = closed.Handle();
    }
    FakeForm b(calls, "b", 4);
    main.extras = {a.Handle(), gone, b.Handle()};
    EXPECT_EQ(WndBroadcast(main.Handle(), wm_VarChanged, 1, 0), 5u);
    EXPECT_EQ(main.askedIndexes, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(calls, (Calls{"main", "a", "b"}));
    calls.clear();
    EXPECT_EQ(GetMainFormWindow(), kNoWindow);
    EXPECT_EQ(MainFormBroadcast(wm_VarChanged, 1, 0x10), 0u);
    EXPECT_EQ(WndBroadcast(kNoWindow, wm_VarChanged, 1, 0x10), 0u);
    EXPECT_TRUE(calls.empty());
}

TEST(TransferBuffObj, ClearDropsOwnedDataAndOwningNewDataEndsALoan) {
    TTransferBuffObj buffer;
    buffer.Own({1, 2, 3});
    EXPECT_EQ(static_cast<std::uint8_t*>(buffer.Data())[2], 3);
    buffer.Clear();
    EXPECT_TRUE(buffer.Data() == nullptr && buffer.Size() == 0);
    std::uint8_t lent[4] = {9, 9, 9, 9};
    buffer.Borrow(lent, sizeof lent);
    EXPECT_TRUE(buffer.Borrowed());
    EXPECT_EQ(buffer.Data(), lent);
    buffer.Own({5});
    EXPECT_FALSE(buffer.Borrowed());
    EXPECT_EQ(lent[0], 9);
    EXPECT_EQ(buffer.Size(), 1u);
}

} // namespace
} // namespace ravlo
