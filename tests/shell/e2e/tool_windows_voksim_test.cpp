// The IO and clock windows without their widgets, over the board master and the real
// communication process, against the board simulator with line timing.
#include "framework/local_time.h"
#include "platform/tick.h"
#include "protocol/comm_process.h"
#include "shell/io_access.h"
#include "shell/tool_board.h"
#include "shell/vok_rtc.h"
#include "support/channel_stack.h"
#include "support/ma_rig.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <chrono>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace ravlo {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kPort = 9;

// A tool window as the program has it: its model behind a handle of the message queue, gone with
// the window.
template <class Model>
class ModelWindow final : public MessageTarget {
public:
    ModelWindow() : registration_(AppMessageQueue(), *this) {}
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        model->HandleMessage(msg, wParam, lParam);
        return 0;
    }
    WindowHandle Handle() const { return registration_.Handle(); }
    std::optional<Model> model;

private:
    WindowRegistration registration_;
};

class ToolWindowsVoksimTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!voksim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs (build the target voksim)";
        }
    }
    void TearDown() override {
        if (rig) {
            rig->ma->CloseComm();
            RunUntil([this] { return rig->ma->LinkState == ravlost_Inactive; }, 3s);
        }
        rig.reset();
        EXPECT_EQ(voksim_.Stop(), 0);
    }

    // A Vok188 simulator on COM9 with the arguments; the link open and the board identified.
    void Connect(std::vector<std::string> args) {
        args.insert(args.end(), {"--board", "188"});
        ASSERT_TRUE(voksim_.Start(kPort, args));
        rig.emplace("DWN=0 PER=1000 RET=1000 AST=1", TRavloComm_Process::CreateFromLabel);
        rig->ma->SetChnParam(kPort, 4800);
        rig->ma->OpenComm();
        ASSERT_TRUE(RunUntil([this] { return !rig->ma->BiosIdText.empty() && Idle(); }));
        board.emplace(rig->ma);
    }
    bool Idle() const { return rig->ma->ConState == cs_idle && rig->ma->QueueCount() == 0; }
    // Runs the scheduler's work in real time until done() holds.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s) {
        const auto giveUp = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < giveUp) {
            rig->timed.SendProcMessages(TickMs());
            while (AppMessageQueue().PumpAll() > 0) {
            }
            rig->coll->TickAll();
            std::this_thread::sleep_for(1ms);
        }
        return done();
    }

    testing::ChannelRegistry channels;
    std::optional<testing::MaRigBase> rig;
    std::optional<TMaToolBoard> board;
    testing::ScratchDir dir;

private:
    testing::VoksimOnCom voksim_;
};

TEST_F(ToolWindowsVoksimTest, AnIOWordWrittenIsReadBack) {
    Connect({});
    ModelWindow<TIOAccess> io;
    io.model.emplace(*board, io.Handle(), dir / "RTDW.INI");
    io.model->SetByteAccess(false);
    for (const char c : std::string("BEEF")) {
        io.model->DataType(c);
    }
    io.model->Write();
    ASSERT_TRUE(RunUntil([&] { return !io.model->WritePending() && Idle(); }));
    io.model->SetDataCaret(1);
    for (int i = 0; i < 4; ++i) {
        io.model->DataType('0');
    }
    io.model->Read();
    ASSERT_TRUE(RunUntil([&] { return !io.model->ReadPending() && Idle(); }));
    EXPECT_EQ(io.model->DataEdit().Text(), "$BEEF");
    EXPECT_EQ(io.model->Status(), "Data read successfully");
}

TEST_F(ToolWindowsVoksimTest, TheClockIsReadSetAndReadAgain) {
    Connect({"--clock", "2024-02-29T23:59:58", "--clock-stopped"});
    ModelWindow<TVokRTC> clock;
    clock.model.emplace(*board, clock.Handle());
    TVokRTC& rtc = *clock.model;
    rtc.Open(LocalDTRec(std::chrono::system_clock::now()));
    ASSERT_TRUE(RunUntil([&] { return !rtc.Reading(); }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    rtc.SetYear(2031);
    rtc.SetMonth(7);
    rtc.SetDay(4);
    rtc.SetHour(1);
    rtc.SetTime();
    ASSERT_TRUE(RunUntil([&] { return rtc.Status() == "Status: Write Time Ok" && Idle(); }));
    rtc.SetYear(2000);
    rtc.GetTime();
    ASSERT_TRUE(RunUntil([&] { return rtc.EditTime().Year != 2000 && Idle(); }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2031, 7, 4, 1, 59, 58}));
}

TEST_F(ToolWindowsVoksimTest, AClockAnswerAfterTheWindowClosedHarmsNothing) {
    Connect({"--delay", "300"});
    {
        ModelWindow<TVokRTC> clock;
        clock.model.emplace(*board, clock.Handle());
        clock.model->Open(LocalDTRec(std::chrono::system_clock::now()));
        ASSERT_TRUE(RunUntil([this] { return rig->ma->ConState == cs_WaitForGetRTC; }));
    }
    ASSERT_TRUE(RunUntil([this] { return Idle(); }));
    EXPECT_EQ(rig->mainForm.Events.back(), "- Real Time Clock were read")
        << "the answer came, nobody heard it";
}

} // namespace
} // namespace ravlo
