// The states of a connected process: taking messages, sending frames, awaiting answers, passing
// received frames up, and repeating failed exchanges.
#include "channels/line_time.h"
#include "channels/link_frame_builder.h"
#include "framework/number_text.h"
#include "framework/writer_channels.h"
#include "platform/tick.h"
#include "protocol/comm_debug.h"
#include "protocol/comm_frame_rec.h"
#include "protocol/comm_messages.h"
#include "protocol/comm_process.h"
#include "protocol/comm_state.h"
#include "protocol/vok_frame.h"

namespace ravlo {
namespace {

// Whether the data hold a whole frame record: the header and as many frame bytes as it names.
bool IsWholeFrameRecord(std::span<const std::uint8_t> data) {
    if (data.size() < TRavloCommFrameRec::kHeaderLen) {
        return false;
    }
    const std::size_t frameLen = FrameU16(data, TRavloCommFrameRec::kFrameLenAt);
    return frameLen <= data.size() - TRavloCommFrameRec::kHeaderLen;
}

// A link frame shorter than a board frame's header carries no board frame at all.
bool IsBoardFrame(std::uint16_t len) {
    return len >= TVokFrame::kHeaderLen;
}

} // namespace

bool TRavloComm_Process::StepConnected() {
    if ((closeRq_ || disconnectRq_) && pending_.Empty()) {
        SetStateWord(MAS_DisConnect);
        return true;
    }
    const std::optional<std::uint16_t> ready = LinkReady();
    if (!ready) {
        return false;
    }
    connectRq_ = false;
    if (*ready == CHS_Connect) {
        SetStateWord(MAS_Begin);
        return true;
    }
    if (*ready == CHS_Open) {
        SetStateWord(MAS_Opened);
        InternalError("Ravlo_CommMA: Err: v connected je CHReady=MAS_Opened.");
    }
    return false;
}

bool TRavloComm_Process::StepBegin() {
    if (current_) {
        ErrorLine(" - MAS_Begin:SM_MPtr<>nil !");
        FreeCurrent();
    }
    TChnVirt& link = *channels_.Link();
    const std::uint16_t empty = link.CHRecEmpty();
    if (link.GetRecErr() != 0) {
        SetStateWord(MAS_Connected);
        return false;
    }
    if (empty == 0) {
        const std::uint16_t len = link.CHRece();
        if (link.GetRecErr() != 0) {
            SetStateWord(MAS_Connected);
            return false;
        }
        if (!IsBoardFrame(len)) {
            ErrorLine(": a link frame of " + std::to_string(len) + " bytes is no board frame, dropped");
            return true;
        }
        StoreReceived(len);
        returnState_ = MAS_Connected;
        SetStateWord(MAS_RecEnd);
        return true;
    }
    if (holdUntil_ && static_cast<std::int32_t>(GetTickCount() - *holdUntil_) < 0) {
        // Answers of the earlier copies of the last frame may still come.
        SetStateWord(MAS_Connected);
        return false;
    }
    holdUntil_.reset();
    if (pending_.Empty()) {
        SetStateWord(MAS_Connected);
        return false;
    }
    SetStateWord(MAS_SendBeg);
    return true;
}

bool TRavloComm_Process::StepSendBeg() {
    TakeFirstPending();
    const std::uint8_t code = current_->GetCode();
    switch (code) {
    case RAVLOCOMM_MA_DiClDe:
        FreeCurrent();
        disconnectRq_ = true;
        connectRq_ = false;
        SetStateWord(MAS_DisConnect);
        return true;
    case RAVLOCOMM_MA_SetChnParam: {
        const std::uint8_t before = ComPort;
        StoreChnParam(*current_);
        FreeCurrent();
        // The same port opened again (a rate tried by the search for a lost board) must not fail
        // while its device is away: it opens as soon as the device is back.
        quietReopen_ = ComPort == before;
        reopenRq_ = true;
        disconnectRq_ = true;
        connectRq_ = false;
        SetStateWord(MAS_Connected);
        return true;
    }
    case RAVLOCOMM_MA_CrOpCo:
        // Connected already: say so, or the sender would wait for an answer that never comes.
        AnswerHeld(RAVLOCOMM_MA_CrOpCo, MAS_Connected);
        SetStateWord(MAS_Begin);
        return true;
    case RAVLOCOMM_MA_TxD:
        if (!IsWholeFrameRecord(current_->DataSpan())) {
            ErrorLine(": RAVLOCOMM_MA_TxD without a whole frame record dropped: " + current_->MessToStr());
            FreeCurrent();
            SetStateWord(MAS_Begin);
            return true;
        }
        Stat.Rep = 0;
        NotifyStat();
        SetStateWord(MAS_SendRep);
        return true;
    default:
        FreeCurrent();
        SetStateWord(MAS_Begin);
        InternalError("Ravlo_CommMA: Err: unexpected wcmd_$" + HexB(code) + " in " + StateStr());
    }
}

bool TRavloComm_Process::StepSendRep() {
    repeatState_ = MAS_SendRep;
    successState_ = MAS_Connected;
    TxPar1 = current_->GetPar1();
    sendRec_.SetData(current_->DataSpan());
    TChnVirt& link = *channels_.Link();
    link.SetNOD(NOD);
    link.SetDNO(DNO);
    if (const std::uint16_t result = TakeOpErr(); result != 0) {
        LinkErrorLine(result);
        Trace(DM_MAPR, "SendRep: Err rusime " + current_->MessText());
        FreeCurrent();
        SetStateWord(MAS_Connected);
        return true;
    }
    link.CHSendFlush();
    link.CHReceFlush();
    const std::span<const std::uint8_t> frame = sendRec_.FrameData();
    link.CHSend(frame);
    exchangeStart_ = GetTickCount();
    frameLineMs_ = LineTimeMs(LinkFrameWireSize(DNO, NOD, frame), LineBaud());
    SetStateWord(MAS_Send);
    return true;
}

bool TRavloComm_Process::StepSend() {
    TChnVirt& link = *channels_.Link();
    const std::uint16_t busy = link.CHSendBusy();
    if (LinkExchangeFailed(link.GetTraErr())) {
        return RepeatDecision();
    }
    // Whatever the driver says, the frame needs its line time to cross.
    const std::uint32_t elapsed = Elapsed(exchangeStart_);
    if (busy != 0 || elapsed < frameLineMs_) {
        if (elapsed > frameLineMs_ + AnswerTimeoutMs()) {
            result_ = kCommResSendTimeout;
            return RepeatDecision();
        }
        return false;
    }
    ++Stat.S;
    NotifyStat();
    const std::span<const std::uint8_t> record = current_->DataSpan();
    if (record[TRavloCommFrameRec::kNoAnswerAt] != 1) {
        exchangeStart_ = GetTickCount();
        SetStateWord(MAS_Rec);
        return true;
    }
    ++Stat.OK;
    NotifyStat();
    const std::uint8_t moreTimes = record[TRavloCommFrameRec::kTxFlagsAt];
    if (moreTimes == 0) {
        FreeCurrent();
        SetStateWord(MAS_Connected);
        recvRec_.SetFrameSize(0);
        SendUp(RAVLOCOMM_MA_RxD, {}, TxPar1);
        return true;
    }
    const std::uint8_t left[] = {static_cast<std::uint8_t>(moreTimes - 1)};
    current_->PutData(left, TProcMessHdr::kSize + TRavloCommFrameRec::kTxFlagsAt);
    SetStateWord(MAS_SendRep);
    return true;
}

bool TRavloComm_Process::StepRec() {
    TChnVirt& link = *channels_.Link();
    const std::uint16_t empty = link.CHRecEmpty();
    if (LinkExchangeFailed(link.GetRecErr())) {
        return RepeatDecision();
    }
    if (empty != 0) {
        if (Elapsed(exchangeStart_) > AnswerTimeoutMs()) {
            result_ = kCommResRecTimeout;
            return RepeatDecision();
        }
        return false;
    }
    const std::uint16_t len = link.CHRece();
    if (LinkExchangeFailed(link.GetRecErr())) {
        return RepeatDecision();
    }
    if (!IsBoardFrame(len)) {
        // No answer: the wait goes on, and without the answer the frame is sent again.
        ErrorLine(": a link frame of " + std::to_string(len) + " bytes is no answer, dropped");
        return true;
    }
    if (Stat.Rep > 0) {
        holdUntil_ = exchangeStart_ + static_cast<std::uint32_t>(AnswerTimeoutMs()) + 1;
    }
    StoreReceived(len);
    Trace(DM_MAPR, "Send: OK-ACK, rusime " + current_->MessText());
    FreeCurrent();
    ++Stat.OK;
    NotifyStat();
    Trace(DM_MAPRStep, ".Step, answer " + std::to_string(len) + " bytes " + Stat.ToStr());
    returnState_ = successState_;
    SetStateWord(MAS_RecEnd);
    return true;
}

bool TRavloComm_Process::LinkExchangeFailed(std::uint16_t result) {
    if (result == 0) {
        return false;
    }
    result_ = result;
    return true;
}

bool TRavloComm_Process::StepRecEnd() {
    SendUp(RAVLOCOMM_MA_RxD, recvRec_.GetSpan(), TxPar1);
    ++Stat.R;
    NotifyStat();
    SetStateWord(returnState_);
    return returnState_ == MAS_Connected;
}

bool TRavloComm_Process::StepErrWait() {
    // One entry and one exit line a wait, however many steps it lasts.
    if (!errWaitLogged_) {
        Writelnsys(DWN, "RAVLO_COMMA.step, MAS_ErrWait entry");
        errWaitLogged_ = true;
    }
    const bool passed = Elapsed(waitStart_) > static_cast<std::uint32_t>(EW);
    if (passed) {
        SetStateWord(waitTarget_);
        errWaitLogged_ = false;
        Writelnsys(DWN, "RAVLO_COMMA.step, MAS_ErrWait exit, state=" + StateStr());
    }
    return passed;
}

bool TRavloComm_Process::RepeatDecision() {
    // A frame cannot reach a device that has gone: it is given up at once, and while the device
    // stays away (the search trying it every period) without another line.
    const bool gone = DeviceGone();
    const std::string why = TakeResultText();
    if (!gone || !goneReported_) {
        ErrorLine(":Err,Rep=" + std::to_string(Stat.Rep) + "," + StateStr() + "," + why);
    }
    goneReported_ = gone;
    if (Stat.Rep < REP && !gone) {
        ++Stat.Rep;
        ++Stat.r;
        NotifyStat();
        waitTarget_ = repeatState_;
    } else {
        ++Stat.e;
        NotifyStat();
        SendError(CommErr_NoAnswer);
        Trace(DM_MAPR, " " + current_->MessText() + " Zrus.nevysl.zpravy po neusp.opak.");
        FreeCurrent();
        Trace(DM_MAPRStep, ".Step, Slave  DisConnected !");
        TChnVirt& link = *channels_.Link();
        const std::uint16_t ready = link.CHReady();
        if (link.GetOpErr() != 0) {
            waitTarget_ = MAS_DisConnect;
        } else if (ready == CHS_Close) {
            waitTarget_ = MAS_Closed;
        } else if (ready == CHS_Connect) {
            waitTarget_ = MAS_Connected;
        } else {
            waitTarget_ = MAS_Opened;
        }
    }
    if (gone) {
        SetStateWord(waitTarget_); // nothing is under way on the line to wait for
        return true;
    }
    waitStart_ = GetTickCount();
    SetStateWord(MAS_ErrWait);
    return true;
}

} // namespace ravlo
