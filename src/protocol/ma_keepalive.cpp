#include "channels/link_frame_builder.h"
#include "framework/writer_channels.h"
#include "kernel/process_coll.h"
#include "kernel/process_factory.h"
#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_process.h"
#include "protocol/comm_state.h"
#include "protocol/ma_debug.h"
#include "protocol/ma_messages.h"
#include "protocol/ma_process.h"

#include <algorithm>
#include <string>

namespace ravlo {
namespace {

// The fastest rate a VokV40 board runs.
constexpr std::uint32_t kVokV40MaxBaud = 38400;
constexpr std::uint8_t kRetriesWhenLost = 2;

} // namespace

const TRavloComm_Process* TRavlo_MA_Process::Comm() const {
    return Owner != nullptr ? dynamic_cast<const TRavloComm_Process*>(Owner->GetProcByIdent(PT_RavloComm))
                            : nullptr;
}

std::uint32_t TRavlo_MA_Process::FrameTimeOut(std::span<const std::uint8_t> frame) const {
    TCommRetryParams settings;
    std::uint8_t host = TRavloComm_Process::kDefaultNOD;
    std::uint8_t board = TRavloComm_Process::kDefaultDNO;
    if (const TRavloComm_Process* comm = Comm()) {
        settings = {comm->RTF, comm->REP, comm->EW};
        host = comm->NOD;
        board = comm->DNO;
    }
    return FrameTimeOutMs(RET, ComBaud, LinkFrameWireSize(board, host, frame), settings);
}

std::uint32_t TRavlo_MA_Process::CommandTimeOut() const {
    TCommChannelTimes times;
    if (const TRavloComm_Process* comm = Comm()) {
        times = {comm->TOP, comm->TIC, comm->TID, comm->TCL};
    }
    return CommandTimeOutMs(RET, times);
}

void TRavlo_MA_Process::InsertTimeOutMess(std::uint32_t ms) {
    RemoveActiveTimeOutMess();
    TTimeMessColl* coll = GetTimeMessColl();
    if (coll == nullptr) {
        return;
    }
    const std::uint8_t zero = 0;
    TTimeMess mess = TTimeMess::Create(DueTickMs(ms), ADR, ADR, 0, 0, wcmd_TimeOut, {&zero, 1});
    Trace(DM_Ravlo_MA_Mess, "++>" + mess.MessText());
    activeTimeOut_ = mess.Copy();
    coll->InsertMess(std::move(mess));
}

void TRavlo_MA_Process::RemoveActiveTimeOutMess() {
    if (!activeTimeOut_) {
        return;
    }
    if (TTimeMessColl* coll = GetTimeMessColl(); coll != nullptr && !coll->RemoveMess(*activeTimeOut_)) {
        Writelnsys(DWN, Name + " RemoveActiveTimeOutMess fail!");
    }
    activeTimeOut_.reset();
}

void TRavlo_MA_Process::KeepAlive() {
    const std::uint32_t now = GetTickCount();
    if (State == ma_st_Ia && LinkState == ravlost_Connected && ConState == cs_idle && PER > 0 &&
        TickElapsed(now, LastRecvTick) >= static_cast<std::uint32_t>(PER) &&
        TickElapsed(now, LastSendTick) >= static_cast<std::uint32_t>(PER) && PingAnswered == 1) {
        LastSendTick = now;
        PingBoard();
    }
}

std::optional<std::uint64_t> TRavlo_MA_Process::NextTickDue(std::uint64_t now) const {
    // A request that can start, or a wait that has no time-out yet (EnsureWaitBounded gives it one).
    if ((ConState == cs_idle && !queue_.empty() && active_.Done == 1 && State == ma_st_Ia) ||
        (ConState != cs_idle && !activeTimeOut_)) {
        return now;
    }
    // The conditions of KeepAlive that no time passing can change.
    if (State != ma_st_Ia || LinkState != ravlost_Connected || ConState != cs_idle || PER <= 0 ||
        PingAnswered != 1) {
        return std::nullopt;
    }
    const std::uint32_t tick = GetTickCount();
    const auto period = static_cast<std::uint32_t>(PER);
    const std::uint32_t quiet = std::min(TickElapsed(tick, LastRecvTick), TickElapsed(tick, LastSendTick));
    return now + (quiet >= period ? 0 : period - quiet);
}

void TRavlo_MA_Process::SendRqst() {
    if (ConState != cs_idle && ConState != cs_WaitForPing) {
        Beep();
        ReportError(0, "Can't, another operation in progress.", false);
        return;
    }
    BeginOperation();
    PingAnswered = 0;
    SetConState(cs_WaitForPing);
    RetryCount = Connected != kNotConnected ? 0 : kRetriesWhenLost;
    SendBareFrame(ft_Rqst);
}

void TRavlo_MA_Process::PingBoard() {
    if (ConState != cs_idle) {
        Beep();
        ReportError(0, "Can't, another operation in progress.", false);
        return;
    }
    if (Connected == kBoardConnected) {
        BeginOperation();
        PingAnswered = 0;
        active_.Done = 1;
        SetConState(cs_WaitForPing);
        RetryCount = 1;
        SendBareFrame(ft_Rqst);
        return;
    }
    // No board, or a baud change under way: try the other of the two rates.
    BaudSearch = 1;
    if (Device == DEV_VokV40 && BDLD > kVokV40MaxBaud) {
        BDLD = kVokV40MaxBaud;
    }
    CurBaud = CurBaud == DefBd ? BDLD : DefBd;
    if (CurBaud == ComBaud && ComPort == ComOpenPort) {
        // The port already runs at that rate: reopening it would change nothing.
        SendRqst();
        return;
    }
    PostRun(RunRecChnParam(ComPort, CurBaud));
}

void TRavlo_MA_Process::ChangeBaud() {
    tRequest request;
    request.Kind = cs_idle;
    request.Start = &TRavlo_MA_Process::StartChangeBaud;
    Enqueue(std::move(request), true);
}

void TRavlo_MA_Process::StartChangeBaud() {
    RetryCount = 0;
    if (Device == DEV_VokV40 && BDLD > kVokV40MaxBaud) {
        BDLD = kVokV40MaxBaud;
    }
    SendBdRate(BDLD);
    SetConnected(kChangingBaud);
}

void TRavlo_MA_Process::SetChnParam(std::uint8_t port, std::uint32_t baud) {
    ComPort = port;
    PostRun(RunRecChnParam(port, baud));
}

void TRavlo_MA_Process::OpenComm() {
    PostRun(RunRecOperation(ravlo_ma_run_CrOpCo));
}

void TRavlo_MA_Process::CloseComm() {
    PostRun(RunRecOperation(ravlo_ma_run_DiClDe));
}

void TRavlo_MA_Process::StopOperation() {
    if (ConState == cs_idle) {
        Beep();
        return;
    }
    StopFlag = 1;
    // The stop runs with the next message; this one makes sure there is a next message even when
    // the board stays silent.
    PostRun(RunRecOperation(ravlo_ma_run_Act));
}

} // namespace ravlo
