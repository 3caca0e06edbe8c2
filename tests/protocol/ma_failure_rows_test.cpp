// How the board master ends each operation that its answer's time-out, or an error of the
// communication process, cuts short: the text and its box, what the asking window is told, whether
// the board counts as lost, and whether what was queued behind still runs.
#include "ma_fixture.h"
#include "protocol/ma_messages.h"

#include <algorithm>

namespace ravlo {
namespace {

using testing::Bytes;
using testing::Lines;
using testing::MaRig;
using Message = testing::NotifyWindow::Message;
using Messages = std::vector<Message>;

struct FailureRow {
    const char* Name;
    DEV_VokType Board;
    void (*Fault)(MaRig& rig);
    void (*Start)(MaRig& rig, WindowHandle window);
    std::size_t Frames; // the operation's frames, repeats included
    const char* Text;
    std::uint8_t MsgBox;
    Messages Window;
    bool BoardLost;
    bool QueueKept;
};

void PrintTo(const FailureRow& row, std::ostream* os) {
    *os << row.Name;
}

// The board stays silent and the communication process reports nothing: the master's own time-out
// acts.
void SilentFor(MaRig& rig, int frames) {
    rig.comm->Silent = true;
    rig.Board().Mute = frames;
}

class MaFailureRowTest : public ::testing::TestWithParam<FailureRow> {};

TEST_P(MaFailureRowTest, EndsTheOperationAsItsRowSays) {
    const FailureRow& row = GetParam();
    MaRig rig;
    rig.ConnectAndIdentify(row.Board);
    testing::NotifyWindow window;
    const int beeps = rig.presenter.Beeps;
    row.Fault(rig);
    row.Start(rig, window.Handle());
    rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
    ASSERT_TRUE(rig.AdvanceUntil([&] { return rig.ma->ConState == cs_idle && rig.ma->QueueCount() == 0; }));

    ASSERT_EQ(rig.errors->Texts.size(), 1u) << ::testing::PrintToString(rig.errors->Values());
    EXPECT_EQ(rig.errors->Texts[0].Value, row.Text);
    EXPECT_EQ(rig.errors->Texts[0].Kind, row.MsgBox);
    EXPECT_EQ(window.Messages, row.Window);
    EXPECT_EQ(rig.presenter.Beeps, beeps + 1);
    EXPECT_EQ(rig.comm->SentFrames().size(), row.Frames + (row.QueueKept ? 1 : 0));
    EXPECT_EQ(rig.ma->Device, row.BoardLost ? DEV_Unknown : row.Board);
    EXPECT_EQ(rig.ma->BiosIdText.empty(), row.BoardLost);
    // The page queued behind the operation answers again when it runs.
    EXPECT_EQ(rig.ma->Connected, row.QueueKept ? kBoardConnected : kNotConnected);
    EXPECT_EQ(rig.views.Pages.size(), row.QueueKept ? 1u : 0u);
    EXPECT_EQ(rig.mainForm.Events, row.QueueKept ? Lines{"- 256 bytes have been read from $00400"} : Lines{});
    EXPECT_EQ(rig.ma->LinkState, ravlost_Connected);
    EXPECT_EQ(rig.ma->State, ma_st_Ia);
    EXPECT_EQ(rig.ma->SavedCount(), 0u);
    EXPECT_FALSE(rig.ma->TimeOutArmed());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MaFailureRowTest,
    ::testing::Values(
        // Time-outs.
        FailureRow{"Setup188TimeOut", DEV_Vok188, [](MaRig& r) { SilentFor(r, 4); },
                   [](MaRig& r, WindowHandle) { r.ma->ReadSetup188(); }, 4,
                   "Reading Bios Setup failed by TimeOut", 1, Messages{}, true, false},
        FailureRow{"GetRTCTimeOut", DEV_Vok188, [](MaRig& r) { SilentFor(r, 1); },
                   [](MaRig& r, WindowHandle w) { r.ma->ReadRTC(w, std::make_shared<TClockBuffer>()); }, 1,
                   "Reading Time failed.\r\nProbably unsupported Vok function.", 0,
                   Messages{{wm_RTCErr, 1, 0}}, false, true},
        FailureRow{"SetRTCTimeOut", DEV_Vok188, [](MaRig& r) { SilentFor(r, 1); },
                   [](MaRig& r, WindowHandle w) {
                       r.ma->WriteRTC(w, TVokClockRec{2030, 1, 2, 3, 4, 5});
                   },
                   1, "Setting Time failed.\r\nProbably unsupported Vok function.", 0,
                   Messages{{wm_RTCErr, 2, 0}}, false, true},
        // The frame is swallowed: its going out is never confirmed.
        FailureRow{"GoTimeOut", DEV_Vok188, [](MaRig& r) { r.comm->Open = false; },
                   [](MaRig& r, WindowHandle) { r.ma->GoAddr(MakeFarPtr(0, 0xC800)); }, 1,
                   "Starting application failed by TimeOut", 1, Messages{}, true, false},
        // Errors of the communication process (the board did not answer its repeats).
        FailureRow{"Setup188Error", DEV_Vok188, [](MaRig& r) { r.Board().Mute = 1; },
                   [](MaRig& r, WindowHandle) { r.ma->ReadSetup188(); }, 1,
                   "Reading Bios Setup failed by Err.", 1, Messages{}, true, false},
        FailureRow{"Id386Error", DEV_Vok386, [](MaRig& r) { r.Board().Mute = 4; },
                   [](MaRig& r, WindowHandle) { r.ma->ReadBiosId(); }, 4, "Bios ID failed by Err.", 1,
                   Messages{}, true, true},
        FailureRow{"BiosIdStringError", DEV_Vok188, [](MaRig& r) { r.Board().Mute = 4; },
                   [](MaRig& r, WindowHandle) { r.ma->ReadBiosIdString(MakeFarPtr(0x8000, 0xF000)); }, 4,
                   "Bios ID String failed by Err.", 1, Messages{}, true, true},
        FailureRow{"CheckSumError", DEV_Vok188,
                   [](MaRig& r) {
                       r.project.Modules = {{"ROM1", 0xC800, 1000}};
                       r.Board().Mute = 1;
                   },
                   [](MaRig& r, WindowHandle) { r.ma->CheckSum(); }, 1, "Checksumming failed by Error", 1,
                   Messages{}, true, false},
        FailureRow{"IoReadError", DEV_Vok188, [](MaRig& r) { r.Board().Mute = 1; },
                   [](MaRig& r, WindowHandle w) { r.ma->ReadIO(0x300, true, w); }, 1,
                   "IO Read failed by Error", 1, Messages{}, true, false}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.Name); });

// An error report with no operation running: the board counts as lost, quietly; the port stays open.
TEST(MaFailureIdleTest, ACommunicationErrorWhileIdleLosesTheBoardWithoutAWord) {
    MaRig rig;
    rig.ConnectAndIdentify();
    const int beeps = rig.presenter.Beeps;
    rig.comm->Report(RAVLOCOMM_MA_Error, CommErr_NoAnswer);
    rig.Settle();
    EXPECT_EQ(rig.ma->Connected, kNotConnected);
    EXPECT_EQ(rig.ma->Device, DEV_Unknown);
    EXPECT_TRUE(rig.ma->BiosIdText.empty());
    EXPECT_GT(rig.mainForm.CountOf(&rig.ma->BiosIdText, 4), 0u);
    EXPECT_TRUE(rig.errors->Texts.empty());
    EXPECT_EQ(rig.presenter.Beeps, beeps);
    EXPECT_EQ(rig.ma->LinkState, ravlost_Connected);
    EXPECT_EQ(rig.ma->ConState, cs_idle);
}

// An error report that no wait of the master can take: an internal error that names the error and
// the three states. The operation ends, the board counts as lost, the queue is dropped, and the
// operation's frame never goes out.
TEST(MaFailureInternalTest, AnErrorNoWaitCanTakeIsAnInternalErrorAndNothingHangs) {
    struct Case {
        const char* Name;
        void (*Start)(MaRig& rig, WindowHandle window);
        const char* Text;
        std::uint8_t LinkAfter;
    };
    const Case cases[] = {
        // A report that comes after a read has started, ahead of its frame.
        {"between start and frame",
         [](MaRig& r, WindowHandle w) {
             r.comm->Report(RAVLOCOMM_MA_Error, CommErr_NoAnswer);
             r.ma->ReadIO(0x300, true, w);
             r.coll->TickAll();
         },
         "Internal error - [20=Repeated no answer, qq_state=_WaitForIORead, Ravlo_MA_State=Connected, "
         "State= Ia",
         ravlost_Connected},
        // New COM settings that fail to open the port while a read waits behind them: the port
        // counts as closed, as after such a failure with nothing running.
        {"port change fails",
         [](MaRig& r, WindowHandle w) {
             r.comm->FailReopen = true;
             r.ma->SetChnParam(1, 9600);
             r.ma->ReadIO(0x300, true, w);
             r.coll->TickAll();
         },
         "Internal error - [3=ChnPrt.ChOpen failed, qq_state=_WaitForIORead, Ravlo_MA_State=CO_WaFSetChn, "
         "State= Wr",
         ravlost_Inactive}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        MaRig rig;
        rig.ConnectAndIdentify();
        testing::NotifyWindow window;
        const int beeps = rig.presenter.Beeps;
        c.Start(rig, window.Handle());
        ASSERT_EQ(rig.ma->ConState, cs_WaitForIORead);
        rig.ma->ReadMemPage(LinToFarPtr(0x400), kNoWindow);
        rig.Advance(10000, 100);
        ASSERT_EQ(rig.errors->Texts.size(), 1u) << ::testing::PrintToString(rig.errors->Values());
        EXPECT_EQ(rig.errors->Texts[0].Value, c.Text);
        EXPECT_EQ(rig.errors->Texts[0].Kind, 1);
        EXPECT_EQ(rig.presenter.Beeps, beeps + 1);
        EXPECT_EQ(rig.ma->Device, DEV_Unknown);
        EXPECT_TRUE(window.Messages.empty());
        EXPECT_TRUE(rig.views.Pages.empty()) << "the queue was dropped";
        EXPECT_TRUE(std::ranges::none_of(rig.comm->SentFrames(),
                                         [](const Bytes& frame) { return frame[0] == ft_cIORd; }));
        EXPECT_EQ(rig.ma->ConState, cs_idle);
        EXPECT_EQ(rig.ma->LinkState, c.LinkAfter);
        EXPECT_EQ(rig.ma->State, ma_st_Ia);
        EXPECT_EQ(rig.ma->SavedCount(), 0u);
    }
}

} // namespace
} // namespace ravlo
