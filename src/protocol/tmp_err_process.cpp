#include "protocol/tmp_err_process.h"

#include "framework/broadcast.h"
#include "framework/date_text.h"
#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_parse.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "kernel/dlg_process.h"
#include "kernel/kernel_debug.h"
#include "kernel/sys_addr.h"
#include "platform/message_queue.h"
#include "platform/tick.h"
#include "platform/window_messages.h"
#include "protocol/dlg_text_post.h"
#include "protocol/tmp_err_debug.h"
#include "protocol/tmp_err_hist_windows.h"

#include <limits>
#include <utility>

namespace ravlo {
namespace {

constexpr std::string_view kKeywords = "EST|ATR";

// The next word of the keyword lexer as an unsigned number no larger than max.
std::optional<std::uint32_t> LexGetUnsigned(std::uint32_t max, std::string& word) {
    word = LexGetWord();
    const std::optional<std::uint32_t> value = ValDWord(word);
    if (!value || *value > max) {
        return std::nullopt;
    }
    return value;
}

} // namespace

TTMP_ERR_Process::TTMP_ERR_Process(const TProcLabel* label) : TProcess(label) {
    if (label == nullptr) {
        WriteErrsys(DWN, std::string(kClassName) + ".CreateFromLabel - PL=nil!");
    }
    HostWnd = GetSysAddrHandle(ADR.LogA);
    if (TestDebugMask(DM_InitDone)) {
        Writelnsys(DWN, Name + ".CreateFromLabel HostWnd=" + std::to_string(HostWnd));
    }
}

TTMP_ERR_Process::~TTMP_ERR_Process() {
    CancelTimeOut();
}

bool TTMP_ERR_Process::ParseKeyword(std::string_view keyword) {
    const int index = LexKeyIndex(keyword, kKeywords);
    if (index == 0) {
        return TProcess::ParseKeyword(keyword);
    }
    std::string word;
    const std::uint32_t max = index == 1 ? std::numeric_limits<std::uint32_t>::max() : 0xFFFF;
    const std::optional<std::uint32_t> value = LexGetUnsigned(max, word);
    if (!value) {
        WriteErrsys(DWN, Name + ".ParseKeyword - " + std::string(keyword) + "=" + word +
                             " is no valid number, the value stays " +
                             (index == 1 ? std::to_string(EST) : "$" + HexW(ATR)));
        return false;
    }
    if (index == 1) {
        EST = *value;
    } else {
        ATR = static_cast<std::uint16_t>(*value);
    }
    return false;
}

std::string TTMP_ERR_Process::ParamsToText() const {
    return TProcess::ParamsToText() + " EST=" + std::to_string(EST) + " ATR=$" + HexW(ATR);
}

std::string TTMP_ERR_Process::ArrivalTimeText() const {
    return NowStr();
}

void TTMP_ERR_Process::WorkProcMess(TProcMess& mess, bool& keep) {
    keep = false;
    if (TestDebugMask(DM_TmpErr_Mess)) {
        Trace("<--" + TTMP_ERR_ProcMess::CopyOf(mess).MessToStr());
    }
    const std::uint16_t before = State;
    switch (State) {
    case kIdle:
        IdleHandler(mess);
        break;
    case kShowing:
        ShowingHandler(mess);
        break;
    default:
        WriteErrsys(DWN, Name + " unknown State!");
        break;
    }
    if (State != before) {
        Notify(kStateNotifySize, &State);
    }
    if (State == kIdle) {
        ReleaseSaved();
    }
    if (TmpErrHistWindowCount() > 0) {
        Notify(kHistoryNotifySize, &History);
    }
}

void TTMP_ERR_Process::IdleHandler(TProcMess& mess) {
    switch (const std::uint8_t code = mess.GetCode()) {
    case TMP_ERR_SHOW:
    case TMP_ERR_SHOW_REP:
        if (const std::optional<TTmpErrShowRec> rec = TTmpErrShowRec::FromBytes(mess.DataSpan())) {
            MakeCurrent(*rec, code == TMP_ERR_SHOW);
        }
        break;
    case TMP_ERR_TIMEOUT:
        CancelTimeOut();
        break;
    case TMP_ERR_RESET:
        break;
    default:
        WriteErrsys(DWN, Name + " illegal InputMCode=$" + HexB(code));
        break;
    }
}

void TTMP_ERR_Process::ShowingHandler(TProcMess& mess) {
    switch (const std::uint8_t code = mess.GetCode()) {
    case TMP_ERR_SHOW:
    case TMP_ERR_SHOW_REP: {
        // Only a full record is worth postponing: anything less would be dropped when it comes back.
        const std::optional<TTmpErrShowRec> rec = TTmpErrShowRec::FromBytes(mess.DataSpan());
        if (!rec) {
            break;
        }
        TProcMess postponed = PostponedCopy(mess);
        if (TestDebugMask(DM_TmpErr_Mess)) {
            Trace("Mess Saved[" + std::to_string(Saved.Count()) + "]" + postponed.MessToStr());
        }
        bool dropped = false;
        if (code == TMP_ERR_SHOW) {
            // The history tells when a text arrived, not when its turn came.
            AddHistoryLine(rec->Text);
            dropped = !Saved.Add(std::move(postponed));
        } else {
            // A postponed record keeps its place before the newer ones.
            dropped = !Saved.Push(std::move(postponed));
        }
        if (dropped) {
            WriteErrsys(DWN, Name + " Saved is full (" + std::to_string(Saved.Limits().MaxCount) +
                                 "), the newest message was dropped");
        }
        break;
    }
    case TMP_ERR_TIMEOUT:
        if (!IsPendingTimeOut(mess)) {
            // Posted before its record went; the record shown now has a time-out of its own.
            Trace("stale time-out ignored");
            break;
        }
        TimeOutMess.reset();
        HideCurrent();
        break;
    case TMP_ERR_RESET:
        CancelTimeOut();
        HideCurrent();
        break;
    default:
        WriteErrsys(DWN, Name + " illegal InputMCode=$" + HexB(code));
        break;
    }
}

void TTMP_ERR_Process::MakeCurrent(const TTmpErrShowRec& rec, bool addToHistory) {
    Current = rec;
    Current.Visible = 1;
    if (Current.Attr == 0) {
        Current.Attr = TTmpErrShowRec::kDefaultAttr;
    }
    if (addToHistory) {
        AddHistoryLine(Current.Text);
    }
    if (Current.MsgBox != 0) {
        PostDlgText(ADR, Current.Text, kDlgError);
    }
    Notify(static_cast<std::uint16_t>(TTmpErrShowRec::kSize), &Current);
    if ((ATR & kAtrNoTimeOut) == 0) {
        ArmTimeOut();
    }
    State = kShowing;
}

void TTMP_ERR_Process::HideCurrent() {
    Current = TTmpErrShowRec{};
    Notify(static_cast<std::uint16_t>(TTmpErrShowRec::kSize), &Current);
    State = kIdle;
}

void TTMP_ERR_Process::AddHistoryLine(const std::string& text) {
    History.push_back(ArrivalTimeText() + ": " + text);
    while (!History.empty() && History.size() >= MaxLines) {
        History.erase(History.begin());
    }
}

TProcMess TTMP_ERR_Process::PostponedCopy(const TProcMess& mess) const {
    // Addressed to this very process, whatever address the sender used.
    return TProcMess::Create(ADR, mess.GetSrc(), mess.GetPar1(), mess.GetPar2(), TMP_ERR_SHOW_REP,
                             mess.DataSpan().first(TTmpErrShowRec::kSize));
}

void TTMP_ERR_Process::ReleaseSaved() {
    std::optional<TProcMess> next = Saved.Pop();
    if (!next) {
        return;
    }
    if (TestDebugMask(DM_TmpErr_Mess)) {
        Trace("Saved Mess ::>" + next->MessToStr());
    }
    next->SendProcMess();
}

void TTMP_ERR_Process::ArmTimeOut() {
    ++timeOutSerial_;
    TTimeMess timed =
        TTimeMess::Create(DueTickMs(EST), ADR, ADR, static_cast<std::uint8_t>(timeOutSerial_ & 0xFF),
                          static_cast<std::uint8_t>(timeOutSerial_ >> 8), TMP_ERR_TIMEOUT);
    CancelTimeOut();
    TimeOutMess = timed.Copy();
    if (TestDebugMask(DM_TmpErr_Mess)) {
        Trace("++>" + timed.MessToStr());
    }
    if (TTimeMessColl* coll = GetTimeMessColl()) {
        coll->InsertMess(std::move(timed));
    } else {
        TimeOutMess.reset();
    }
}

void TTMP_ERR_Process::CancelTimeOut() {
    if (!TimeOutMess) {
        return;
    }
    if (TTimeMessColl* coll = GetTimeMessColl()) {
        coll->RemoveMess(*TimeOutMess);
    }
    TimeOutMess.reset();
}

bool TTMP_ERR_Process::IsPendingTimeOut(const TProcMess& mess) const {
    return TimeOutMess && TimeOutMess->GetPar1() == mess.GetPar1() &&
           TimeOutMess->GetPar2() == mess.GetPar2();
}

void TTMP_ERR_Process::Notify(std::uint16_t size, const void* address) const {
    const auto where = reinterpret_cast<std::uintptr_t>(address);
    if ((ATR & kAtrSendToHost) != 0) {
        AppMessageQueue().Send(HostWnd, wm_VarChanged, size, static_cast<std::intptr_t>(where));
    } else if ((ATR & kAtrBroadcastToHost) != 0) {
        WndBroadcast(HostWnd, wm_VarChanged, size, where);
    } else if ((ATR & kAtrBroadcastMainForm) != 0) {
        MainFormBroadcast(wm_VarChanged, size, where);
    }
}

void TTMP_ERR_Process::Trace(const std::string& text) const {
    if (TestDebugMask(DM_TmpErr_Debug) || TestDebugMask(DM_TmpErr_Mess)) {
        Writelnsys(DWN, Name + " " + text);
    }
}

} // namespace ravlo
