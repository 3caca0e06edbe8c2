#include "kernel/dlg_process.h"
#include "platform/message_queue.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_process.h"
#include "protocol/comm_state.h"
#include "protocol/ma_messages.h"
#include "protocol/ma_process.h"

#include <algorithm>
#include <string>

namespace ravlo {
namespace {

// The states in which the master waits for a command of the communication process that acts on
// the port (open, change, close).
bool WaitsForComm(std::uint8_t linkState) {
    return linkState == ravlost_IA_WaFSetChn || linkState == ravlost_WaFCrOpCo ||
           linkState == ravlost_CO_WaFSetChn || linkState == ravlost_WaFDiClDe;
}

// The operations whose frame awaits no answer: they end when it has gone out.
bool AwaitsOnlyItsSending(std::uint8_t conState) {
    return conState == cs_WaitForIOWrite || conState == cs_WaitForGo || conState == cs_WaitForRun;
}

// The errors that say the port did not open or connect.
bool IsPortOpenError(std::uint16_t code) {
    return code >= CommErr_ComSetParam && code <= CommErr_ConnectTimeout;
}

// The three states of the master, for the texts of internal errors.
std::string StatesText(std::uint8_t conState, std::uint8_t linkState, std::uint16_t state) {
    return "qq_state=" + ConStateText(conState) + ", Ravlo_MA_State=" + RavloStateText(linkState) +
           ", State= " + ProcStateText(state);
}

} // namespace

void TRavlo_MA_Process::ContinueLink() {
    SetRavloState(ravlost_Connected);
    State = ma_st_Ia;
}

void TRavlo_MA_Process::FinishOperation() {
    SetConState(cs_idle);
    ContinueLink();
    PingAnswered = 1;
    active_.Done = 1;
}

void TRavlo_MA_Process::EndOperation() {
    RemoveActiveTimeOutMess();
    // A write or a start that ends here has failed: the main form must not wait for it.
    if (active_.Done == 0) {
        if (active_.Kind == cs_WaitForLd) {
            MainForm().SetDownloadOk(false);
        } else if (active_.Kind == cs_WaitForRun || active_.Kind == cs_WaitForGo) {
            MainForm().SetRunOk(false);
        }
    }
    SetConState(cs_idle);
    active_.FreeBuffer();
    active_.ClockBuffer.reset();
    // The port stays as it was: an open link goes on, a closed one stays closed, and a command
    // that acts on it still gets its answer.
    if (LinkState == ravlost_SendMSG || LinkState == ravlost_WaFMsgRxD) {
        SetRavloState(ravlost_Connected);
    }
    if (!WaitsForComm(LinkState)) {
        State = ma_st_Ia;
    }
    PingAnswered = 1;
    Progress().CloseProgress();
    active_.Done = 1;
    StopFlag = 0;
}

void TRavlo_MA_Process::LinkLost() {
    SetConnected(kNotConnected);
    SetDevice(DEV_Unknown);
    BiosIdText.clear();
    BiosVersion = 0;
    NotifyForms(4, &BiosIdText);
    EndOperation();
}

void TRavlo_MA_Process::DropQueue() {
    const auto queued = [this](auto isKind) {
        return std::any_of(queue_.begin(), queue_.end(),
                           [&isKind](const tRequest& r) { return isKind(r.Kind); });
    };
    const bool writes = queued([](std::uint8_t kind) { return kind == cs_WaitForLd; });
    const bool starts =
        queued([](std::uint8_t kind) { return kind == cs_WaitForRun || kind == cs_WaitForGo; });
    queue_.clear();
    // They will not happen: the main form must not wait for them.
    if (writes) {
        MainForm().SetDownloadOk(false);
    }
    if (starts) {
        MainForm().SetRunOk(false);
    }
}

void TRavlo_MA_Process::ClearQueues() {
    DropQueue();
    DropSavedFrames();
}

void TRavlo_MA_Process::DropSavedFrames() {
    // The frames of the failed operation go; a link command saved meanwhile (the user's
    // Disconnect, new COM settings) still has to be carried out.
    savedMess_.RemoveIf([](const TProcMess& mess) {
        const auto data = mess.DataSpan();
        return mess.GetCode() != Ravlo_MA_RUN || data.empty() || data[0] == ravlo_ma_run_TxD;
    });
}

void TRavlo_MA_Process::FailOperation(std::string_view text, bool clearQueue) {
    LinkLost();
    if (clearQueue) {
        ClearQueues();
    }
    Beep();
    ReportError(0, text, true);
}

void TRavlo_MA_Process::StopEnding() {
    EndOperation();
    Beep();
    ReportError(0, "Operation aborted", false);
    ShowText("Operation aborted.", 2);
}

bool TRavlo_MA_Process::RetryRead() {
    if (RetryCount >= kMaxRetries) {
        return false;
    }
    ++RetryCount;
    // The whole read goes out again from its start.
    const auto restart = [this](TVokFrame frame) {
        active_.CurAdr = active_.StartAdr;
        active_.DoneBytes = 0;
        PushFrame(std::move(frame));
    };
    switch (ConState) {
    case cs_WaitForMem:
    case cs_WaitForLdBeg256:
    case cs_WaitForLdEnd256:
    case cs_WaitForLdBeg512:
    case cs_WaitForLdEnd512:
        // The piece that failed goes out again before the pieces still waiting; its bytes go where
        // its address puts them.
        active_.CurAdr = LastFrameAdr;
        active_.DoneBytes = static_cast<std::int32_t>(FarPtrToLin(LastFrameAdr) - BufferBase());
        PushFrame(BuildMemFrame(LastFrameAdr, LastFrameLen));
        break;
    case cs_WaitForMemView:
    case cs_WaitForCfg188:
    case cs_WaitForCfg386:
        restart(BuildMemFrame(active_.StartAdr, 256));
        break;
    case cs_WaitForId386:
        restart(BuildBareFrame(ft_GetID));
        break;
    case cs_WaitForBiosId:
        restart(BuildMemFrame(active_.StartAdr, 4));
        break;
    case cs_WaitForBiosIdString:
        restart(BuildMemFrame(active_.StartAdr, 64));
        break;
    case cs_WaitForBiosIdFlashType:
        active_.CurAdr = active_.StartAdr;
        PushFrame(BuildMemFrame(active_.StartAdr, 1));
        break;
    default:
        --RetryCount;
        return false;
    }
    ContinueLink();
    return true;
}

void TRavlo_MA_Process::RetryOrFail(std::string_view text, bool clearQueue) {
    if (!RetryRead()) {
        FailOperation(text, clearQueue);
    }
}

void TRavlo_MA_Process::WorkTimeOut() {
    if (ConState == cs_WaitForDbgAnswer) {
        activeTimeOut_.reset();
        DebugFrameUnanswered("TimeOut");
        return;
    }
    if (ConState == cs_WaitForIORead && dataSinceSend_ > 0) {
        // The port's value came and the window has it; only the MemE behind it was lost. The read
        // is done: failing it now would contradict the value shown.
        activeTimeOut_.reset();
        FinishIORead();
        return;
    }
    const std::uint8_t linkState = LinkState;
    SetConnected(kNotConnected);
    activeTimeOut_.reset();
    switch (ConState) {
    case cs_WaitForEmpt:
    case cs_WaitForPing:
        LinkLost();
        if (BaudSearch == 0) {
            Beep();
            ReportWithDetail("Communication lost by TimeOut", LinkLostDetail());
        }
        break;
    case cs_WaitForLd:
    case cs_WaitForDbgLoad:
        FailOperation("Writing block of memory failed by TimeOut", true);
        break;
    case cs_WaitForLdBeg256:
    case cs_WaitForLdEnd256:
    case cs_WaitForLdBeg512:
    case cs_WaitForLdEnd512:
        RetryOrFail("Writing block of memory failed by TimeOut", true);
        break;
    case cs_WaitForMemView:
        LinkLost();
        DropQueue();
        Beep();
        ReportError(0, "Reading 256 bytes of memory failed by TimeOut", true);
        break;
    case cs_WaitForId386:
    case cs_WaitForBiosId:
        RetryOrFail("Bios ID failed by TimeOut", true);
        break;
    case cs_WaitForBiosIdString:
        RetryOrFail("Bios ID String failed by TimeOut", true);
        break;
    case cs_WaitForBiosIdFlashType:
        RetryOrFail("Bios Flash Id failed by TimeOut", true);
        break;
    case cs_WaitForCfg188:
    case cs_WaitForCfg386:
        RetryOrFail("Reading Bios Setup failed by TimeOut", true);
        break;
    case cs_WaitForIORead:
        FailOperation("IO Read failed by TimeOut", true);
        break;
    case cs_WaitForGetRTC:
        ClockFailed(kRTCErrReadFailed);
        break;
    case cs_WaitForSetRTC:
        ClockFailed(kRTCErrSetFailed);
        break;
    case cs_WaitForMem:
        RetryOrFail("Reading block of memory failed by TimeOut", true);
        break;
    case cs_WaitForGo:
    case cs_WaitForRun:
        FailOperation("Starting application failed by TimeOut", true);
        break;
    case cs_WaitForIOWrite:
        FailOperation("IO Write failed by TimeOut", true);
        break;
    case cs_WaitForCheckSum:
        FailOperation("Checksumming failed by TimeOut", true);
        break;
    default:
        FailOperation("Internal error - timeout, " + StatesText(ConState, linkState, State), true);
        break;
    }
    if (WaitsForComm(linkState)) {
        // The communication process never answered the command: the port counts as closed.
        SetRavloState(ravlost_Inactive);
        State = ma_st_Ia;
    }
}

void TRavlo_MA_Process::ReportWithDetail(std::string_view text, const std::string& detail) {
    // The box names the port and its device, which the shorter texts of the error history could
    // not hold.
    ReportError(0, text, detail.empty());
    if (!detail.empty()) {
        ShowText(std::string(text) + "\r\n" + detail, kDlgError);
    }
}

std::string TRavlo_MA_Process::LinkLostDetail() const {
    const TRavloComm_Process* comm = Comm();
    return comm != nullptr ? comm->LinkLostText() : std::string();
}

void TRavlo_MA_Process::KeepWaitingFor(std::uint16_t code) {
    Trace(DM_Ravlo_MA_Debug, Name + ": error " + std::to_string(code) + "=" + ChnErrText(code) +
                                 " while waiting in " + RavloStateText(LinkState) + ", the wait goes on");
    if (!activeTimeOut_) {
        InsertTimeOutMess(CommandTimeOut());
    }
}

void TRavlo_MA_Process::WorkCommError(std::span<const std::uint8_t> data) {
    // While a command that opens, changes or closes the port is carried out, an exchange given up
    // before it was taken (a rate command that did not go out) or a close that failed on the way
    // (a device that has gone) changes nothing: the command goes on and its own answer comes.
    if (const auto record = TRavloCommStateRec::Decode(data);
        record && WaitsForComm(LinkState) && !IsPortOpenError(record->Code)) {
        KeepWaitingFor(record->Code); // its time-out stays as it was
        return;
    }
    RemoveActiveTimeOutMess();
    const TRavloCommStateRec record = TRavloCommStateRec::Decode(data).value_or(TRavloCommStateRec{});
    const std::uint16_t code = record.Code;
    switch (LinkState) {
    case ravlost_WaFCrOpCo: {
        Beep();
        const TRavloComm_Process* comm = Comm();
        ReportWithDetail("Can't open COM" + std::to_string(record.Port),
                         comm != nullptr ? comm->OpenFailure : std::string());
        SetRavloState(ravlost_Inactive);
        State = ma_st_Ia;
        MainForm().PortNotOpened();
        return;
    }
    case ravlost_CO_WaFSetChn: {
        // An operation that started before the new settings were taken ends with the internal
        // error; the port did not open again all the same, and no answer to the settings follows.
        const bool running = ConState != cs_idle;
        if (running) {
            InternalCommError(code);
        } else if (active_.Done == 0) {
            LinkLost();
            ClearQueues();
        }
        SetRavloState(ravlost_Inactive);
        State = ma_st_Ia;
        if (!running) {
            ReportError(0, "Error in connection, check existence of COM port", true);
        }
        MainForm().PortNotOpened();
        return;
    }
    case ravlost_Inactive:
    case ravlost_WaFMsgRxD:
        CommErrorByOperation(code);
        return;
    case ravlost_Connected:
        // The exchange of a frame whose operation has already ended (stopped), or of the frame of
        // an operation that awaits no answer but its going out (the device has gone), failed.
        if (ConState == cs_idle || AwaitsOnlyItsSending(ConState)) {
            CommErrorByOperation(code);
            return;
        }
        InternalCommError(code);
        return;
    default:
        InternalCommError(code);
        return;
    }
}

void TRavlo_MA_Process::CommErrorByOperation(std::uint16_t code) {
    switch (ConState) {
    case cs_idle:
        LinkLost();
        break;
    case cs_WaitForEmpt:
    case cs_WaitForPing:
        LinkLost();
        if (BaudSearch == 0) {
            Beep();
            BaudSearch = 1;
            ReportWithDetail("Communication lost!", LinkLostDetail());
        }
        break;
    case cs_WaitForLd:
    case cs_WaitForDbgLoad:
        FailOperation("Writing block of memory failed by Error", true);
        break;
    case cs_WaitForDbgAnswer:
        DebugFrameUnanswered("Error");
        break;
    case cs_WaitForLdBeg256:
    case cs_WaitForLdEnd256:
    case cs_WaitForLdBeg512:
    case cs_WaitForLdEnd512:
        RetryOrFail("Writing block of memory failed by Error", true);
        break;
    case cs_WaitForCfg188:
    case cs_WaitForCfg386:
        FailOperation("Reading Bios Setup failed by Err.", true);
        break;
    case cs_WaitForMem:
        RetryOrFail("Reading block of memory failed by TimeOut", true);
        break;
    case cs_WaitForMemView:
        RetryOrFail("Reading 256 byte of memory failed - no answer from Vok.", false);
        break;
    case cs_WaitForId386:
    case cs_WaitForBiosId:
        RetryOrFail("Bios ID failed by Err.", false);
        break;
    case cs_WaitForBiosIdString:
        RetryOrFail("Bios ID String failed by Err.", false);
        break;
    case cs_WaitForBiosIdFlashType:
        RetryOrFail("Bios Flash Id failed by Err.", false);
        break;
    case cs_WaitForCheckSum:
        FailOperation("Checksumming failed by Error", true);
        break;
    case cs_WaitForIORead:
        FailOperation("IO Read failed by Error", true);
        break;
    case cs_WaitForIOWrite:
        FailOperation("IO Write failed by Error", true);
        break;
    case cs_WaitForGo:
    case cs_WaitForRun:
        FailOperation("Starting application failed by Error", true);
        break;
    case cs_WaitForGetRTC:
        ClockFailed(kRTCErrReadFailed);
        break;
    case cs_WaitForSetRTC:
        ClockFailed(kRTCErrSetFailed);
        break;
    default:
        InternalCommError(code);
        break;
    }
}

void TRavlo_MA_Process::ClockFailed(std::uintptr_t which) {
    AppMessageQueue().Post(active_.Notify, wm_RTCErr, which, 0);
    EndOperation();
    Beep();
    ReportError(0,
                which == kRTCErrReadFailed ? "Reading Time failed.\r\nProbably unsupported Vok function."
                                           : "Setting Time failed.\r\nProbably unsupported Vok function.",
                false);
}

void TRavlo_MA_Process::InternalCommError(std::uint16_t code) {
    const std::string text = "Internal error - [" + std::to_string(code) + "=" + ChnErrText(code) + ", " +
                             StatesText(ConState, LinkState, State);
    LinkLost();
    Beep();
    DropQueue();
    ReportError(0, text, true);
}

} // namespace ravlo
