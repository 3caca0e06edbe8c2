#include "platform/tick.h"
#include "protocol/com_globals.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_state.h"
#include "protocol/ma_debug.h"
#include "protocol/ma_messages.h"
#include "protocol/ma_process.h"

namespace ravlo {
namespace {

// A run message; operation names the operation whose frame it carries (0: none).
TProcMess RunMess(const TProcAdr& self, std::span<const std::uint8_t> data, std::uint8_t operation = 0) {
    return TProcMess::Create(self, self, operation, 0, Ravlo_MA_RUN, data);
}

} // namespace

void TRavlo_MA_Process::BeginOperation() {
    operation_ = static_cast<std::uint8_t>(operation_ == 0xFF ? 1 : operation_ + 1);
    // What an earlier operation received is no data of this one's.
    dataSinceSend_ = 0;
}

bool TRavlo_MA_Process::FrameOfEndedOperation(std::uint8_t operation) const {
    return operation != 0 && (operation != operation_ || ConState == cs_idle);
}

std::uint8_t TRavlo_MA_Process::NextTxTag() {
    txTag_ = static_cast<std::uint8_t>(txTag_ == 0xFF ? 1 : txTag_ + 1);
    return txTag_;
}

void TRavlo_MA_Process::PostRun(std::vector<std::uint8_t> data) {
    TProcMess mess = RunMess(ADR, data);
    Trace(DM_Ravlo_MA_Mess, "-->" + TRavlo_MA_ProcMess::CopyOf(mess).MessText());
    mess.SendProcMess();
}

void TRavlo_MA_Process::PostFrame(TVokFrame frame) {
    PostRecord(TRavloCommFrameRec::ForFrame(std::move(frame)));
}

void TRavlo_MA_Process::PostRecord(const TRavloCommFrameRec& record) {
    TProcMess mess = RunMess(ADR, RunRecTxD(record), operation_);
    Trace(DM_Ravlo_MA_Mess, "-->" + TRavlo_MA_ProcMess::CopyOf(mess).MessText());
    mess.SendProcMess();
}

void TRavlo_MA_Process::PushFrame(TVokFrame frame) {
    savedMess_.Push(RunMess(ADR, RunRecTxD(TRavloCommFrameRec::ForFrame(std::move(frame))), operation_));
}

void TRavlo_MA_Process::SendBareFrame(std::uint8_t type) {
    PostFrame(BuildBareFrame(type));
}

void TRavlo_MA_Process::SendMem(TSegOfsPtr address, std::uint16_t count) {
    PostFrame(BuildMemFrame(address, count));
}

void TRavlo_MA_Process::SendBdRate(std::uint32_t baud) {
    const auto record = TRavloCommFrameRec::ForFrame(BuildBdRateFrame(baud)).Encode();
    TProcMess mess = TProcMess::Create(CommAdr, ADR, NextTxTag(), 0, RAVLOCOMM_MA_TxD, record);
    Trace(DM_Ravlo_MA_Mess, "-->" + TRavlo_MA_ProcMess::CopyOf(mess).MessText());
    LastSendTick = GetTickCount();
    mess.SendProcMess();
}

void TRavlo_MA_Process::SendCommCmd(std::uint32_t ms, std::uint8_t code) {
    TProcMess::Create(CommAdr, ADR, 0, 0, code).SendProcMess();
    if (ms > 0) {
        InsertTimeOutMess(ms);
    }
}

void TRavlo_MA_Process::SendChnParam(std::uint32_t ms) {
    const auto data = TRavloChnParamRec{pendingPort_, pendingBaud_}.Encode();
    TProcMess::Create(CommAdr, ADR, 0, 0, RAVLOCOMM_MA_SetChnParam, data).SendProcMess();
    if (ms > 0) {
        InsertTimeOutMess(ms);
    }
}

void TRavlo_MA_Process::SendTxD(std::uint32_t ms) {
    const std::span<const std::uint8_t> record = pendingTxD_;
    const auto frame = record.size() > TRavloCommFrameRec::kHeaderLen
                           ? record.subspan(TRavloCommFrameRec::kHeaderLen)
                           : std::span<const std::uint8_t>{};
    if (frame.size() >= kBlockFrameCountAt + 2 && (frame[0] == ft_Mem || frame[0] == ft_Load)) {
        LastFrameAdr = FrameFarPtr(frame, kBlockFrameAddressAt);
        NotifyForms(4, &LastFrameAdr);
        LastFrameDone = active_.DoneBytes;
        LastFrameLen = FrameU16(frame, kBlockFrameCountAt);
    }
    TProcMess mess = TProcMess::Create(CommAdr, ADR, NextTxTag(), 0, RAVLOCOMM_MA_TxD, record);
    Trace(DM_Ravlo_MA_Mess, "-->" + TRavlo_MA_ProcMess::CopyOf(mess).MessText());
    mess.SendProcMess();
    pendingTxD_.clear();
    LastSendTick = GetTickCount();
    if (ms > 0) {
        InsertTimeOutMess(ms);
    }
}

} // namespace ravlo
