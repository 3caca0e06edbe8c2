#include "framework/message_box.h"
#include "framework/wait_pass.h"
#include "platform/tick.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

// Work that stays busy until busyUntilMs; each pause within a pass lets 10 ms pass.
class FakeWait final : public TWaitPass {
public:
    FakeWait(MessageQueue& queue, ManualTickSource& clock) : TWaitPass(queue), clock_(clock) {}

    bool IsBusy() override { return clock_.NowMs() < busyUntilMs; }
    // A new step every 50 ms.
    bool GetText(std::string& text) override {
        text = "step " + std::to_string(clock_.NowMs() / 50);
        return shown.empty() || shown.back() != text;
    }
    void ShowText(std::string_view text) override { shown.emplace_back(text); }

    std::uint64_t busyUntilMs = 0;
    std::vector<std::string> shown;
    int closed = 0;
    bool modalResult = false;

protected:
    void PumpEvents() override { clock_.Advance(10); }
    bool ModalResultSet() const override { return modalResult; }
    void CloseSelf() override { ++closed; }

private:
    ManualTickSource& clock_;
};

class WaitPassTest : public ::testing::Test {
protected:
    ManualTickSource clock_{1000};
    ScopedTickSource scopedClock_{clock_};
    MessageQueue queue_;
    FakeWait wait_{queue_, clock_};
};

TEST_F(WaitPassTest, PassesShowTextsUntilTheWorkEndsThenTheDialogCloses) {
    wait_.busyUntilMs = 1250;
    wait_.Timer();
    wait_.Timer(); // the first pass has not run yet
    EXPECT_EQ(queue_.PendingCount(), 1u);
    queue_.PumpAll();
    EXPECT_EQ(clock_.NowMs(), 1100u); // one period
    EXPECT_EQ(wait_.shown, (std::vector<std::string>{"step 20", "step 21", "step 22"}));
    EXPECT_EQ(wait_.closed, 0);
    for (int tick = 0; tick < 2; ++tick) {
        wait_.Timer();
        queue_.PumpAll();
    }
    EXPECT_EQ(clock_.NowMs(), 1250u);
    EXPECT_EQ(wait_.closed, 1);
    wait_.modalResult = true; // closing already: no second close
    wait_.Timer();
    queue_.PumpAll();
    EXPECT_EQ(wait_.closed, 1);
}

TEST_F(WaitPassTest, AFailedPostIsReported) {
    std::string reported;
    SetAppErrorHook([&](std::string_view msg) { reported = msg; });
    wait_.Unregister();
    wait_.Timer();
    SetAppErrorHook({});
    EXPECT_EQ(reported, "TWait_Dlg.Timer Post Msg Err");
}

TEST_F(WaitPassTest, ElapsedTicksAcrossTheWrap) {
    clock_.Set((std::uint64_t{1} << 32) + 5);
    EXPECT_EQ(GetElapsedTicks(0xFFFFFFF0u), 21u);
}

} // namespace
} // namespace ravlo
