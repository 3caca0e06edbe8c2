// The tool windows without their widgets (binary write and read, memory view, progress, IO and
// clock) over the board master and the real communication process, against the board simulator at
// line timing.
#include "framework/local_time.h"
#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/board_memory.h"
#include "shell/io_access.h"
#include "shell/mem_view_model.h"
#include "shell/progress_model.h"
#include "shell/tool_board.h"
#include "shell/user_level.h"
#include "shell/vok_rtc.h"
#include "support/box_recorder.h"
#include "support/ma_sim_rig.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kPort = 9;

// The progress window and the memory view without widgets: their models fed as the windows feed
// them, the progress timer run by the test's loop.
class ModelWindows final : public TMaProgressView, public TMaBoardViews {
public:
    ModelWindows(TRavlo_MA_Process& master, TBoardMemory& board) : View(board, kNoWindow), source_(master) {}
    void ShowProgress() override {
        ++Shown;
        Open = true;
        Progress.Open(source_.ActiveRequest());
    }
    void UpdateProgress() override { Progress.UpdateProgress(source_.ActiveRequest()); }
    void CloseProgress() override { Open = false; }
    void ShowMemPage(WindowHandle, TSegOfsPtr address, Bytes page) override { View.ShowPage(address, page); }
    void EditConfig188(Bytes) override {}
    void EditConfig386(Bytes) override {}
    void TimerTicks() {
        for (; std::chrono::steady_clock::now() >= nextTick_; nextTick_ += std::chrono::milliseconds(100)) {
            Progress.TimerTick();
        }
    }

    int Shown = 0;
    bool Open = false;
    TProgressModel Progress;
    TMemViewModel View;

private:
    TMaProgressSource source_;
    std::chrono::steady_clock::time_point nextTick_ = std::chrono::steady_clock::now();
};

// An IO or clock window as the program has it: its model behind a handle of the message queue, gone
// with the window.
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

class ToolWindowsE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs";
        }
    }
    // A Vok188 simulator on COM9 at baud with the arguments; the link open and the board identified.
    void Connect(std::uint32_t baud, std::vector<std::string> args = {}) {
        args.insert(args.end(), {"--board", "188", "--baud", std::to_string(baud), "--memory-out",
                                 (dir_ / "memory.bin").string()});
        ASSERT_TRUE(sim_.Start(kPort, args));
        rig_.emplace("DWN=0 PER=1000 RET=1000 AST=1");
        board_.emplace(*rig_->ma);
        windows_.emplace(*rig_->ma, *board_);
        rig_->ma->SetInterfaces({&*windows_, &*windows_, &rig_->form, &rig_->project});
        rig_->ma->DefBd = rig_->ma->BDLD = rig_->ma->CurBaud = baud;
        rig_->ma->SetChnParam(kPort, baud);
        rig_->ma->OpenComm();
        ASSERT_TRUE(RunUntilIdle([this] { return rig_->ma->Device == DEV_Vok188; }));
    }

    bool RunUntilIdle(const std::function<bool()>& also = [] { return true; }) {
        return rig_->RunUntil([&] {
            windows_->TimerTicks();
            return rig_->Idle() && also();
        });
    }
    Bytes BoardMemory(std::uint32_t lin, std::size_t count) {
        rig_.reset();
        EXPECT_EQ(sim_.Stop(), 0);
        const std::string memory = dir_.Text("memory.bin").substr(lin, count);
        return Bytes(memory.begin(), memory.end());
    }

    testing::ScratchDir dir_;
    testing::BoxRecorder boxes_;
    testing::VoksimOnCom sim_;
    std::optional<testing::SimRig> rig_;
    std::optional<TMaBoardMemory> board_;
    std::optional<ModelWindows> windows_;
};

TEST_F(ToolWindowsE2eTest, AWrittenFileReadsBackAsTheBoardHoldsItWhileTheProgressShows) {
    Connect(115200);
    std::string data(12 * 1024, '\0');
    std::generate(data.begin(), data.end(), [i = 0]() mutable {
        ++i;
        return static_cast<char>(i * 7 ^ i >> 8);
    });
    TBinWriteModel writer(*board_);
    ASSERT_TRUE(writer.FileChosen(dir_.Write("block.bin", data)));
    writer.AddressText = "3000:0010"; // neither start nor end on a board block
    EXPECT_EQ(writer.Write(), TWriterField::None);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(windows_->Shown, 1);
    EXPECT_FALSE(windows_->Open) << "closed after the transfer";
    EXPECT_EQ(windows_->Progress.Gauge(), 100);
    EXPECT_NE(windows_->Progress.SpeedText().find(" kB/s"), std::string::npos) << "a rate was shown";

    TBinReadModel reader(*board_);
    ASSERT_TRUE(reader.AddressEntered("$30010"));
    ASSERT_TRUE(reader.LengthEntered("3000", true));
    reader.SetFileName(dir_.Write("back.bin", "what the file held"));
    ASSERT_TRUE(reader.Read());
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_TRUE(dir_.Text("back.bin") == data) << "replaced by the bytes read";
    EXPECT_TRUE(rig_->errors->Texts.empty());
    EXPECT_TRUE(BoardMemory(0x30010, data.size()) == Bytes(data.begin(), data.end()));
}

TEST_F(ToolWindowsE2eTest, AMemoryViewEditSavedChangesTheBoard) {
    Connect(115200);
    UserLevel = 2;
    board_->ReadMemPage(MakeFarPtr(0, 0x4000), kNoWindow);
    ASSERT_TRUE(RunUntilIdle([this] { return windows_->View.Addr() == MakeFarPtr(0, 0x4000); }));
    windows_->View.KeyPress('5', {8, 0});
    windows_->View.KeyPress('a', {9, 0});
    boxes_.answers = {IDYES};
    ASSERT_TRUE(windows_->View.Save());
    ASSERT_TRUE(RunUntilIdle());
    const Bytes page = windows_->View.Page();
    EXPECT_EQ(page[0], 0x5A);
    UserLevel = 0;
    EXPECT_EQ(BoardMemory(0x40000, 256), page);
}

// Answers come 300 ms late: the last clock read's answer arrives after its window has closed.
TEST_F(ToolWindowsE2eTest, AnIOWordAndTheClockAreWrittenAndReadBackAndALateAnswerHarmsNothing) {
    Connect(4800, {"--clock", "2024-02-29T23:59:58", "--clock-stopped", "--delay", "300"});
    TMaToolBoard tools(rig_->ma);
    ModelWindow<TIOAccess> io;
    TIOAccess& port = io.model.emplace(tools, io.Handle(), "no RTDW.INI");
    port.SetByteAccess(false);
    for (const char c : std::string("BEEF")) {
        port.DataType(c);
    }
    port.Write();
    ASSERT_TRUE(RunUntilIdle([&] { return !port.WritePending(); }));
    port.SetBit(15, false);
    port.Read();
    ASSERT_TRUE(RunUntilIdle([&] { return !port.ReadPending(); }));
    EXPECT_EQ(port.DataEdit().Text(), "$BEEF");

    auto clock = std::make_unique<ModelWindow<TVokRTC>>();
    TVokRTC& rtc = clock->model.emplace(tools, clock->Handle());
    rtc.Open(LocalDTRec(std::chrono::system_clock::now()));
    ASSERT_TRUE(RunUntilIdle([&] { return !rtc.Reading(); }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2024, 2, 29, 23, 59, 58}));
    rtc.SetYear(2031);
    rtc.SetMonth(7);
    rtc.SetHour(1);
    rtc.SetTime();
    ASSERT_TRUE(RunUntilIdle([&] { return rtc.Status() == "Status: Write Time Ok"; }));
    rtc.SetYear(2000);
    rtc.GetTime();
    ASSERT_TRUE(RunUntilIdle([&] { return rtc.EditTime().Year != 2000; }));
    EXPECT_EQ(rtc.EditTime(), (TVokClockRec{2031, 7, 28, 1, 59, 58}));

    rtc.GetTime();
    ASSERT_TRUE(rig_->RunUntil([this] { return rig_->ma->ConState == cs_WaitForGetRTC; }));
    clock.reset();
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(rig_->mainForm.Events.back(), "- Real Time Clock were read")
        << "the answer came, nobody heard it";
}

} // namespace
} // namespace ravlo
