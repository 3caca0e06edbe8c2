#include "framework/broadcast.h"
#include "framework/main_window.h"
#include "kernel/dlg_process.h"
#include "kernel/kernel_test_support.h"
#include "platform/window_messages.h"
#include "protocol/ma_request.h"
#include "protocol/protocol_process_types.h"
#include "protocol/saved_proc_mess_fifo.h"
#include "protocol/tmp_err_hist_windows.h"
#include "protocol/tmp_err_process.h"
#include "protocol/tmp_err_show_rec.h"
#include "protocol_test_support.h"
#include "support/app_fixtures.h"
#include "support/ma_rig.h"

#include <gtest/gtest.h>
#include <optional>
#include <tuple>

namespace ravlo {
namespace {

using testing::Adr;
using testing::AppIniFixture;
using testing::Bytes;
using testing::CapturedWriter;
using testing::KernelGlobals;
using testing::ToBytes;
using Lines = std::vector<std::string>;

const TProcAdr kErrAdr{PT_TmpErr, 0, 0x2001};
const TProcAdr kMaAdr{PT_RavloMA, 1, 0x2001};

constexpr std::string_view kIni = "[SECTIONS]\r\n"
                                  "RD_SECTION=READ\r\n"
                                  "WR_SECTION=WRITE\r\n"
                                  "[READ]\r\n"
                                  "LABELCOLL=PFX=PL\r\n"
                                  "PL00=NAM=ERR PRS=$73 ADR=[73,00,2001] PCO=MAINPC\r\n"
                                  "PL01=NAM=ERR2 PRS=$73 ADR=[73,00,2001] PCO=MAINPC\r\n"
                                  "PL02=NAM=DLG PRS=$50 ADR=[8F,00,2001] PCO=MAINPC\r\n"
                                  "ERR=EST=250 ATR=$0011\r\n"
                                  "ERR2=EST=abc ATR=5 XYS=$0004\r\n"
                                  "MAINPC=PFX=P\r\n";

// History lines start with "T1", "T2", ... in arrival order instead of the date and time.
class StampedTmpErr : public TTMP_ERR_Process {
public:
    using TTMP_ERR_Process::TTMP_ERR_Process;

protected:
    std::string ArrivalTimeText() const override { return "T" + std::to_string(++stamps_); }

private:
    mutable int stamps_ = 0;
};

// One wm_VarChanged as a watcher saw it: size, address, and whether wrapped in a broadcast.
using Change = std::tuple<std::uintptr_t, std::uintptr_t, bool>;

class ChangeWatcher : public MessageTarget {
public:
    std::intptr_t HandleMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override {
        if (msg == wm_VarChanged) {
            changes.emplace_back(wParam, static_cast<std::uintptr_t>(lParam), false);
        } else if (msg == wm_Broadcast && wParam == kBroadcastMsgSize) {
            const auto* inner = reinterpret_cast<const TBroadcastMsg*>(lParam);
            if (inner->Msg == wm_VarChanged) {
                changes.emplace_back(inner->WParam, inner->LParam, true);
            }
        }
        return 0;
    }
    WindowHandle Handle() const { return registration_.Handle(); }

    std::vector<Change> changes;

private:
    WindowRegistration registration_{AppMessageQueue(), *this};
};

Change At(const void* field, std::uintptr_t size, bool wrapped = false) {
    return {size, reinterpret_cast<std::uintptr_t>(field), wrapped};
}

// A process in a collection hosted by a registered window, on a clock that moves only when told.
class TmpErrProcessTest : public ::testing::Test {
protected:
    TmpErrProcessTest() {
        ResetTmpErrHistWindowCount();
        EXPECT_FALSE(host_.Register("MAIN", 0x2000, 0x20FF));
        process_ = static_cast<StampedTmpErr*>(
            coll_.AddProcess(std::make_unique<StampedTmpErr>(labels_.GetLabelByName("PL00"))));
    }
    ~TmpErrProcessTest() override {
        ResetTmpErrHistWindowCount();
        SetMainFormWindow(kNoWindow);
    }

    void Pump() {
        while (AppMessageQueue().PumpAll() > 0) {
        }
    }
    void Send(TProcMess mess) { ASSERT_TRUE(mess.SendProcMess()); }
    void SendShow(const std::string& text, bool msgBox = false) {
        Send(TmpErrShowMess(kErrAdr, kMaAdr, text, msgBox));
    }
    void Show(const std::string& text, bool msgBox = false) {
        SendShow(text, msgBox);
        Pump();
    }
    void Code(std::uint8_t code, std::span<const std::uint8_t> data = {}) {
        Send(TProcMess::Create(kErrAdr, kMaAdr, 0, 0, code, data));
        Pump();
    }
    // One timer pass ms after the last one.
    void Pass(std::uint64_t ms) {
        clock_.Advance(ms);
        kernel_.timed.SendProcMessages(TickMs());
        Pump();
    }
    // The texts that become current, one per time-out, until nothing is left.
    Lines ShownInTurn() {
        Lines shown;
        while (process_->State == TTMP_ERR_Process::kShowing && shown.size() < 100) {
            shown.push_back(process_->Current.Text);
            Pass(process_->EST);
        }
        return shown;
    }

    ManualTickSource clock_{100000};
    ScopedTickSource clockGuard_{clock_};
    CapturedWriter writer_;
    AppIniFixture ini_{kIni};
    KernelGlobals kernel_;
    TRavloProcLabelColl& labels_ = kernel_.ReadLabels();
    TProcessColl coll_;
    ProcMessHost host_{&coll_};
    StampedTmpErr* process_ = nullptr;
};

TEST_F(TmpErrProcessTest, ShowsArrivingTogetherAreShownInTurnEachForEst) {
    EXPECT_EQ(process_->HostWnd, host_.Handle()) << "looked up at creation";
    SendShow("A");
    SendShow("B");
    SendShow("C");
    Pump();
    EXPECT_EQ(process_->Current, (TTmpErrShowRec{1, 0xFF, "A", 0})) << "visible, Attr 0 became 255";
    EXPECT_EQ(process_->Saved.Count(), 2u);
    const Lines history{"T1: A", "T2: B", "T3: C"};
    EXPECT_EQ(process_->History, history) << "every line at arrival";

    for (const char* text : {"A", "B", "C"}) {
        Pass(4999);
        EXPECT_EQ(process_->Current.Text, text);
        Pass(1);
    }
    EXPECT_EQ(process_->State, TTMP_ERR_Process::kIdle);
    EXPECT_EQ(process_->Current, TTmpErrShowRec{}) << "all zero when none";
    EXPECT_EQ(kernel_.timed.Count(), 0u);
    EXPECT_EQ(process_->History, history) << "a postponed text is not added again";
    EXPECT_TRUE(writer_.Errors().empty());

    Code(TMP_ERR_SHOW, TTmpErrShowRec{0, 7, "seven", 0}.ToBytes());
    EXPECT_EQ(process_->Current, (TTmpErrShowRec{1, 7, "seven", 0})) << "the sender's Attr is kept";
}

TEST_F(TmpErrProcessTest, AFullSavedListDropsTheNewestButTheHistoryKeepsItsLastElevenLines) {
    for (int n = 1; n <= 30; ++n) {
        SendShow("E" + std::to_string(n));
    }
    Pump();
    EXPECT_EQ(process_->Saved.Count(), kTmpErrSavedLimits.MaxCount);
    EXPECT_EQ(writer_.Errors().size(), 4u);
    EXPECT_EQ(writer_.Errors().front(), "ERR^01 Saved is full (25), the newest message was dropped");
    // The history keeps the last eleven lines.
    ASSERT_EQ(process_->History.size(), 11u);
    EXPECT_EQ(process_->History.front(), "T20: E20");
    EXPECT_EQ(process_->History.back(), "T30: E30");

    Lines expected;
    for (int n = 1; n <= 26; ++n) {
        expected.push_back("E" + std::to_string(n));
    }
    EXPECT_EQ(ShownInTurn(), expected) << "in arrival order, E27..E30 lost";
}

TEST_F(TmpErrProcessTest, APostponedRecordComingBackWhileShowingKeepsItsTurn) {
    Show("A");
    Show("B");
    // A record already postponed once comes back while another shows (it met a newer arrival).
    Code(TMP_ERR_SHOW_REP, TTmpErrShowRec::ForText("X", false).ToBytes());
    EXPECT_EQ(process_->History, (Lines{"T1: A", "T2: B"}));
    EXPECT_EQ(ShownInTurn(), (Lines{"A", "X", "B"}));
}

TEST_F(TmpErrProcessTest, EstZeroHidesAtTheNextPassAndAtr10KeepsUntilReset) {
    process_->EST = 0;
    Show("brief");
    EXPECT_EQ(process_->State, TTMP_ERR_Process::kShowing);
    Pass(0);
    EXPECT_EQ(process_->State, TTMP_ERR_Process::kIdle);

    process_->EST = 5000;
    process_->ATR = TTMP_ERR_Process::kAtrNoTimeOut;
    Show("stays");
    EXPECT_EQ(kernel_.timed.Count(), 0u);
    Pass(1'000'000);
    EXPECT_EQ(process_->Current.Text, "stays");
    Code(TMP_ERR_RESET);
    EXPECT_EQ(process_->State, TTMP_ERR_Process::kIdle);
    EXPECT_EQ(process_->Current, TTmpErrShowRec{});
}

TEST_F(TmpErrProcessTest, ResetWhileShowingCancelsTheTimeOutAndShowsTheNext) {
    Show("alone");
    Code(TMP_ERR_RESET);
    EXPECT_EQ(kernel_.timed.Count(), 0u);

    Show("A");
    Show("B");
    Code(TMP_ERR_RESET);
    EXPECT_EQ(process_->Current.Text, "B");
    EXPECT_EQ(kernel_.timed.Count(), 1u) << "A's time-out went, B's is queued";
    Pass(4999);
    EXPECT_EQ(process_->Current.Text, "B") << "B gets its full time";
}

TEST_F(TmpErrProcessTest, ResetOrTimeOutWhileIdleAndShowsWithoutARecordChangeNothing) {
    ChangeWatcher watcher;
    process_->HostWnd = watcher.Handle();
    process_->ATR = TTMP_ERR_Process::kAtrSendToHost;
    Code(TMP_ERR_RESET);
    Code(TMP_ERR_TIMEOUT);
    Code(TMP_ERR_SHOW);
    Code(TMP_ERR_SHOW, std::vector<std::uint8_t>(TTmpErrShowRec::kSize - 1, 1));
    EXPECT_EQ(process_->Current, TTmpErrShowRec{});
    EXPECT_TRUE(process_->History.empty());
    EXPECT_TRUE(watcher.changes.empty());

    Show("A");
    Code(TMP_ERR_SHOW);
    Code(TMP_ERR_SHOW_REP, std::vector<std::uint8_t>(10, 1));
    EXPECT_TRUE(process_->Saved.Empty()) << "nothing worth postponing";
    EXPECT_EQ(process_->History, Lines{"T1: A"});
    EXPECT_TRUE(writer_.Errors().empty());
}

TEST_F(TmpErrProcessTest, UnknownCodesAndStatesOnlyWriteErrors) {
    Code(0x41);
    Show("A");
    Code(0x41);
    EXPECT_EQ(process_->State, TTMP_ERR_Process::kShowing);
    process_->State = 7;
    Code(TMP_ERR_RESET);
    EXPECT_EQ(process_->State, 7);
    EXPECT_EQ(process_->Current.Text, "A");
    EXPECT_EQ(writer_.Errors(), (Lines{"ERR^01 illegal InputMCode=$41", "ERR^01 illegal InputMCode=$41",
                                       "ERR^01 unknown State!"}));
}

TEST_F(TmpErrProcessTest, ATimeOutPostedBeforeItsRecordWentOrAcrossTheTickWrapComesAfterItsInterval) {
    clock_.Set(0xFFFFFFFFull - 5100); // C comes up just before the 32-bit tick count wraps
    Show("A");
    Send(TProcMess::Create(kErrAdr, kMaAdr, 0, 0, TMP_ERR_RESET));
    SendShow("C");
    // A's time-out falls due before the reset is handled: it is already on its way.
    clock_.Advance(5000);
    kernel_.timed.SendProcMessages(TickMs());
    Pump();
    EXPECT_EQ(process_->Current.Text, "C");
    Pass(4999);
    EXPECT_EQ(process_->Current.Text, "C") << "C gets its full time, across the wrap";
    Pass(1);
    EXPECT_EQ(process_->State, TTMP_ERR_Process::kIdle);
}

TEST_F(TmpErrProcessTest, ChangesAreAnnouncedAsAtrSays) {
    ChangeWatcher watcher;
    process_->HostWnd = watcher.Handle();
    SetMainFormWindow(watcher.Handle());
    const auto* current = &process_->Current;
    const auto* state = &process_->State;
    // Bit 0 sends to the host, bit 1 broadcasts to it, bit 2 to the main form; bit 0 wins.
    for (const auto& [atr, wrapped] :
         {std::pair{0x01, false}, std::pair{0x03, false}, std::pair{0x02, true}, std::pair{0x06, true},
          std::pair{0x04, true}, std::pair{0x00, false}}) {
        SCOPED_TRACE(atr);
        watcher.changes.clear();
        process_->ATR = static_cast<std::uint16_t>(atr);
        Show("A");
        Code(TMP_ERR_RESET);
        const std::vector<Change> expected{At(current, 134, wrapped), At(state, 2, wrapped),
                                           At(current, 134, wrapped), At(state, 2, wrapped)};
        EXPECT_EQ(watcher.changes, atr != 0 ? expected : std::vector<Change>{});
    }
}

TEST_F(TmpErrProcessTest, HistoryIsAnnouncedOnlyWhileAHistoryWindowIsOpen) {
    ChangeWatcher mainForm;
    SetMainFormWindow(mainForm.Handle());
    process_->ATR = TTMP_ERR_Process::kAtrBroadcastMainForm;
    const Change historyChange = At(&process_->History, 4, true);
    auto historyAnnouncements = [&] {
        return std::count(mainForm.changes.begin(), mainForm.changes.end(), historyChange);
    };

    Show("A");
    EXPECT_EQ(historyAnnouncements(), 0);
    std::optional<TmpErrHistWindowTicket> first(std::in_place);
    std::optional<TmpErrHistWindowTicket> second(std::in_place);
    Show("B");
    EXPECT_EQ(historyAnnouncements(), 1);
    EXPECT_EQ(mainForm.changes.back(), historyChange) << "after the message's other changes";
    second.reset();
    Code(TMP_ERR_RESET); // A goes, B comes back: two messages
    EXPECT_EQ(historyAnnouncements(), 3) << "one window is still open";
    first.reset();
    EXPECT_EQ(TmpErrHistWindowCount(), 0);
    Show("C");
    EXPECT_EQ(historyAnnouncements(), 3);

    TmpErrHistWindowClosed();
    EXPECT_EQ(TmpErrHistWindowCount(), 0) << "never below 0";
}

TEST_F(TmpErrProcessTest, AMessageBoxRecordAlsoGoesToTheDialogProcess) {
    coll_.AddProcess(testing::MakeRecorder("DLG", Adr(PT_DlgProc, 0, 0x2001)));
    Show("plain");
    EXPECT_TRUE(testing::Deliveries().empty());
    Code(TMP_ERR_RESET);
    Show("Communication Lost", true);
    ASSERT_EQ(testing::Deliveries().size(), 1u);
    EXPECT_EQ(TDlgProcTextRec::FromBytes(testing::Deliveries()[0].data),
              (TDlgProcTextRec{"Communication Lost", kDlgError}));
    EXPECT_EQ(process_->Current.MsgBox, 1);
}

TEST_F(TmpErrProcessTest, DestroyingTheProcessCancelsItsTimeOut) {
    TProcLabel label;
    label.NAM = "LONE";
    label.ADR = Adr(PT_TmpErr, 9, 0x2001);
    auto lone = std::make_unique<TTMP_ERR_Process>(&label);
    TProcMess show = TmpErrShowMess(label.ADR, kMaAdr, "x", false);
    bool keep = true;
    lone->WorkProcMess(show, keep);
    EXPECT_FALSE(keep);
    Show("A"); // another process's time-out stays
    ASSERT_EQ(kernel_.timed.Count(), 2u);
    lone.reset();
    ASSERT_EQ(kernel_.timed.Count(), 1u);
    EXPECT_EQ(kernel_.timed.At(0)->GetDest(), process_->ADR);
}

TEST_F(TmpErrProcessTest, RegisteredAndConfiguredFromItsLabel) {
    ResetProcessTypes();
    RegisterProtocolProcessTypes();
    const auto good = labels_.NewProcess(labels_.GetLabelByName("PL00"));
    ASSERT_NE(dynamic_cast<const TTMP_ERR_Process*>(good.get()), nullptr);
    EXPECT_TRUE(good->ParamsToText().ends_with(" EST=250 ATR=$0011")) << good->ParamsToText();
    const auto bad = labels_.NewProcess(labels_.GetLabelByName("PL01"));
    const auto& err2 = dynamic_cast<const TTMP_ERR_Process&>(*bad);
    EXPECT_EQ(err2.EST, TTMP_ERR_Process::kDefaultEST) << "a bad value leaves the field";
    EXPECT_EQ(err2.XYS, 4) << "the keys after it are still read";

    const TTMP_ERR_Process lone(nullptr);
    EXPECT_EQ(lone.EST, TTMP_ERR_Process::kDefaultEST);
    EXPECT_EQ(lone.HostWnd, kNoWindow);
    EXPECT_EQ(writer_.Errors().back(), "TTMP_ERR_Process.CreateFromLabel - PL=nil!");
}

TEST(TmpErrShowRecTest, SenderTextIsCutTo127Characters) {
    const std::string longText(200, 'x');
    const TTmpErrShowRec rec = TTmpErrShowRec::ForText(longText, true);
    EXPECT_EQ(rec.Text, std::string(127, 'x'));
    EXPECT_EQ(rec.Visible, 0);
    EXPECT_EQ(rec.Attr, 0u);
    const auto bytes = rec.ToBytes();
    EXPECT_EQ(bytes[5], 127);
    EXPECT_EQ(bytes[132], 'x');
    EXPECT_EQ(bytes[133], 1) << "the text does not overwrite MsgBox";

    TTmpErrShowRec tooLong{0, 0, longText, 0};
    EXPECT_EQ(tooLong.ToBytes()[133], 0) << "a text set directly is cut as well";
}

TEST(TmpErrShowRecTest, ReadingNeedsTheWholeRecordAndStaysInsideTheTextField) {
    Bytes bytes = ToBytes(TTmpErrShowRec{0, 7, "abc", 0}.ToBytes());
    EXPECT_FALSE(TTmpErrShowRec::FromBytes(std::span(bytes).first(133)));
    EXPECT_FALSE(TTmpErrShowRec::FromBytes({}));

    bytes.push_back(0xEE); // a longer message still carries the record
    EXPECT_EQ(TTmpErrShowRec::FromBytes(bytes)->Text, "abc");

    bytes[5] = 200; // a corrupt length byte
    bytes[133] = 0x5A;
    const auto rec = TTmpErrShowRec::FromBytes(bytes);
    ASSERT_TRUE(rec);
    EXPECT_EQ(rec->Text.size(), 127u);
    EXPECT_EQ(rec->MsgBox, 0x5A);
}

TEST(TmpErrShowRecTest, ShowMessageAndItsTraceText) {
    const TProcAdr dest{0x73, 0, 0x2001};
    const TProcAdr src{0x70, 1, 0x2001};
    const TProcMess mess = TmpErrShowMess(dest, src, "Timeout", true);
    EXPECT_EQ(mess.GetCode(), TMP_ERR_SHOW);
    EXPECT_EQ(TTmpErrShowRec::FromBytes(mess.DataSpan()), (TTmpErrShowRec{0, 0, "Timeout", 1}));

    // Tracing copies; a record cut short is named as such.
    EXPECT_EQ(TTMP_ERR_ProcMess::CopyOf(mess).DataStr(), "\"Timeout\" MsgBox");
    EXPECT_TRUE(mess.HasData());
    const auto cut =
        TTMP_ERR_ProcMess::CopyOf(TProcMess::Create(dest, src, 0, 0, TMP_ERR_SHOW_REP, Bytes{1, 2}));
    EXPECT_EQ(cut.DataStr(), "NoRecData");
}

TProcMess Numbered(std::uint8_t n) {
    return TProcMess::Create({0x73, 0, 1}, {}, n, 0, TMP_ERR_SHOW_REP);
}

std::vector<int> Order(const TSavedProcMessFIFO& fifo) {
    std::vector<int> order;
    for (std::size_t i = 0; const TProcMess* mess = fifo.At(i); ++i) {
        order.push_back(mess->GetPar1());
    }
    return order;
}

// The board master's queue refuses what comes past its limit, with a box for an Add; the message
// display's queue keeps a postponed message's turn by dropping its newest.
TEST(SavedProcMessFifoTest, AddAppendsPushPutsBackAtTheHeadAndAFullQueueDropsAsItsLimitsSay) {
    for (const TSavedProcMessLimits& limits : {kTmpErrSavedLimits, kMaSavedMessLimits}) {
        SCOPED_TRACE(limits.MaxCount);
        testing::RecordingPresenter presenter;
        ScopedPresenter guard(presenter);
        TSavedProcMessFIFO fifo(limits);
        EXPECT_FALSE(fifo.Pop());
        EXPECT_TRUE(fifo.Push(Numbered(1)));
        EXPECT_TRUE(fifo.Push(Numbered(0)));
        EXPECT_EQ(fifo.Pop()->GetPar1(), 0);
        for (std::size_t n = 2; n < limits.MaxCount; ++n) {
            ASSERT_TRUE(fifo.Add(Numbered(2)));
        }
        EXPECT_TRUE(fifo.Add(Numbered(3))); // the newest
        EXPECT_EQ(Order(fifo).front(), 1);
        EXPECT_FALSE(fifo.Add(Numbered(99)));
        EXPECT_EQ(Order(fifo).back(), 3);
        EXPECT_EQ(presenter.Boxes.size(), limits.FullText.empty() ? 0u : 1u);
        if (!limits.FullText.empty()) {
            EXPECT_EQ(presenter.Boxes[0].Text,
                      "Internal error - too short queue SavedProcMessFifo for Ravlo_MA process");
        }

        EXPECT_FALSE(fifo.Push(Numbered(0)));
        EXPECT_EQ(fifo.Count(), limits.MaxCount);
        const std::vector<int> order = Order(fifo);
        EXPECT_EQ(order.front(), limits.PushDropsNewest ? 0 : 1);
        EXPECT_EQ(order.back(), limits.PushDropsNewest ? 2 : 3);
        EXPECT_EQ(presenter.Boxes.size(), limits.FullText.empty() ? 0u : 1u) << "a refused push is silent";
    }
}

} // namespace
} // namespace ravlo
