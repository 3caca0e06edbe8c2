// The binary write and read windows, the memory view and the progress window over the board master
// and the real communication process, against the board simulator at line timing.
#include "shell/bin_read_model.h"
#include "shell/bin_write_model.h"
#include "shell/board_memory.h"
#include "shell/mem_view_model.h"
#include "shell/progress_model.h"
#include "shell/user_level.h"
#include "support/box_recorder.h"
#include "support/ma_sim_rig.h"
#include "support/scratch_dir.h"
#include "support/voksim_on_com.h"

#include <gtest/gtest.h>

namespace ravlo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

constexpr std::uint8_t kPort = 9;
constexpr std::uint32_t kBaud = 115200;

// The progress window without widgets: its model fed as the window feeds it, its timer run by the
// test's loop.
class ProgressRecorder final : public TMaProgressView {
public:
    explicit ProgressRecorder(TRavlo_MA_Process& master) : source_(master) {}
    void ShowProgress() override {
        ++Shown;
        Open = true;
        model_.Open(source_.ActiveRequest());
    }
    void UpdateProgress() override {
        model_.UpdateProgress(source_.ActiveRequest());
        MaxGauge = std::max(MaxGauge, model_.Gauge());
        Speed = model_.SpeedText().empty() ? Speed : model_.SpeedText();
    }
    void CloseProgress() override { Open = false; }
    // The 100-ms timer, as far as it is due.
    void Pump() {
        while (std::chrono::steady_clock::now() >= nextTick_) {
            model_.TimerTick();
            nextTick_ += std::chrono::milliseconds(TProgressModel::kTimerMs);
        }
    }

    int Shown = 0;
    bool Open = false;
    int MaxGauge = 0;
    std::string Speed;

private:
    TMaProgressSource source_;
    TProgressModel model_;
    std::chrono::steady_clock::time_point nextTick_ = std::chrono::steady_clock::now();
};

class PageViews final : public TMaBoardViews {
public:
    explicit PageViews(TMemViewModel& view) : view_(view) {}
    void ShowMemPage(WindowHandle, TSegOfsPtr address, Bytes page) override { view_.ShowPage(address, page); }
    bool EditConfig188(Bytes&) override { return false; }
    bool EditConfig386(Bytes&) override { return false; }

private:
    TMemViewModel& view_;
};

class ToolWindowsE2eTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!sim_.Found()) {
            GTEST_SKIP() << "voksim is not built beside the test programs";
        }
        ASSERT_TRUE(sim_.Start(kPort, {"--board", "188", "--baud", std::to_string(kBaud), "--memory-out",
                                       (dir_ / "memory.bin").string()}));
        rig_.emplace("DWN=0 PER=1000 RET=1000 AST=1");
        board_.emplace(*rig_->ma);
        view_.emplace(*board_, kNoWindow);
        views_.emplace(*view_);
        progress_.emplace(*rig_->ma);
        rig_->ma->SetInterfaces({&*progress_, &*views_, &rig_->form, &rig_->project});
        rig_->ma->DefBd = rig_->ma->BDLD = rig_->ma->CurBaud = kBaud;
        rig_->ma->SetChnParam(kPort, kBaud);
        rig_->ma->OpenComm();
        ASSERT_TRUE(RunUntilIdle([this] { return rig_->ma->Device == DEV_Vok188; }));
        UserLevel = 2;
    }
    void TearDown() override {
        UserLevel = 0;
        rig_.reset();
        sim_.Stop();
    }

    bool RunUntilIdle(const std::function<bool()>& also = [] { return true; }) {
        return rig_->RunUntil([&] {
            progress_->Pump();
            return rig_->Idle() && also();
        });
    }
    // The simulator's memory once it has ended.
    Bytes BoardMemory(std::uint32_t lin, std::size_t count) {
        rig_.reset();
        EXPECT_EQ(sim_.Stop(), 0);
        const std::string memory = dir_.Text("memory.bin");
        if (memory.size() < lin + count) {
            return {};
        }
        return Bytes(memory.begin() + lin, memory.begin() + static_cast<std::ptrdiff_t>(lin + count));
    }

    testing::ScratchDir dir_;
    testing::BoxRecorder boxes_;
    testing::VoksimOnCom sim_;
    std::optional<testing::SimRig> rig_;
    std::optional<TMaBoardMemory> board_;
    std::optional<TMemViewModel> view_;
    std::optional<PageViews> views_;
    std::optional<ProgressRecorder> progress_;
};

TEST_F(ToolWindowsE2eTest, AWrittenFileReadsBackAsTheBoardHoldsItWhileTheProgressShows) {
    std::string data(12 * 1024, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<char>((i * 7 + 3) ^ (i >> 9));
    }
    TBinWriteModel writer(*board_);
    ASSERT_TRUE(writer.FileChosen(dir_.Write("block.bin", data)));
    writer.AddressText = "3000:0010"; // neither start nor end on a board block
    EXPECT_EQ(writer.Write(), TWriterField::None);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(progress_->Shown, 1);
    EXPECT_FALSE(progress_->Open);
    EXPECT_EQ(progress_->MaxGauge, 100);
    EXPECT_NE(progress_->Speed.find(" kB/s"), std::string::npos) << "a rate was shown";

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
    board_->ReadMemPage(MakeFarPtr(0, 0x4000), kNoWindow);
    ASSERT_TRUE(RunUntilIdle([this] { return view_->Addr() == MakeFarPtr(0, 0x4000); }));
    view_->KeyPress('5', {8, 0});
    view_->KeyPress('a', {9, 0});
    view_->KeyPress('Q', {view_->AscEnd(), 15});
    boxes_.answers = {IDYES};
    ASSERT_TRUE(view_->Save());
    ASSERT_TRUE(RunUntilIdle());
    const Bytes page = view_->Page();
    EXPECT_EQ(page[0], 0x5A);
    EXPECT_EQ(page[255], 'Q');
    EXPECT_EQ(BoardMemory(0x40000, 256), page);
}

} // namespace
} // namespace ravlo
