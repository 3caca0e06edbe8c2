// The IO and clock windows without their widgets, over the board master and the real
// communication process, against the board simulator with line timing.
#include "framework/local_time.h"
#include "shell/io_access.h"
#include "shell/tool_board.h"
#include "shell/vok_rtc.h"
#include "support/ma_sim_rig.h"
#include "support/voksim_on_com.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace ravlo {
namespace {

constexpr std::uint8_t kPort = 9;

// A tool window as the program has it: its model behind a handle of the message queue, gone with
// the window.
template <class Model>
struct ModelWindow final : MessageTarget {
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        model->HandleMessage(msg, wParam, lParam);
        return 0;
    }
    WindowHandle Handle() const { return registration.Handle(); }
    WindowRegistration registration{AppMessageQueue(), *this};
    std::optional<Model> model;
};

class ToolWindowsVoksimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!voksim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs (build the target voksim)";
        }
    }
    void TearDown() override {
        rig.reset();
        voksim_.Stop();
    }

    // A Vok188 simulator on COM9 with the arguments; the link open and the board identified.
    void Connect(std::vector<std::string> args) {
        args.insert(args.end(), {"--board", "188"});
        ASSERT_TRUE(voksim_.Start(kPort, args));
        rig.emplace("DWN=0 PER=1000 RET=1000 AST=1");
        rig->ma->SetChnParam(kPort, 4800); // the master's default rate, the simulator's too
        rig->ma->OpenComm();
        ASSERT_TRUE(rig->RunUntil([this] { return !rig->ma->BiosIdText.empty() && rig->Idle(); }));
        board.emplace(rig->ma);
    }
    bool RunUntil(const std::function<bool()>& done) { return rig->RunUntil(done); }
    bool Idle() const { return rig->Idle(); }

    std::optional<testing::SimRig> rig;
    std::optional<TMaToolBoard> board;

private:
    testing::VoksimOnCom voksim_;
};

TEST_F(ToolWindowsVoksimTest, AnIOWordWrittenIsReadBack) {
    Connect({});
    ModelWindow<TIOAccess> io;
    TIOAccess& model = io.model.emplace(*board, io.Handle(), "no RTDW.INI");
    model.SetByteAccess(false);
    for (const char c : std::string("BEEF")) {
        model.DataType(c);
    }
    model.Write();
    ASSERT_TRUE(RunUntil([&] { return !model.WritePending() && Idle(); }));
    model.SetBit(15, false);
    model.Read();
    ASSERT_TRUE(RunUntil([&] { return !model.ReadPending() && Idle(); }));
    EXPECT_EQ(model.DataEdit().Text(), "$BEEF");
}

// Answers come 300 ms late: the last read's answer arrives after its window has closed.
TEST_F(ToolWindowsVoksimTest, TheClockIsReadSetAndReadAgainAndALateAnswerHarmsNothing) {
    Connect({"--clock", "2024-02-29T23:59:58", "--clock-stopped", "--delay", "300"});
    auto clock = std::make_unique<ModelWindow<TVokRTC>>();
    TVokRTC& rtc = clock->model.emplace(*board, clock->Handle());
    rtc.Open(LocalDTRec(std::chrono::system_clock::now()));
    ASSERT_TRUE(RunUntil([&] { return !rtc.Reading(); }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    rtc.SetYear(2031);
    rtc.SetMonth(7);
    rtc.SetHour(1);
    rtc.SetTime();
    ASSERT_TRUE(RunUntil([&] { return rtc.Status() == "Status: Write Time Ok" && Idle(); }));
    rtc.SetYear(2000);
    rtc.GetTime();
    ASSERT_TRUE(RunUntil([&] { return rtc.EditTime().Year != 2000 && Idle(); }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2031, 7, 28, 1, 59, 58}));

    rtc.GetTime();
    ASSERT_TRUE(RunUntil([this] { return rig->ma->ConState == cs_WaitForGetRTC; }));
    clock.reset();
    ASSERT_TRUE(RunUntil([this] { return Idle(); }));
    EXPECT_EQ(rig->mainForm.Events.back(), "- Real Time Clock were read")
        << "the answer came, nobody heard it";
}

} // namespace
} // namespace ravlo
