#include "protocol/ma_process.h"

#include "framework/debug_mask.h"
#include "framework/keyword_lexer.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "kernel/kernel_debug.h"
#include "platform/tick.h"
#include "protocol/board_answers.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"
#include "protocol/ma_debug.h"
#include "protocol/ma_messages.h"

#include <exception>

namespace ravlo {

std::uint8_t BaudSearch = 0;

namespace {

// How long before creation the last answer counts as received, so that the first keep-alive is due
// at once.
constexpr std::uint32_t kInitialQuietMs = 5000;

} // namespace

TRavlo_MA_Process::TRavlo_MA_Process(const TProcLabel* label) : TProcess(label) {
    Trace(DM_InitDone, ".CreateFromLabel  Entry");
    if (label == nullptr) {
        WriteErrsys(DWN, std::string(kClassName) + ".CreateFromLabel - PL=nil!");
    }
    LastRecvTick = GetTickCount() - kInitialQuietMs;
    State = ma_st_Ia;
    active_.Done = 1;
    ComDefaultPort = 1;
    Trace(DM_InitDone, "/TRavlo_MA_Process.CreateFromLabel Exit " + ParamsToText());
}

TRavlo_MA_Process::~TRavlo_MA_Process() {
    RemoveActiveTimeOutMess();
    Trace(DM_InitDone, ".Destroy");
}

bool TRavlo_MA_Process::ParseKeyword(std::string_view keyword) {
    switch (LexKeyIndex(keyword, "PER|RET|AST|")) {
    case 1: {
        const auto value = LexGetNum();
        if (!value) {
            return true;
        }
        PER = *value;
        return false;
    }
    case 2:
        return LexGetField(RET, 0, INT32_MAX);
    case 3: {
        const auto value = LexGetNum();
        if (!value) {
            return true;
        }
        // A value beyond a byte is ignored.
        if (*value >= 0 && *value <= 0xFF) {
            AST = static_cast<std::uint8_t>(*value);
        }
        return false;
    }
    default:
        return TProcess::ParseKeyword(keyword);
    }
}

std::string TRavlo_MA_Process::ParamsToText() const {
    return TProcess::ParamsToText() + " PER=" + std::to_string(PER) + " RET=" + std::to_string(RET) +
           " AST=$" + HexB(AST);
}

void TRavlo_MA_Process::SetInterfaces(const TMaInterfaces& interfaces) {
    interfaces_ = interfaces;
}

void TRavlo_MA_Process::WorkProcMess(TProcMess& mess, bool& keep) {
    keep = false;
    stateBefore_ = State;
    Trace(DM_Ravlo_MA_Mess, ".WorkProcMess Begin - State=" + std::to_string(State));
    Trace(DM_Ravlo_MA_Mess, "<--" + TRavlo_MA_ProcMess::CopyOf(mess).MessText());
    try {
        if (StopFlag != 0) {
            RunStop();
        }
        WorkMessage(mess);
    } catch (...) {
        // The fault ends this message only: the process stays consistent and goes on.
        Epilogue();
        throw;
    }
    Epilogue();
}

void TRavlo_MA_Process::WorkMessage(TProcMess& mess) {
    if (mess.GetDataLen() == 0) {
        // Of the messages without data only the report of a frame sent without answer counts.
        if (mess.GetCode() == RAVLOCOMM_MA_RxD && State == ma_st_Ia) {
            ActRavlo_MA_Inactive(mess);
        }
        return;
    }
    switch (State) {
    case ma_st_Ia:
        ActRavlo_MA_Inactive(mess);
        break;
    case ma_st_Wr:
        WaitingHandler(mess);
        break;
    case ma_st_Dc:
        break;
    default:
        WriteErrsys(DWN, Name + " Unknown State!");
        SetRavloState(ravlost_Inactive);
        State = ma_st_Ia;
        break;
    }
}

void TRavlo_MA_Process::Epilogue() {
    StopFlag = 0;
    if (State < ma_st_Wr) {
        ReleaseSaved();
    }
    EnsureWaitBounded();
    if (State != stateBefore_) {
        NotifyForms(2, &State);
    }
    Trace(DM_Ravlo_MA_Mess, ".WorkProcMess End - State=" + std::to_string(State));
}

void TRavlo_MA_Process::ReleaseSaved() {
    // The saved messages are taken here, in their order, until one makes the process wait again.
    // Posted anew they could be overtaken: each message handled meanwhile would release the next
    // one, and those that came back while the process waited would be saved behind all others.
    while (State < ma_st_Wr) {
        std::optional<TProcMess> saved = savedMess_.Pop();
        if (!saved) {
            break;
        }
        Trace(DM_Ravlo_MA_Mess, "Saved Mess ::>" + TRavlo_MA_ProcMess::CopyOf(*saved).MessText());
        try {
            WorkMessage(*saved);
        } catch (const std::exception& error) {
            WriteErrsys(DWN, Name + ": " + error.what());
        }
    }
    if (State < ma_st_Wr && LinkActionPending(LinkState)) {
        State = sendvokdata() ? ma_st_Wr : ma_st_Ia;
    }
}

void TRavlo_MA_Process::ActRavlo_MA_Inactive(TProcMess& mess) {
    const auto data = mess.DataSpan();
    switch (mess.GetCode()) {
    case RAVLOCOMM_MA_RxD:
        if (!data.empty()) {
            Trace(DM_Ravlo_MA_Debug, "Err - Ravlo_MA.ActRavlo_MA_Inactive, arrived wcmd_RAVLOCOMM_MA_RxD.");
        }
        ReceiveRxD(mess);
        break;
    case wcmd_TimeOut:
        Trace(DM_Ravlo_MA_Debug, "Err - Ravlo_MA.ActRavlo_MA_Inactive, arrived wcmd_TimeOut.");
        OnTimeOutMess();
        break;
    case RAVLOCOMM_MA_Error:
        Trace(DM_Ravlo_MA_Debug, "Err - Ravlo_MA.ActRavlo_MA_Inactive, arrived wcmd_Error.");
        WorkCommError(data);
        break;
    case RAVLOCOMM_MA_State:
        Trace(DM_Ravlo_MA_Debug,
              "Err - Ravlo_MA.ActRavlo_MA_Inactive, arrived wcmd_RAVLOCOMM_MA_State - ignored.");
        break;
    case Ravlo_MA_RUN:
        if (data.size() >= Ravlo_MA_RunLen(data)) {
            RunOperation(data, mess.GetPar1());
        }
        break;
    default:
        throw EMaProtocolError(Name + ": unknown InputMCode=$" + HexB(mess.GetCode()));
    }
}

void TRavlo_MA_Process::RunOperation(std::span<const std::uint8_t> data, std::uint8_t sender) {
    const std::uint8_t operation = data[0];
    if (operation == ravlo_ma_run_TxD && FrameOfEndedOperation(sender)) {
        // Its operation is over (a repeat that came too late, frames left when it failed).
        Trace(DM_Ravlo_MA_Debug, "Frame of an ended operation dropped");
        return;
    }
    switch (operation) {
    case ravlo_ma_run_Act:
        break;
    case ravlo_ma_run_SetChnParam: {
        const auto param = TRavloChnParamRec::Decode(data.subspan(1));
        if (LinkState == ravlost_Inactive || LinkState == ravlost_Connected) {
            pendingPort_ = param->Port;
            pendingBaud_ = param->Baud;
            SetRavloState(LinkState == ravlost_Inactive ? ravlost_IA_SetChnPar : ravlost_CO_SetChnPar);
        } else {
            Beep();
            Trace(DM_Ravlo_MA_Debug, "Err - ravlo_ma_run_SetChnParam not in ravlost_Inactive, but in: " +
                                         RavloStateText(LinkState));
        }
        break;
    }
    case ravlo_ma_run_CrOpCo:
        if (LinkState == ravlost_Inactive) {
            SetRavloState(ravlost_CrOpCo);
        } else {
            Trace(DM_Ravlo_MA_Debug,
                  "Err - ravlo_ma_run_CrOpCo not in ravlost_Inactive, but in: ravlost_$" + HexB(LinkState));
        }
        break;
    case ravlo_ma_run_DiClDe:
        if (LinkState == ravlost_Connected) {
            SetRavloState(ravlost_DiClDe);
        } else {
            Trace(DM_Ravlo_MA_Debug,
                  "Err - ravlo_ma_run_DiClDe not in ravlost_Created, but in: ravlost_$" + HexB(LinkState));
        }
        break;
    case ravlo_ma_run_TxD:
        if (LinkState == ravlost_Connected) {
            pendingTxD_.assign(data.begin() + 1, data.end());
            SetRavloState(ravlost_SendMSG);
        } else {
            Trace(DM_Ravlo_MA_Debug, "Err - ravlo_ma_run_TxD not in ravlost_Connected");
            // The frame cannot go out: the operation that sent it would wait for ever.
            if (ConState != cs_idle) {
                FailOperation("Device not connected!", true);
            }
        }
        break;
    default:
        throw EMaProtocolError(Name + ": unknown Ravlo_MA_Operation=$" + HexB(operation));
    }
    if (LinkActionPending(LinkState) || LinkState == ravlost_Inactive) {
        State = sendvokdata() ? ma_st_Wr : ma_st_Ia;
    }
}

void TRavlo_MA_Process::WaitingHandler(TProcMess& mess) {
    const auto data = mess.DataSpan();
    switch (mess.GetCode()) {
    case RAVLOCOMM_MA_State:
        ReceiveCommState(data);
        break;
    case RAVLOCOMM_MA_Error:
        WorkCommError(data);
        break;
    case RAVLOCOMM_MA_RxD:
        ReceiveRxD(mess);
        break;
    case wcmd_TimeOut:
        OnTimeOutMess();
        break;
    case Ravlo_MA_RUN:
        savedMess_.Add(mess.Copy());
        break;
    default:
        ReportError(0, Name + ": unknown InputMCode=$" + HexB(mess.GetCode()), true);
        break;
    }
}

bool TRavlo_MA_Process::sendvokdata() {
    switch (LinkState) {
    case ravlost_IA_SetChnPar:
        SendChnParam(CommandTimeOut());
        SetRavloState(ravlost_IA_WaFSetChn);
        return true;
    case ravlost_CrOpCo:
        SendCommCmd(CommandTimeOut(), RAVLOCOMM_MA_CrOpCo);
        SetRavloState(ravlost_WaFCrOpCo);
        return true;
    case ravlost_CO_SetChnPar:
        if (pendingPort_ != ComOpenPort) {
            // Another port: the board behind it is looked for as after a lost link, at the rates
            // it may run; the board on the old port is told nothing.
            BaudSearch = 1;
            LinkLost();
        } else if (BaudSearch == 0) {
            // A search tries rates on the host's side only; a chosen rate is first told to the board.
            SendBdRate(pendingBaud_);
        }
        SendChnParam(CommandTimeOut());
        SetRavloState(ravlost_CO_WaFSetChn);
        return true;
    case ravlost_SendMSG: {
        const bool noAnswer = !pendingTxD_.empty() && pendingTxD_[0] == 1;
        const std::span<const std::uint8_t> record = pendingTxD_;
        const auto frame = record.subspan(std::min(record.size(), TRavloCommFrameRec::kHeaderLen));
        if (noAnswer) {
            // The communication process confirms the last transmission; should it never do so, the
            // time-out ends the operation instead of leaving it waiting.
            SendTxD(ConState == cs_idle ? 0 : FrameTimeOut(frame));
            awaitedTag_ = txTag_;
            SetRavloState(ravlost_Connected);
            return false;
        }
        lastAnsweredFrame_.assign(frame.begin(), frame.end());
        SendTxD(FrameTimeOut(lastAnsweredFrame_));
        awaitedTag_ = txTag_;
        dataSinceSend_ = 0;
        SetRavloState(ravlost_WaFMsgRxD);
        return true;
    }
    case ravlost_DiClDe:
        SendCommCmd(CommandTimeOut(), RAVLOCOMM_MA_DiClDe);
        SetRavloState(ravlost_WaFDiClDe);
        return true;
    case ravlost_Inactive:
        Trace(DM_Ravlo_MA_Debug, "Ping - TxD in ravlost_Inactive");
        return false;
    default:
        throw EMaProtocolError("Err - sendvokdata v neznamem ravlost_$" + HexB(LinkState));
    }
}

void TRavlo_MA_Process::ReceiveRxD(const TProcMess& mess) {
    const auto data = mess.DataSpan();
    if (data.empty()) {
        // Only reports that a frame without answer has gone out; it ends an operation that waits
        // for the next frame of any kind, and nothing else (not the report of an earlier one).
        if (LinkState != ravlost_Connected || ConState == cs_idle || mess.GetPar2() != awaitedTag_) {
            return;
        }
        RemoveActiveTimeOutMess();
        WorkBoardAnswer({});
        return;
    }
    std::span<const std::uint8_t> frame;
    if (data.size() > TRavloCommFrameRec::kHeaderLen) {
        const std::size_t claimed = FrameU16(data, TRavloCommFrameRec::kFrameLenAt);
        frame = data.subspan(TRavloCommFrameRec::kHeaderLen,
                             std::min(claimed, data.size() - TRavloCommFrameRec::kHeaderLen));
    }
    // Neither of these answers the frame awaited: its time-out stays armed.
    if (LinkState == ravlost_WaFMsgRxD && mess.GetPar2() != awaitedTag_) {
        Trace(DM_Ravlo_MA_Debug, "Late answer to an earlier frame dropped");
        return;
    }
    if (frame.size() < TVokFrame::kHeaderLen) {
        WriteErrsys(DWN, Name + ": a frame of " + std::to_string(frame.size()) + " bytes is no answer");
        return;
    }
    if ((LinkState == ravlost_WaFMsgRxD && IsLateAnswer(frame)) ||
        (LinkState == ravlost_Connected && ConState != cs_idle)) {
        // An answer to an earlier frame (its repeat was answered first, or it came after its
        // operation gave it up); between two frames of an operation nothing is awaited at all.
        Trace(DM_Ravlo_MA_Debug, "Late answer to an earlier frame dropped");
        return;
    }
    if (frame[0] == ft_MemD) {
        // Memory data count before their address is checked: the MemE behind them ends the read's
        // answer, early when they were not its own (the read asks again), for a memory read ends as
        // read only with all its bytes at their addresses. An IO port's value counts only once it is
        // taken (AnswerIORead).
        ++dataSinceSend_;
    }
    RemoveActiveTimeOutMess();
    if (LinkState == ravlost_WaFMsgRxD) {
        SetConnected(kBoardConnected);
        BaudSearch = 0;
    } else if (LinkState != ravlost_Connected) {
        throw EMaProtocolError("Prisla neocekavana data ve stavu: ravlost_$" + HexB(LinkState));
    }
    try {
        WorkBoardAnswer(frame);
    } catch (const EMaProtocolError&) {
        // The request stays as it is; its time-out (or failure handling) ends or repeats it.
        if (ConState != cs_idle && !activeTimeOut_) {
            InsertTimeOutMess(FrameTimeOut(lastAnsweredFrame_));
        }
        throw;
    }
}

void TRavlo_MA_Process::ReceiveCommState(std::span<const std::uint8_t> data) {
    RemoveActiveTimeOutMess();
    const auto record = TRavloCommStateRec::Decode(data);
    const std::uint16_t commState = record ? record->Code : 0xFFFF;
    switch (LinkState) {
    case ravlost_IA_WaFSetChn:
        SetRavloState(ravlost_Inactive);
        break;
    case ravlost_WaFCrOpCo:
        if (commState == MAS_0) {
            Beep();
            SetRavloState(ravlost_Inactive);
        } else if (commState == MAS_Connected) {
            SetRavloState(ravlost_Connected);
        } else {
            State = ma_st_Ia;
            throw EMaProtocolError("receive_ravlocomm_ma_state in ravlost_waitForCreated, unknown state.");
        }
        break;
    case ravlost_CO_WaFSetChn:
        SetRavloState(ravlost_Connected);
        State = ma_st_Ia;
        // The board is identified at the new rate; an operation that started meanwhile finds out
        // with its own frames instead.
        if (ConState == cs_idle || ConState == cs_WaitForPing) {
            SendRqst();
        }
        break;
    case ravlost_WaFDiClDe:
        if (commState != MAS_0) {
            State = ma_st_Ia;
            throw EMaProtocolError("err: Ravlo_MA prisel neznamy stav pri cekani na diclde");
        }
        SetRavloState(ravlost_Inactive);
        SetConnected(kNotConnected);
        break;
    default:
        State = ma_st_Ia;
        throw EMaProtocolError("err: Ravlo_MA prisel stav ravlocomm_ma v neznamem stavu ravlost_" +
                               HexB(LinkState));
    }
    State = ma_st_Ia;
}

void TRavlo_MA_Process::OnTimeOutMess() {
    // A time-out that was cancelled after it had been posted, or that belongs to an earlier wait,
    // is stale.
    if (!activeTimeOut_ || !TickDue(activeTimeOut_->Due)) {
        Trace(DM_Ravlo_MA_Debug, Name + " stale TimeOut ignored");
        return;
    }
    WorkTimeOut();
}

void TRavlo_MA_Process::RunStop() {
    Progress().CloseProgress();
    DropSavedFrames();
    RetryCount = kStopRetries;
    if (ConState != cs_idle) {
        StopEnding();
    }
    ClearQueues();
    active_.Done = 1;
    StopFlag = 0;
}

void TRavlo_MA_Process::Tick() {
    StartNextRequest();
    KeepAlive();
    EnsureWaitBounded();
}

void TRavlo_MA_Process::EnsureWaitBounded() {
    if (ConState == cs_idle || activeTimeOut_) {
        return;
    }
    Trace(DM_Ravlo_MA_Debug, "Wait of " + ConStateText(ConState) + " bounded");
    InsertTimeOutMess(lastAnsweredFrame_.empty() ? CommandTimeOut() : FrameTimeOut(lastAnsweredFrame_));
}

bool TRavlo_MA_Process::IsLateAnswer(std::span<const std::uint8_t> frame) const {
    // A frame sent from the debug menu takes whatever comes first.
    if (lastAnsweredFrame_.empty() || ConState == cs_WaitForDbgAnswer) {
        return false;
    }
    const std::uint8_t request = lastAnsweredFrame_[0];
    if (!AnswersRequest(request, frame[0])) {
        return true;
    }
    // The board sends data (memory, an IO port's value) before the MemE that ends them: a MemE with
    // none before it since the request went out ends an earlier answer, or one whose data were lost.
    const bool dataThenEnd =
        request == ft_Mem || request == ft_GetID || request == ft_cIORd || request == ft_cIORdW;
    return dataThenEnd && frame[0] == ft_MemE && dataSinceSend_ == 0;
}

void TRavlo_MA_Process::StartNextRequest() {
    // A request waits while the link is being changed (a rate tried by the search, new settings).
    if (ConState != cs_idle || queue_.empty() || active_.Done != 1 || State != ma_st_Ia) {
        return;
    }
    active_ = std::move(queue_.front());
    queue_.pop_front();
    BeginOperation();
    ConState = active_.Kind;
    if (active_.Start == nullptr) {
        return;
    }
    try {
        (this->*active_.Start)();
    } catch (const std::exception& error) {
        // A request that cannot start ends at once, with its reason; the queue goes on.
        EndOperation();
        Beep();
        ReportError(0, error.what(), true);
    }
}

} // namespace ravlo
